#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/RecordAppender.h"
#include "core/engine/Recordset.h"
#include "core/engine/Workspace.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <sqlite3.h>

using namespace orvik::engine;
using orvik::Error;
using orvik::test::fileBytes;
using orvik::test::writeFile;

namespace {

// A disc GAMES1 with README.TXT and SETUP.EXE in its root and two files in DATA.
const Value none;
const Row Games1[] = {{{"GAMES1", "QUAKE DEMO", "README.TXT", none, "/MEDIA/CD/", none, "FPS"}},
                      {{none, none, "SETUP.EXE", none, none, none, none}},
                      {{none, none, "A.DAT", none, "/MEDIA/CD/DATA/", none, none}},
                      {{none, none, "B.DAT", none, none, none, none}}};

Value v(const char* text) {
    return text ? Value(QString::fromUtf8(text)) : std::nullopt;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("TEST.mdb");
        db = workspace.CreateDatabase(path);
        createCatalogueTable(*db);
    }

    void write(Recordset& rs, const Row* rows, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            rs.AddNew();
            for (Field field : AllFields)
                rs.setField(field, rows[i][size_t(field)]);
            rs.Update();
        }
    }

    QStringList files(Recordset& rs) {
        QStringList names;
        rs.FindFirst(Criterion::NotNull(Field::CDFile));
        if (rs.NoMatch()) return names;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
            names << rs.Fields(Field::CDFile).value_or("<null>");
        return names;
    }

    QTemporaryDir dir;
    QString path;
    Workspace workspace;
    std::shared_ptr<Catalogue> db;
};

} // namespace

// The fields, the moves and the walks back to the heads are read back in
// every catalogue test; these are the failures they rely on.
TEST_F(EngineTest, aFindOrBookmarkThatFailsSaysSoAndLeavesTheRecordWhereItWas) {
    {
        Recordset table(db, RecordsetType::Table);
        write(table, Games1, 4);
    }
    Recordset rs(db, RecordsetType::Dynaset);
    rs.MoveLast();
    rs.FindPrevious(Criterion::NotNull(Field::CDFileDate)); // no record has a date
    EXPECT_TRUE(rs.NoMatch());
    EXPECT_EQ(rs.Fields(Field::CDFile), v("B.DAT"));
    rs.MoveFirst();
    EXPECT_TRUE(rs.NoMatch()) << "moves leave NoMatch alone";
    rs.FindNext(Criterion::NotNull(Field::CDPath));
    EXPECT_FALSE(rs.NoMatch());
    EXPECT_EQ(rs.Fields(Field::CDFile), v("A.DAT"));

    EXPECT_THROW(rs.setBookmark("999"), Error);
    EXPECT_THROW(rs.setBookmark("not a bookmark"), Error);
    // The bookmark of a deleted record fails and leaves the record where it was.
    rs.MoveFirst();
    rs.MoveNext();
    const QString gone = rs.Bookmark();
    rs.Delete();
    rs.MoveFirst();
    EXPECT_THROW(rs.setBookmark(gone), Error);
    EXPECT_EQ(rs.Bookmark(), QString::number(gone.toLongLong() - 1));
}

TEST_F(EngineTest, editsAndDeletionsKeepOrderAndAnAppendNeverTakesADeletedBookmark) {
    Recordset rs(db, RecordsetType::Dynaset);
    write(rs, Games1, 4);
    rs.MoveFirst();
    rs.MoveNext();
    rs.Delete();
    EXPECT_THROW(rs.Fields(Field::CDFile), Error);
    rs.MoveNext();
    rs.Edit();
    rs.setField(Field::CDKeywords, QString("EDITED"));
    rs.setField(Field::CDPath, QString("")); // empty text is stored as Null
    // Another program changes the record meanwhile: only the fields assigned
    // here are written, so its change stays.
    {
        Recordset other(workspace.OpenDatabase(path), RecordsetType::Dynaset);
        other.setBookmark(rs.Bookmark());
        other.Edit();
        other.setField(Field::CDFileLen, QString("99"));
        other.Update();
    }
    rs.Update();
    const Row edited = orvik::test::readCatalogue(path)[1];
    EXPECT_EQ(edited[size_t(Field::CDKeywords)], v("EDITED"));
    EXPECT_EQ(edited[size_t(Field::CDPath)], std::nullopt);
    EXPECT_EQ(edited[size_t(Field::CDFileLen)], v("99"));
    write(rs, Games1 + 1, 1);
    EXPECT_EQ(files(rs), QStringList({"README.TXT", "A.DAT", "B.DAT", "SETUP.EXE"}));
    // The last record deleted, the next one appended never takes its bookmark.
    rs.MoveLast();
    const QString deleted = rs.Bookmark();
    rs.Delete();
    write(rs, Games1 + 1, 1);
    rs.MoveLast();
    EXPECT_GT(rs.Bookmark().toLongLong(), deleted.toLongLong());
    EXPECT_THROW(rs.setBookmark(deleted), Error);
}

TEST_F(EngineTest, filesThatAreNoCatalogueGiveErrorsWithADescription) {
    const QByteArray garbage = QByteArray(4096, '\x5a') + "random bytes";
    for (const QByteArray& content : {garbage, fileBytes(path).left(1000), QByteArray()}) {
        const QString bad = dir.filePath("BAD.mdb");
        writeFile(bad, content);
        try {
            Recordset rs(workspace.OpenDatabase(bad), RecordsetType::Dynaset);
            FAIL() << "opened a file of " << content.size() << " bytes";
        } catch (const Error& e) {
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
    EXPECT_THROW(workspace.OpenDatabase(dir.filePath("MISSING.mdb")), Error);
}

TEST_F(EngineTest, closingTheWorkspaceClosesItsDatabasesAndRecordsets) {
    Recordset rs(db, RecordsetType::Dynaset);
    write(rs, Games1, 1);
    workspace.Close();
    EXPECT_FALSE(db->isOpen());
    EXPECT_THROW(rs.MoveFirst(), Error);
}

TEST_F(EngineTest, aWriterIsNotBlockedByAnotherConnectionsOpenScan) {
    Recordset reader(db, RecordsetType::Dynaset);
    write(reader, Games1, 4);
    const auto readme = Criterion::FileOrPathLike("*README*"); // through the file index
    reader.FindFirst(readme);
    reader.MoveFirst();
    reader.MoveNext(); // leaves its scan open on SETUP.EXE

    Workspace other;
    Recordset writer(other.OpenDatabase(path), RecordsetType::Table);
    {
        Transaction transaction(*writer.database());
        write(writer, Games1, 1);
        transaction.commit();
    }
    write(writer, Games1 + 1, 1); // in a transaction of its own

    reader.MoveNext();
    EXPECT_EQ(reader.Fields(Field::CDFile), v("A.DAT")) << "the reader goes on where it was";
    reader.FindNext(readme);
    EXPECT_EQ(reader.Bookmark(), "5") << "the find sees the other program's record";
    EXPECT_EQ(files(reader).size(), 6);
}

TEST_F(EngineTest, aCommitIsNotBlockedByAReadInItsOwnTransaction) {
    Recordset writer(db, RecordsetType::Table);
    Recordset reader(workspace.OpenDatabase(path), RecordsetType::Dynaset);
    Transaction transaction(*db);
    write(writer, Games1, 4);
    reader.FindFirst(Criterion::NotNull(Field::CDFile)); // a read inside the transaction
    transaction.commit();
    EXPECT_FALSE(db->inTransaction());
    Recordset again(workspace.OpenDatabase(path), RecordsetType::Dynaset);
    EXPECT_EQ(files(again).size(), 4);
}

StoredRecord stored(const QString& file) {
    StoredRecord record;
    record[size_t(Field::CDFile)] = file.toUtf8();
    return record;
}

TEST_F(EngineTest, aTableOfAnotherMakeKeepsItsOwnChecksThroughAnAppend) {
    db->exec("DROP TABLE CDTable; CREATE TABLE CDTable (CDVolume TEXT, CDDescription TEXT, "
             "CDFile TEXT CHECK (length(CDFile) <= 8), CDFileDate DATETIME, CDPath TEXT, "
             "CDFileLen TEXT, CDKeywords TEXT); PRAGMA application_id = 0");
    RecordAppender appender(*db);
    appender.append(stored("LONGNAME.TXT"));
    EXPECT_THROW(appender.commit(), Error);
}

// The appender writes with the triggers off and indexes its records itself.
// The index then holds exactly what the table holds.
TEST_F(EngineTest, appendedRecordsAreIndexedAStretchAtATimeAndTheRestAtTheCommit) {
    auto count = [&](const char* sql) {
        Statement statement(*db, sql);
        statement.step();
        return statement.integer(0);
    };
    const char* appended = "SELECT count(*) FROM CDFileIndex WHERE CDFileIndex MATCH '\"END\"'";
    Recordset rs(db, RecordsetType::Dynaset);
    write(rs, Games1, 4);
    {
        RecordAppender appender(*db);
        for (int i = 0; i < 300; ++i)
            appender.append(stored(QString("APPENDED%1.TXT").arg(i)));
        // A stretch of those written goes into the index while others wait.
        EXPECT_FALSE(appender.indexStretch(300));
        EXPECT_TRUE(appender.indexStretch(100));
        EXPECT_EQ(count(appended), 100);
        for (int i = 300; i < 350; ++i)
            appender.append(stored(QString("APPENDED%1.TXT").arg(i)));
        // As many characters as a field holds, in twice as many bytes.
        appender.append(stored(QString(TextMaxChars, QChar(0xDF))));
        appender.commit();
    }
    EXPECT_EQ(count("SELECT count(*) FROM CDTable"), 4 + 351);
    EXPECT_EQ(count(appended), 350);
    EXPECT_NO_THROW(db->exec("INSERT INTO CDFileIndex (CDFileIndex) VALUES ('integrity-check')"));
}

// Nothing else writes while the appender has the triggers and CHECKs off,
// and however its write ends they are on again: a renamed record is noted
// for the file index, an over-long name refused.
TEST_F(EngineTest, otherWritesWaitForAnAppendAndFindTheGuardsOnHoweverItEnds) {
    Recordset rs(db, RecordsetType::Dynaset);
    write(rs, Games1, 4);
    auto expectGuardsOn = [&](const QString& name) {
        SCOPED_TRACE(name.toStdString());
        rs.MoveFirst();
        rs.Edit();
        rs.setField(Field::CDFile, name);
        rs.Update();
        rs.FindFirst(Criterion::FileOrPathLike("*" + name + "*"));
        EXPECT_FALSE(rs.NoMatch()) << "found through the file index";
        rs.Edit();
        rs.setField(Field::CDFile, QString(TextMaxChars + 1, 'X'));
        EXPECT_THROW(rs.Update(), Error);
        rs.CancelUpdate();
    };
    {
        RecordAppender appender(*db);
        appender.append(stored("APPENDED.TXT"));
        EXPECT_THROW(Transaction{*db}, Error) << "another write waits for the append";
        appender.commit();
    }
    expectGuardsOn("COMMITTED");
    {
        RecordAppender refused(*db);
        refused.append(stored(QString(TextMaxChars + 1, 'X')));
        EXPECT_THROW(refused.commit(), Error);
    }
    expectGuardsOn("REFUSED");
    {
        RecordAppender dropped(*db);
        dropped.append(stored("DROPPED.TXT"));
    }
    expectGuardsOn("DROPPED");
    // SQLite ending the transaction itself (a full disc) leaves nothing
    // half-written behind.
    {
        RecordAppender lost(*db);
        lost.append(stored("LOST.TXT"));
        sqlite3_exec(db->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        EXPECT_THROW(lost.commit(), Error);
    }
    expectGuardsOn("LOST");
    EXPECT_EQ(files(rs), QStringList({"LOST", "SETUP.EXE", "A.DAT", "B.DAT", "APPENDED.TXT"}));
}

TEST_F(EngineTest, aWriteBegunWhileAnotherOfTheProcessIsOpenWaitsForItLikeAnotherProgramsWrite) {
    const auto shared = workspace.OpenDatabase(dir.filePath("test.MDB")); // any letter case
    ASSERT_EQ(shared, db);
    std::optional<Transaction> first(std::in_place, *db);
    EXPECT_THROW(Transaction{*shared}, Error) << "without waiting, refused as busy";
    int waits = 0;
    Transaction second(*shared, [&] {
        if (++waits == 2) first->commit();
        return true;
    });
    EXPECT_TRUE(second);
    EXPECT_EQ(waits, 2);
    second.commit();
    first.emplace(*db);
    EXPECT_FALSE(Transaction(*db, [] { return false; })) << "given up";
}

// A find that knows its few candidates from the index asks the index again
// once another program has indexed records since.
TEST_F(EngineTest, aFindGoesOnWithWhatAnotherProgramIndexedMeanwhile) {
    // Files appended in one transaction, whose commit takes them into the file index.
    const auto addIndexed = [](Catalogue& into, std::initializer_list<const char*> names) {
        Transaction transaction(into);
        for (const char* name : names)
            into.exec((QByteArray("INSERT INTO CDTable (CDFile, CDPath) VALUES ('") + name +
                       "', '/FILES/')")
                          .constData());
        transaction.commit();
    };
    addIndexed(*db, {"OTHER.TXT", "ABCXYZ1.TXT", "MORE.TXT"});
    Recordset reader(db, RecordsetType::Dynaset);
    const auto criterion = Criterion::FileOrPathLike("*ABCXYZ*");
    reader.FindFirst(criterion);
    EXPECT_EQ(reader.Bookmark(), "2");
    {
        Catalogue other(path);
        other.setPrepareWrites(prepareForWriting);
        addIndexed(other, {"ABCXYZ2.TXT"});
        Statement waiting(other, "SELECT count(*) FROM CDIndexAdded");
        ASSERT_TRUE(waiting.step());
        ASSERT_EQ(waiting.integer(0), 0) << "the new record is in the index itself";
    }
    reader.FindNext(criterion);
    ASSERT_FALSE(reader.NoMatch());
    EXPECT_EQ(reader.Bookmark(), "4");
}
