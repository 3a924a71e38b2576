// A volume's identity: stored by the add beside its run, gone with it, and
// what tells the catalogued volume a directory is.
#include "core/engine/VolumeIdentity.h"
#include "catalogue/VolumeRecognition.h"
#include "core/Startup.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/RecordAppender.h"
#include "core/engine/Workspace.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace orvik;
using namespace orvik::test;

namespace {

class VolumeIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        app.drives().types.insert(disc, DriveCdRom);
        app.drives().labels.insert(disc, "Games1");
        app.drives().uuids.insert(disc, "2026-11-02-10-00-00-00");
        settleStartup(app.state());
        ProgramOptions& options = app.state().Options;
        options.SaveDates = options.SaveLengths = true;
        options.UseFilter = "True";
        options.ExtensionString = ".txt.exe";
        makeFile(disc + "/readme.txt", 10);
        makeFile(disc + "/setup.exe", 200);
        makeFile(disc + "/skipped.dat", 5000);
        makeFile(disc + "/docs/a.txt", 3);
        makeFile(disc + "/docs/deep/b.txt", 4);
        makeFile(disc + "/empty/c.dat", 1);
    }
    std::shared_ptr<engine::Catalogue> catalogue() {
        return app.state().workspace().OpenDatabase(app.state().catalogueFile());
    }
    std::vector<std::int64_t> recognised(const QString& path) {
        std::vector<std::int64_t> heads;
        for (const CataloguedVolume& volume : recogniseVolume(*catalogue(), app.drives(), path))
            heads.push_back(volume.head);
        return heads;
    }

    TestApp app;
    QTemporaryDir media;
    const QString disc = media.path() + "/disc";
};

} // namespace

TEST_F(VolumeIdentity, anAddStoresWhatTheMediumWasAndHowItWasAdded) {
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    ASSERT_EQ(addTree(app.state(), disc + "/docs", "Docs"), VolumeAdd::Result::Finished);
    ASSERT_EQ(addTree(app.state(), disc, "Whole disc"), VolumeAdd::Result::Finished);
    EXPECT_FALSE(engine::readVolumeIdentity(*catalogue(), 2)) << "the run's second record";

    const auto docs = engine::readVolumeIdentity(*catalogue(), 1);
    ASSERT_TRUE(docs);
    EXPECT_EQ(docs->place, "/docs") << "the directory below the medium's mount point";
    EXPECT_EQ(docs->topDirectory, disc + "/docs");
    EXPECT_EQ(docs->files, 2);

    const auto whole = engine::readVolumeIdentity(*catalogue(), 3);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->uuid, "2026-11-02-10-00-00-00");
    EXPECT_EQ(whole->label, "Games1") << "as read, not upper-cased";
    EXPECT_EQ(whole->place, "/");
    EXPECT_EQ(whole->topDirectory, disc);
    EXPECT_FALSE(whole->fsType.isEmpty());
    EXPECT_GT(whole->totalBytes, 0);
    EXPECT_LE(whole->freeBytes, whole->totalBytes);
    const QDateTime scanned = QDateTime::fromString(whole->scanned, Qt::ISODate);
    EXPECT_TRUE(whole->scanned.endsWith('Z')) << whole->scanned.toStdString();
    EXPECT_TRUE(scanned >= before && scanned <= QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(whole->useFilter);
    EXPECT_EQ(whole->extensions, ".txt.exe");
    EXPECT_TRUE(whole->saveDates);
    EXPECT_TRUE(whole->saveLengths);
    // Four files in three directories passed the filter; empty/ holds none.
    EXPECT_EQ(whole->directories, 3);
    EXPECT_EQ(whole->files, 4);
    EXPECT_EQ(whole->bytes, 10 + 200 + 3 + 4);
    EXPECT_EQ(whole->location, "");
}

TEST_F(VolumeIdentity, goesWithItsHeadRecordWhoeverDeletesItAndKeepsItsKeyThroughVacuum) {
    for (const char* description : {"One", "Two", "Three"})
        ASSERT_EQ(addTree(app.state(), disc, description), VolumeAdd::Result::Finished);
    auto heads = [&] {
        std::vector<std::int64_t> found;
        for (const engine::IdentifiedVolume& volume : engine::allVolumeIdentities(*catalogue()))
            found.push_back(volume.head);
        return found;
    };
    ASSERT_EQ(heads(), (std::vector<std::int64_t>{1, 5, 9}));
    {
        const auto db = catalogue();
        engine::Transaction erase(*db);
        engine::deleteRecords(*db, 1, 4);
        erase.commit();
    }
    EXPECT_EQ(heads(), (std::vector<std::int64_t>{5, 9}));

    // Another program, which knows nothing of the table.
    app.state().workspace().Close();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(app.state().catalogueFile().toUtf8().constData(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "DELETE FROM CDTable WHERE rowid BETWEEN 5 AND 8; VACUUM",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(heads(), (std::vector<std::int64_t>{9}));
    EXPECT_EQ(engine::readVolumeIdentity(*catalogue(), 9)->files, 4);
}

// An update deletes the old run in bulk, with the triggers off.
TEST_F(VolumeIdentity, aBulkDeletionLeavesEveryTableAsTheDeleteTriggersLeaveIt) {
    for (const char* description : {"One", "Two", "Three"})
        ASSERT_EQ(addTree(app.state(), disc, description), VolumeAdd::Result::Finished);
    const QString file = app.state().catalogueFile(), copy = file + ".bulk.mdb";
    {
        const auto db = catalogue();
        engine::Transaction rename(*db);
        // Noted twice for the index: its old names to go, its new ones to come.
        db->exec("UPDATE CDTable SET CDFile = 'RENAMED.TXT' WHERE rowid = 6");
        db->exec("INSERT INTO CDChecksum SELECT rowid, zeroblob(16) FROM CDTable");
        rename.commit();
    }
    app.state().workspace().Close();
    ASSERT_TRUE(QFile::copy(file, copy));
    {
        engine::Catalogue db(file);
        engine::Transaction erase(db);
        engine::deleteRecords(db, 5, 12);
        erase.commit();
    }
    {
        engine::Catalogue db(copy);
        engine::RecordAppender update(db);
        EXPECT_EQ(update.remove(5, 12), 8);
        update.commit();
    }
    // Every row of the tables the deletion touches, and the delete triggers.
    auto tables = [](const QString& catalogue) {
        QStringList rows;
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(catalogue.toUtf8().constData(), &db), SQLITE_OK);
        auto collect = [](void* into, int columns, char** values, char**) {
            QStringList fields;
            for (int i = 0; i < columns; ++i)
                fields << (values[i] ? QString::fromUtf8(values[i]) : "NULL");
            static_cast<QStringList*>(into)->append(fields.join('|'));
            return 0;
        };
        for (const char* sql :
             {"SELECT 'CDTable', rowid, * FROM CDTable", "SELECT 'added', * FROM CDIndexAdded",
              "SELECT 'removed', * FROM CDIndexRemoved",
              "SELECT 'identity', HeadRowid FROM CDVolumeIdentity",
              "SELECT 'checksum', Record FROM CDChecksum", "SELECT 'highest', * FROM CDTableRowids",
              "SELECT 'trigger', name FROM sqlite_master WHERE type = 'trigger' AND sql LIKE "
              "'%AFTER DELETE ON CDTable%' ORDER BY name"})
            EXPECT_EQ(sqlite3_exec(db, sql, collect, &rows, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
        return rows;
    };
    QStringList mirrored;
    for (const char* trigger : engine::DeleteTriggers)
        mirrored << QString("trigger|") + trigger;
    const QStringList byTriggers = tables(file);
    EXPECT_EQ(byTriggers.filter("trigger|"), mirrored) << "a new delete trigger to mirror";
    EXPECT_EQ(byTriggers.filter("identity|"), QStringList("identity|1"));
    EXPECT_EQ(byTriggers.filter("highest|"), QStringList("highest|12"));
    EXPECT_EQ(tables(copy), byTriggers);
}

TEST_F(VolumeIdentity, isRecognisedByUuidAndPlaceElseByLabelSizeAndPlace) {
    ASSERT_EQ(addTree(app.state(), disc, "Disc"), VolumeAdd::Result::Finished);
    ASSERT_EQ(addTree(app.state(), disc + "/docs", "Docs"), VolumeAdd::Result::Finished);
    ASSERT_EQ(addTree(app.state(), disc, "Disc again"), VolumeAdd::Result::Finished);
    EXPECT_EQ(recognised(disc), (std::vector<std::int64_t>{1, 7}));
    EXPECT_EQ(recognised(disc + "/docs/"), (std::vector<std::int64_t>{5}));
    EXPECT_TRUE(recognised(disc + "/docs/deep").empty());
    const std::vector<CataloguedVolume> found = recogniseVolume(*catalogue(), app.drives(), disc);
    EXPECT_EQ(found[0].label, "GAMES1");
    EXPECT_EQ(found[0].description, "DISC");
    EXPECT_EQ(cataloguedText(found[0]),
              "Catalogued as GAMES1 \u2013 DISC, " + QDate::currentDate().toString(Qt::ISODate));

    // Another medium in the same drive: the label alone does not make it the same.
    app.drives().uuids.insert(disc, "another");
    EXPECT_TRUE(recognised(disc).empty());

    // A file system without a UUID (a tmpfs, a folder the mount table does
    // not name) is told by its label and size.
    app.drives().uuids.remove(disc);
    app.drives().uuids.insert(SystemDrive, "");
    const QString folder = media.path() + "/folder";
    makeFile(folder + "/a.txt", 1);
    makeFile(media.path() + "/other/a.txt", 1);
    ASSERT_EQ(addTree(app.state(), folder, "Folder"), VolumeAdd::Result::Finished);
    const std::int64_t head = engine::allVolumeIdentities(*catalogue()).back().head;
    ASSERT_TRUE(engine::readVolumeIdentity(*catalogue(), head)->uuid.isEmpty());
    EXPECT_EQ(recognised(folder), (std::vector<std::int64_t>{head}));
    EXPECT_TRUE(recognised(media.path() + "/other").empty());
    app.drives().labels.insert(app.drives().driveOf(folder), "relabelled");
    EXPECT_TRUE(recognised(folder).empty());
}
