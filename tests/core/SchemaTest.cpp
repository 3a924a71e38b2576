// The catalogue's schema version: a catalogue of the release before versions
// (kept in tests/data, made by `orvik-cli add` and `erase` of that release) and
// those of later versions are migrated at their first write. (orvik-cli's tests
// show that one of a newer version is never written.)
#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/FileIndex.h"
#include "core/engine/Recordset.h"
#include "core/engine/VolumeIdentity.h"
#include "core/engine/Workspace.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvik::engine;
using orvik::test::fileBytes;

namespace {

const QString Data = QStringLiteral(ORVIK_TEST_DATA);

// Every record as the fixture's listing has it: rowid and the seven fields quoted.
QByteArray records(Catalogue& db, std::int64_t upTo) {
    Statement rows(db, "SELECT rowid, quote(CDVolume), quote(CDDescription), quote(CDFile), "
                       "quote(CDFileDate), quote(CDPath), quote(CDFileLen), quote(CDKeywords) "
                       "FROM CDTable WHERE rowid <= ?1 ORDER BY rowid");
    rows.bind(1, upTo);
    QByteArray listing;
    while (rows.step()) {
        for (int i = 0; i < 8; ++i)
            listing += QByteArray(i ? "|" : "") +
                       QByteArray(rows.utf8(i).data(), qsizetype(rows.utf8(i).size()));
        listing += '\n';
    }
    return listing;
}

class Schema : public ::testing::Test {
protected:
    QString copyOfFixture() {
        const QString path = dir.filePath("OLD.mdb");
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(Data + "/catalogue-before-versions.mdb", path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    QTemporaryDir dir;
    Workspace workspace;
};

} // namespace

TEST_F(Schema, aCatalogueOfTheReleaseBeforeVersionsIsMigratedAtItsFirstWriteKeepingEveryRecord) {
    const QString path = copyOfFixture();
    const QByteArray before = fileBytes(path);
    const auto db = workspace.OpenDatabase(path);
    Recordset rs(db, RecordsetType::Dynaset);
    rs.FindFirst(Criterion::FileOrPathLike("*TXT*"));
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
    }
    EXPECT_EQ(fileBytes(path), before) << "a query writes nothing";
    EXPECT_EQ(schemaVersion(*db), 0);

    rs.AddNew();
    rs.setField(Field::CDFile, QString("NEW.TXT"));
    rs.Update();
    EXPECT_EQ(rs.LastModified(), "13") << "above every rowid the catalogue ever held";
    EXPECT_EQ(schemaVersion(*db), SchemaVersion);
    EXPECT_TRUE(hasOwnChecks(*db)) << "the table an earlier release made";
    EXPECT_TRUE(hasFileIndex(*db));
    EXPECT_EQ(records(*db, 12), fileBytes(Data + "/catalogue-before-versions.txt"));
    // The bookmarks name the same records through the migrated catalogue.
    for (const char* bookmark : {"1", "5", "9", "12"}) {
        rs.setBookmark(bookmark);
        EXPECT_TRUE(rs.Fields(Field::CDFile).has_value()) << bookmark;
    }
    EXPECT_THROW(rs.setBookmark("6"), orvik::Error) << "erased before the migration";
}

TEST_F(Schema, aVersionOneCatalogueGetsTheVolumeIdentityTableAtItsFirstWriteNotBefore) {
    const QString path = dir.filePath("ONE.mdb");
    const auto db = workspace.CreateDatabase(path, [](Catalogue& created) {
        createCatalogueTable(created);
        created.exec("DROP TRIGGER CDTable_DropChecksum; DROP TABLE CDChecksum; "
                     "DROP TRIGGER CDTable_DropVolumeIdentity; DROP TABLE CDVolumeIdentity; "
                     "PRAGMA user_version = 1");
    });
    Recordset rs(db, RecordsetType::Dynaset);
    rs.AddNew();
    rs.setField(Field::CDVolume, QString("OLD"));
    EXPECT_TRUE(allVolumeIdentities(*db).empty()) << "read as it is";
    EXPECT_EQ(schemaVersion(*db), 1);
    rs.Update();
    EXPECT_EQ(schemaVersion(*db), SchemaVersion);
    EXPECT_FALSE(readVolumeIdentity(*db, 1)) << "a volume added before has none";
    Transaction write(*db);
    VolumeIdentity identity;
    identity.label = "Old";
    identity.scanned = "2026-11-02T09:15:00Z";
    writeVolumeIdentity(*db, 1, identity);
    write.commit();
    EXPECT_EQ(readVolumeIdentity(*db, 1)->label, "Old");
}

TEST_F(Schema, aVersionTwoCatalogueIsReadAsAddedWithoutArchivesAndLearnsTheOptionAtItsFirstWrite) {
    const QString path = dir.filePath("TWO.mdb");
    const auto db = workspace.CreateDatabase(path, [](Catalogue& created) {
        createCatalogueTable(created);
        created.exec("DROP TRIGGER CDTable_DropChecksum; DROP TABLE CDChecksum; "
                     "ALTER TABLE CDVolumeIdentity DROP COLUMN SaveChecksums; "
                     "ALTER TABLE CDVolumeIdentity DROP COLUMN LookInArchives; "
                     "INSERT INTO CDTable (CDVolume) VALUES ('OLD'); "
                     "INSERT INTO CDVolumeIdentity VALUES (1, '', '', 'Old', '', '', 0, 0, "
                     "'2026-11-02T09:15:00Z', 0, '', 0, 0, 0, 0, 0, ''); "
                     "PRAGMA user_version = 2");
    });
    ASSERT_TRUE(readVolumeIdentity(*db, 1)) << "read as it is";
    EXPECT_FALSE(readVolumeIdentity(*db, 1)->lookInArchives);
    EXPECT_EQ(allVolumeIdentities(*db).size(), 1u);
    EXPECT_EQ(schemaVersion(*db), 2);

    Recordset rs(db, RecordsetType::Dynaset);
    rs.AddNew();
    rs.setField(Field::CDVolume, QString("NEW"));
    rs.Update();
    EXPECT_EQ(schemaVersion(*db), SchemaVersion);
    EXPECT_EQ(readVolumeIdentity(*db, 1)->label, "Old");
    EXPECT_FALSE(readVolumeIdentity(*db, 1)->lookInArchives);
    Transaction write(*db);
    VolumeIdentity identity;
    identity.scanned = "2026-11-02T09:15:00Z";
    identity.lookInArchives = true;
    writeVolumeIdentity(*db, 2, identity);
    write.commit();
    EXPECT_TRUE(readVolumeIdentity(*db, 2)->lookInArchives);
}
