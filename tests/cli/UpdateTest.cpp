// orvik-cli update on real trees and catalogues: what it reports, what it
// writes, and what it refuses or leaves whole.
#include "core/engine/Catalogue.h"
#include "tests/support/Processes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <cstdio>

using namespace orvik;
using namespace orvik::test;

namespace {

constexpr qint64 Then = 1600000000;

class UpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree = disc.path() + "/disc";
        makeFile(tree + "/readme.txt", 5, Then);
        makeFile(tree + "/docs/a.txt", 10, Then);
        makeFile(tree + "/docs/b.txt", 20, Then);
        makeFile(tree + "/old/x.txt", 3, Then);
        makeFile(tree + "/old/y.txt", 4, Then);
        makeFile(tree + "/src/main.c", 7, Then);
        makeFile(tree + "/src/util.c", 8, Then);
    }

    // Every kind of change, and a directory that an add records nothing of.
    void changeTree() {
        makeFile(tree + "/new.txt", 1, Then);
        ASSERT_TRUE(QFile::remove(tree + "/src/util.c"));
        makeFile(tree + "/docs/a.txt", 11, Then);
        makeFile(tree + "/docs/b.txt", 20, Then + 60);
        ASSERT_TRUE(QFile::rename(tree + "/src/main.c", tree + "/docs/main.c"));
        ASSERT_TRUE(QDir(tree + "/old").removeRecursively());
        ASSERT_TRUE(QDir().mkpath(tree + "/empty"));
    }

    void add(const QString& top, const QString& catalogue = "ORVIK") {
        const CliRun added = cli({"add", top, "--description", "Test disc", "--keywords", "one two",
                                  "--no-filter", "--catalogue", catalogue});
        ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    }
    QString catalogue(const QString& name = "ORVIK") { return app.home() + "/" + name + ".mdb"; }

    TestApp app;
    QTemporaryDir disc;
    QString tree;
};

TEST_F(UpdateTest, aDryRunPrintsExactlyTheDifferencesAndWritesNothing) {
    add(tree);
    changeTree();
    const QByteArray before = fileBytes(catalogue());
    const CliRun dry = cli({"update", "3", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_EQ(dry.out, QStringList({"~ DOCS/A.TXT", "~ DOCS/B.TXT", "> SRC/MAIN.C -> DOCS/MAIN.C",
                                    "+ NEW.TXT", "- OLD/X.TXT", "- OLD/Y.TXT", "- SRC/UTIL.C"}));
    EXPECT_EQ(dry.err, "1 added, 3 removed, 2 changed, 1 moved, 1 unchanged\n");
    EXPECT_EQ(fileBytes(catalogue()), before);
}

TEST_F(UpdateTest, anUpdateLeavesWhatAFreshAddWritesWithTheVolumesTextsAtTheEnd) {
    const QString other = disc.path() + "/other";
    makeFile(other + "/photo.jpg", 9, Then);
    add(tree);
    add(other);
    ASSERT_EQ(cli({"edit", "1", "--location", "Box 12, slot 3"}).exitCode, 0);
    changeTree();
    const CliRun updated = cli({"update", "2"});
    ASSERT_EQ(updated.exitCode, 0) << updated.err.toStdString();

    add(other, "FRESH");
    add(tree, "FRESH");
    EXPECT_EQ(readCatalogue(catalogue()), readCatalogue(catalogue("FRESH")));
    const CliRun volumes = cli({"volumes", "--format", "tsv"});
    ASSERT_EQ(volumes.out.size(), 3);
    const QString head = volumes.out[2].split('\t').last();
    const QString shown = cli({"volume", head}).out.join('\n');
    EXPECT_CONTAINS(shown, "Location:    Box 12, slot 3");
    EXPECT_CONTAINS(shown, "Files:       5");
    engine::Catalogue db(catalogue());
    engine::Statement identities(db, "SELECT count(*) FROM CDVolumeIdentity");
    ASSERT_TRUE(identities.step());
    EXPECT_EQ(identities.integer(0), 2) << "the old run's identity went with it";
}

TEST_F(UpdateTest, aMediumThatCannotBeTheVolumeIsRefusedAndNothingChanges) {
    add(tree);
    const QString empty = disc.path() + "/empty", file = disc.path() + "/file";
    ASSERT_TRUE(QDir().mkpath(empty + "/sub"));
    makeFile(file);
    const QByteArray before = fileBytes(catalogue());
    for (const QStringList& bad : QList<QStringList>{{"update", "1", disc.path() + "/missing"},
                                                     {"update", "1", file},
                                                     {"update", "1", empty},
                                                     {"update", "99"},
                                                     {"update", "x"},
                                                     {"update", "1", empty, "--dry-run"}})
        expectRefused(bad);
    {
        engine::Catalogue db(catalogue());
        db.exec("UPDATE CDVolumeIdentity SET Uuid = 'another-file-system'");
    }
    const QByteArray otherUuid = fileBytes(catalogue());
    EXPECT_CONTAINS(expectRefused({"update", "1"}), "is not the volume");
    EXPECT_EQ(fileBytes(catalogue()), otherUuid);
    ASSERT_TRUE(QDir().rename(tree, tree + "-gone"));
    EXPECT_CONTAINS(expectRefused({"update", "1"}), "is not there");
    EXPECT_EQ(fileBytes(catalogue()), otherUuid);
    EXPECT_NE(otherUuid, before);
}

TEST_F(UpdateTest, anUpdateKilledAtAnyWriteLeavesTheCatalogueAsBeforeOrAsAfter) {
    add(tree);
    changeTree();
    const QByteArray start = fileBytes(catalogue());
    const auto before = readCatalogue(catalogue());
    ASSERT_EQ(cli({"update", "1"}).exitCode, 0);
    const auto after = readCatalogue(catalogue());
    ASSERT_NE(before, after);
    bool killed = false;
    for (int write = 1;; ++write) {
        ASSERT_LT(write, 1000);
        QFile::remove(catalogue() + "-journal");
        writeFile(catalogue(), start);
        if (!cli({"update", "1"}, killingAtWrite(write)).crashed) break; // it made fewer writes
        killed = true;
        EXPECT_EQ(integrity(catalogue()), "ok") << "write " << write;
        const auto rows = readCatalogue(catalogue());
        EXPECT_TRUE(rows == before || rows == after) << "write " << write;
    }
    EXPECT_TRUE(killed);
    EXPECT_EQ(readCatalogue(catalogue()), after);
}

TEST_F(UpdateTest, anUpdateWaitsWhileAnotherProgramWritesTheCatalogue) {
    add(tree);
    changeTree();
    Holder holder(HOLD_CATALOGUE, catalogue());
    QProcess update;
    update.start(ORVIK_CLI, {"update", "1"});
    EXPECT_TRUE(waitForError(update, WaitingText));
    EXPECT_EQ(readCatalogue(catalogue()).size(), 7u);
    holder.release();
    ASSERT_TRUE(update.waitForFinished(60000));
    EXPECT_EQ(update.exitCode(), 0);
    EXPECT_EQ(readCatalogue(catalogue()).size(), 5u);
}

// The volume was added before its options were kept: the filter of the
// settings now decides, and leaves the .exe and .doc out.
TEST_F(UpdateTest, aVolumeOfAnOlderCatalogueUpdatesWithTheCurrentSettings) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORVIK_TEST_DATA) + "/catalogue-before-versions.mdb",
                            catalogue("OLD")));
    const QString first = disc.path() + "/disc1";
    auto at = [](const char* date) {
        return QDateTime::fromString(date, "yyyy-MM-dd HH:mm:ss").toSecsSinceEpoch();
    };
    makeFile(first + "/readme.txt", 5, at("2001-02-03 04:05:06"));
    makeFile(first + "/setup.exe", 10, at("1999-12-31 23:59:59"));
    makeFile(first + "/docs/notes.txt", 1, at("2002-06-07 08:09:11"));
    makeFile(first + "/docs/manual.doc", 16, at("2002-06-07 08:09:10"));
    makeFile(first + "/docs/deep/inner.txt", 5, at("2003-01-01 00:00:00"));
    makeFile(first + "/docs/new.txt", 2, at("2003-01-01 00:00:00"));
    app.state().settings().save({{"UseFilter", "True"}, {"ExtensionString", ".txt"}});

    const CliRun updated = cli({"update", "4", first, "--catalogue", "old"});
    ASSERT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    EXPECT_EQ(updated.out, QStringList({"- DOCS/MANUAL.DOC", "+ DOCS/NEW.TXT", "- SETUP.EXE"}));
    EXPECT_CONTAINS(updated.err, "1 added, 2 removed, 0 changed, 0 moved, 3 unchanged");
    const QStringList volumes = cli({"volumes", "--catalogue", "old", "--format", "tsv"}).out;
    ASSERT_EQ(volumes.size(), 4);
    EXPECT_CONTAINS(volumes[1], "THIRD DISC");
    EXPECT_CONTAINS(volumes[3], "FIRST DISC\tGAMES QUAKE\t" + first.toUpper() + "/\tREADME.TXT");
}

} // namespace
