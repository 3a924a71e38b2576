// The queries of the search window on real catalogues: the patterns and lines
// they make, what they list, and how each line leads back to its record.
#include "search/SearchQueries.h"
#include "core/AppState.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/FileIndex.h"
#include "core/engine/Recordset.h"
#include "core/engine/Workspace.h"
#include "core/records/RecordResolution.h"
#include "search/VolumeErase.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace orvik;
using namespace orvik::test;

namespace {

// Keeps the lines, records and statuses the queries hand over.
struct Recorder : ResultSink, Progress {
    QStringList lines, statuses;
    std::vector<ResolvedRecord> records;
    std::function<void()> onEvents;
    void clear() override {
        lines.clear();
        records.clear();
    }
    void append(const QString& line, const ResolvedRecord& record) override {
        lines << line;
        records.push_back(record);
    }
    void status(const QString& text) override { statuses << text; }
    void letEventsRun() override {
        if (onEvents) onEvents();
    }
    QStringList bookmarks() const {
        QStringList all;
        for (const auto& record : records)
            all << record.bookmark;
        return all;
    }
};

class Search : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    std::unique_ptr<CatalogueWriter> catalogue = std::make_unique<CatalogueWriter>(state);
    Recorder got;
    SearchQueries queries{state, got, got};
    engine::Recordset& rs = catalogue->recordset();

    void SetUp() override { state.Options.DisplayPaths = true; }

    // Runs "Find File&Match" with this text in a 9465-twip window; the files listed.
    QStringList find(const QString& text) {
        if (queries.startFileSearch(text)) queries.Query_MyFindFile(QueryWidth::window(9465));
        QStringList files;
        for (const auto& record : got.records)
            files << record.file;
        return files;
    }
    // Stands the recordset on the record and resolves it.
    QStringList lookup(const QString& bookmark) {
        rs.setBookmark(bookmark);
        const ResolvedRecord r = Lookup_All_Fields(rs, state.prompt());
        return {r.file, r.directory, r.volume, r.description, r.keywords};
    }
};

TEST(ResultLine, patternsAndColumnsFollowTheirOddRules) {
    // The file patterns show in the finds below; a volume pattern keeps its dot.
    EXPECT_EQ(volumePattern("cd1."), "*CD1.*");

    // Name columns follow the window width and round halves to even.
    EXPECT_FLOAT_EQ(QueryWidth::window(18930).nameColumn(false), 60);
    EXPECT_FLOAT_EQ(QueryWidth::characters(40).nameColumn(true), 40);
    const QString date = "2001-02-03 04:05:06";
    EXPECT_EQ(composeFileLine("", "AB", 30.5f, date, "", "V", "D").indexOf(date), 31);
    EXPECT_EQ(composeFileLine("A", "B", 31.5f, date, "", "V", "D").indexOf(date), 33);
    // A short date gets 13 blanks, cut at 19 characters; a long one stays whole.
    EXPECT_EQ(dateColumn("12345"), "12345" + QString(13, ' '));
    EXPECT_EQ(dateColumn("1234567"), "1234567" + QString(12, ' '));
    EXPECT_EQ(dateColumn(QString(20, '1')), QString(20, '1'));
}

TEST_F(Search, lookupFindsTheDirectoryAndVolumeThatOwnARecord) {
    const QString first =
        catalogue->addRun("OTHER", "FIRST RUN", "OLD", {directory("/MEDIA/A/", {"X.TXT"})});
    const QString head = catalogue->addRecord("CD1", "PHOTOS", "ROOT.TXT", "/MEDIA/CD/", "SUMMER");
    catalogue->addRecord(std::nullopt, std::nullopt, "A.JPG", "/MEDIA/CD/DIR/", std::nullopt);
    catalogue->addRecord(std::nullopt, std::nullopt, "B.JPG", std::nullopt, std::nullopt);
    const QString third =
        catalogue->addRecord(std::nullopt, std::nullopt, "C.JPG", std::nullopt, "OWN WORDS");

    // A find that failed before must not cut the walks short; on the first
    // record they need no find of their own, so its NoMatch stays.
    rs.FindFirst(engine::Criterion::FileOrPathLike("*NOTHING LIKE THIS*"));
    ASSERT_TRUE(rs.NoMatch());
    EXPECT_EQ(lookup(first), QStringList({"X.TXT", "/MEDIA/A/", "OTHER", "FIRST RUN", "OLD"}));
    EXPECT_TRUE(rs.NoMatch());

    // The third record of a directory headed by the run's second record; its
    // own keywords win over those of its volume run.
    EXPECT_EQ(lookup(third),
              QStringList({"C.JPG", "/MEDIA/CD/DIR/", "CD1", "PHOTOS", "OWN WORDS"}));
    EXPECT_EQ(rs.Bookmark(), third);
    rs.MovePrevious();
    EXPECT_EQ(lookup(rs.Bookmark()),
              QStringList({"B.JPG", "/MEDIA/CD/DIR/", "CD1", "PHOTOS", "SUMMER"}));
    EXPECT_EQ(lookup(head), QStringList({"ROOT.TXT", "/MEDIA/CD/", "CD1", "PHOTOS", "SUMMER"}));
    EXPECT_TRUE(app.prompt().shown.empty());

    rs.MoveLast();
    rs.MoveNext();
    Lookup_All_Fields(rs, state.prompt()); // past the last record there is nothing to resolve
    EXPECT_EQ(app.prompt().texts(), QStringList{"Error in Lookup_all_Fields!"});
}

TEST_F(Search, fileMatchPatternsMatchNamesAndDirectoryPathsOrReportMalformedBrackets) {
    catalogue->addRun("CD1", "PHOTOS", "",
                      {directory("/MEDIA/CD/", {"README.TXT", "NOTES.TXT", "LIST.TXT.BAK",
                                                "TXT.DOC", "BREAD", "O'BRIEN"}),
                       directory("/MEDIA/CD/DOCS/", {"A.PDF", "B.PDF"})});
    EXPECT_EQ(find("read"), QStringList({"README.TXT", "BREAD"}));
    EXPECT_EQ(find("*.txt"), QStringList({"README.TXT", "NOTES.TXT", "LIST.TXT.BAK"}));
    EXPECT_EQ(find("*.txt."), QStringList({"README.TXT", "NOTES.TXT"}));
    EXPECT_EQ(find("read."), QStringList({"BREAD"}));
    EXPECT_EQ(queries.SearchPattern, "*READ");          // the pattern stays for the print heading
    EXPECT_EQ(find("o'brien"), QStringList{"O'BRIEN"}); // a quote is an ordinary character
    const QStringList all = find("?");
    EXPECT_EQ(all.size(), 8);
    EXPECT_EQ(find("."), all);
    // A matching directory is listed once, on the line of its first file.
    EXPECT_EQ(find("docs"), QStringList({"A.PDF"}));
    EXPECT_TRUE(app.prompt().shown.empty());

    // Empty text asks first; No leaves the list as it was.
    app.prompt().queue({Answer::No, Answer::Yes});
    EXPECT_EQ(find(""), QStringList({"A.PDF"}));
    EXPECT_EQ(find(""), all);
    ASSERT_EQ(app.prompt().shown.size(), 2u);
    EXPECT_EQ(app.prompt().shown[0].text, "Do you want to list all Files?");
    EXPECT_EQ(app.prompt().shown[0].buttons, Buttons::YesNo);

    EXPECT_TRUE(find("[abc").isEmpty()); // its messages are checked with the other queries'
    EXPECT_FALSE(queries.Busy);
}

TEST_F(Search, fileLinesLineUpInColumnsWithAndWithoutPaths) {
    const QString when = "2001-02-03 04:05:06";
    catalogue->addRun("CD1", "PHOTOS", "",
                      {{"/MEDIA/CD/",
                        {{"ABCDEF.TXT", when, "1234"},
                         {"BARE.TXT", std::nullopt, std::nullopt},
                         {QString(30, 'N'), when, "12345678901"},
                         {QString(31, 'L'), when, "1"}}}});
    const QString date = when + " ", volume = "  CD1   PHOTOS";
    const QString dots = QString(" .").repeated(52);

    find("abcdef");
    EXPECT_EQ(got.lines, QStringList{"/MEDIA/CD/ABCDEF.TXT" + dots.left(33) + " " + date +
                                     "1234     " + volume});
    EXPECT_EQ(got.statuses.first(), "Searching for *ABCDEF* ...");
    EXPECT_EQ(got.statuses.last(), "Search completed (1 matches)");

    state.Options.DisplayPaths = false;
    find(".");
    EXPECT_EQ(got.lines,
              QStringList({"ABCDEF.TXT" + dots.left(20) + " " + date + "1234     " + volume,
                           "BARE.TXT" + dots.left(22) + " " + QString(13, ' ') + " " +
                               QString(9, ' ') + volume,
                           QString(30, 'N') + " " + date + "123456789" + volume,
                           QString(31, 'L') + " " + date + "1        " + volume}));
    EXPECT_EQ(got.records[0].directory, "/MEDIA/CD/"); // resolved even when not shown

    find("nothing like it");
    EXPECT_TRUE(got.lines.empty());
    EXPECT_EQ(got.statuses.last(), "No matches found");
}

TEST_F(Search, fileMatchesResolveExactlyAsTheOwnerWalkResolvesThem) {
    // Odd catalogues too, as hand edits leave them: records before any head, a
    // directory without volume, a description or keywords off the heads, a
    // volume head that is no directory head, and long gaps between matches.
    const std::nullopt_t null = std::nullopt;
    catalogue->addRecord(null, null, "A0", null, null);
    catalogue->addRecord(null, null, "A1", "/P1/", null);
    catalogue->addRecord(null, null, "A2", null, null);
    catalogue->addRecord("V1", "D1", "A3", "/P2/", "K1");
    catalogue->addRecord(null, null, "A4", null, "OWN");
    catalogue->addRecord(null, "D-ONLY", "A5", null, null);
    catalogue->addRecord(null, null, "A6", "/P3/", null);
    for (int i = 0; i < 40; ++i)
        catalogue->addRecord(null, null, QString("B%1").arg(i), QString("/Q%1/").arg(i), null);
    catalogue->addRecord("V2", "D2", "A7", null, null);
    catalogue->addRecord(null, null, "A8", null, null);
    catalogue->addRecord("V3", null, "A9", "/P4/", null);
    catalogue->addRecord(null, null, "A10", null, "");

    for (const QString text : {".", "a", "b3"}) {
        find(text);
        ASSERT_FALSE(got.records.empty());
        for (size_t i = 0; i < got.records.size(); ++i) {
            const ResolvedRecord& r = got.records[i];
            EXPECT_EQ(lookup(got.records[i].bookmark),
                      QStringList({r.file, r.directory, r.volume, r.description, r.keywords}));
        }
    }
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(Search, cancelIsSeenWhenTheSixtiethLineIsListed) {
    catalogue->addRun("CD1", "MANY", "", {directory("/M/", QStringList(100, "F.TXT"))});
    got.onEvents = [&] {
        EXPECT_TRUE(queries.Busy);
        if (got.lines.size() >= 41) queries.CancelFlag = true;
    };
    find("f");
    EXPECT_EQ(got.lines.size(), 60);
    EXPECT_EQ(got.statuses.last(), "Search completed (60 matches) CANCELLED BY USER");
    EXPECT_FALSE(queries.Busy);
    EXPECT_FALSE(queries.CancelFlag);
}

TEST_F(Search, cancelIsSeenInAScanThatListsNothing) {
    catalogue->addRun("CD1", "MANY", "", {directory("/M/", {"A"})});
    engine::Catalogue(state.catalogueFile())
        .exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
              "INSERT INTO CDTable (CDFile) SELECT 'FILE' || i || '.DAT' FROM n");
    int pauses = 0;
    got.onEvents = [&] {
        ++pauses;
        queries.CancelFlag = true;
    };
    for (const QString text : {"*Q*Z*", "file*q"}) { // the second through the file index
        pauses = 0;
        find(text);
        EXPECT_EQ(pauses, 1) << text.toStdString();
        EXPECT_EQ(got.statuses.last(), "No matches found CANCELLED BY USER");
    }
}

// The index only proposes candidates: whoever wrote the catalogue, a find
// through it gives the lines, bookmarks and status of a find that reads every
// record, which is what the same catalogue without its index gets.
class IndexedFind : public Search {
protected:
    std::mt19937 random{20240612};
    int pick(int n) { return int(random() % unsigned(n)); }
    QString name() {
        const QStringList pieces = {"read", "me",  "Ärger", "straße", "o'brien", "100%",
                                    "a_b",  "[x]", "\"q\"", "photo",  "abc",     "cab",
                                    " ",    "7",   "été",   "ǆ"};
        QString text;
        for (int i = pick(3); i >= 0; --i)
            text += pieces[pick(int(pieces.size()))];
        return text + QString::number(pick(100));
    }
    QTemporaryDir discs;
    QString indexed, folder;

    void SetUp() override {
        Search::SetUp();
        for (int d = 0; d < 12; ++d)
            for (int f = pick(8); f >= 0; --f)
                makeFile(discs.path() + "/disc/" + (d % 3 ? name() + '/' : QString()) + name() +
                         "/" + name() + ".txt");
        app.drives().types.insert(discs.path() + "/disc", DriveCdRom);
        for (const QString label : {"ONE", "TWO"}) {
            app.drives().labels.insert(discs.path() + "/disc", label);
            ASSERT_EQ(addTree(state, discs.path() + "/disc", {}), VolumeAdd::Result::Finished);
        }
        std::vector<TestDirectory> many;
        for (int d = 0; d < 10; ++d) {
            QStringList names;
            for (int f = 0; f < 1000; ++f)
                names << QString("F%1.DAT").arg(d * 1000 + f);
            many.push_back(directory(QString("/BIG/D%1/").arg(d), names));
        }
        catalogue->addRun("BIG", "MANY", "", many);
        indexed = state.CatalogueName;
        folder = QFileInfo(state.catalogueFile()).path() + "/";
    }

    // A copy of the catalogue without its file index: SCANNED.
    void copyWithoutIndex(const QString& catalogue) {
        const QString scanned = folder + "SCANNED.mdb";
        QFile::remove(scanned);
        ASSERT_TRUE(QFile::copy(folder + catalogue.toUpper() + ".mdb", scanned));
        // The index is sound as FTS5 itself checks it.
        EXPECT_NO_THROW(engine::Catalogue(scanned).exec(
            "INSERT INTO CDFileIndex (CDFileIndex) VALUES ('integrity-check')"));
        engine::Catalogue(scanned).exec("DROP TABLE CDFileIndex; DROP TABLE CDIndexAdded;"
                                        "DROP TABLE CDIndexRemoved;");
    }

    // Finds typed from pieces of stored names and paths list the same in the
    // catalogue and in its copy without the index.
    void compare(const QString& catalogue) {
        copyWithoutIndex(catalogue);
        std::vector<QString> texts;
        for (const auto& row : readCatalogue(folder + "SCANNED.mdb"))
            if (const auto& field =
                    row[size_t(pick(2) ? engine::Field::CDFile : engine::Field::CDPath)])
                texts.push_back(*field);
        int listing = 0;
        for (int i = 0; i < 20; ++i) {
            const QString text = texts[size_t(pick(int(texts.size())))];
            QString typed = text.mid(pick(int(text.size())), 3 + pick(5));
            if (pick(2)) typed = typed.toLower();
            const QStringList wildcards = {"?", "*", "#", "[a-m]", "[!x]", ""};
            typed.insert(pick(int(typed.size()) + 1), wildcards[pick(int(wildcards.size()))]);
            if (pick(4) == 0) typed += '.';
            QStringList seen[2];
            for (int k = 0; k < 2; ++k) {
                state.CatalogueName = k ? "SCANNED" : catalogue;
                app.prompt().shown.clear();
                const QStringList files = find(typed);
                seen[k] << got.lines << got.statuses.last() << app.prompt().texts()
                        << got.bookmarks();
                auto& records = *state.CatalogueRecordset;
                const auto criterion = engine::Criterion::FileOrPathLike(queries.SearchPattern);
                if (app.prompt().shown.empty())
                    for (records.FindLast(criterion); !records.NoMatch();
                         records.FindPrevious(criterion))
                        seen[k] << records.Bookmark();
                listing += k == 0 && !files.isEmpty();
                EXPECT_TRUE(i > 0 || engine::hasFileIndex(*records.database()) == (k == 0));
            }
            EXPECT_EQ(seen[0], seen[1]) << typed.toStdString();
        }
        EXPECT_GT(listing, 6);
        state.CatalogueName = indexed;
    }
};

// Edits of names and paths through the recordset, and another program's
// changes, appends (more than one batch of candidates) and deletions, which
// only the triggers see.
TEST_F(IndexedFind, listsWhatTheScanListsAfterEditsAndAnotherProgramsChanges) {
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        if (pick(5) == 0) {
            rs.Edit();
            rs.setField(pick(2) ? engine::Field::CDFile : engine::Field::CDPath,
                        pick(3) ? name().toUpper() : QString());
            rs.Update();
        }
    {
        engine::Catalogue other(state.catalogueFile());
        other.exec("UPDATE CDTable SET CDFile = 'ABC' || CDFile WHERE rowid % 7 = 3;"
                   "UPDATE CDTable SET CDFile = 'CAB' WHERE rowid % 7 = 4;"
                   "DELETE FROM CDTable WHERE rowid % 11 = 5;"
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9000)"
                   "INSERT INTO CDTable (CDFile, CDPath) SELECT 'F' || i || '.ABC', "
                   "CASE WHEN i % 100 = 0 THEN '/OTHER/' || i || '/' END FROM n");
    }
    compare(indexed);
}

// A small run's names stay in the index; erasing most records rebuilds it.
TEST_F(IndexedFind, listsWhatTheScanListsAfterAnEraseWithItsCompaction) {
    catalogue.reset();
    for (const int volume : {1, 1}) { // TWO, then BIG
        queries.listVolumes("");
        state.CurrentPosition = got.records.at(size_t(volume)).bookmark;
        ASSERT_GT(eraseVolume(state, got, queries.SearchDatabase), 0);
        {
            engine::Statement unused(*queries.SearchDatabase, "PRAGMA freelist_count");
            ASSERT_TRUE(unused.step());
            EXPECT_EQ(unused.integer(0), 0) << "compacted";
        }
        compare(indexed);
    }
}

TEST_F(IndexedFind, aCatalogueWithoutTheIndexGetsItWithItsNextWrite) {
    copyWithoutIndex(indexed);
    const QString older = folder + "OLDER.mdb";
    ASSERT_TRUE(QFile::copy(folder + "SCANNED.mdb", older));
    {
        engine::Recordset records(state.workspace().OpenDatabase(older),
                                  engine::RecordsetType::Dynaset);
        records.Edit();
        records.setField(engine::Field::CDFile, QString("ABCDEF"));
        records.Update();
        EXPECT_TRUE(engine::hasFileIndex(*records.database()));
    }
    compare("OLDER");
}

TEST_F(Search, everyLineOfALongResultReadsBackItsOwnRecord) {
    // More lines than a 16-bit list index could hold, over many directories.
    std::vector<TestDirectory> directories;
    for (int d = 0; d < 1100; ++d) {
        QStringList names;
        for (int f = 0; f < 30; ++f)
            names << QString("F%1_%2.DAT").arg(d).arg(f);
        directories.push_back(directory(QString("/M/D%1/").arg(d), names));
    }
    catalogue->addRun("BIG", "LOTS", "", directories);
    find(".");
    ASSERT_EQ(got.lines.size(), 33000);
    auto& rs = *state.CatalogueRecordset;
    for (qsizetype i = 0; i < got.lines.size(); ++i) {
        rs.setBookmark(got.records[size_t(i)].bookmark);
        const QString file = rs.Fields(engine::Field::CDFile).value_or("");
        ASSERT_TRUE(got.lines[i].startsWith("/M/D" + QString::number(i / 30) + "/" + file)) << i;
    }
}

TEST_F(Search, volumeQueriesListRunHeadsAndDescriptionsAMediumRepeatedInARowOnce) {
    QStringList heads;
    for (int twice = 0; twice < 2; ++twice)
        heads << catalogue->addRun("CD1", "PHOTOS", "SUMMER 99",
                                   {directory("/M/", {"A.JPG"}), directory("/M/X/", {"B"})});
    heads << catalogue->addRun("MUSIC", "ROCK CD1", "", {directory("/M/", {"S", "T"})});
    heads << catalogue->addRun("*NO_NAME*", "HOLIDAY", "WINTER", {directory("/M/", {"C"})});
    const QString photos = "Vol:CD1  (PHOTOS) - [KW=SUMMER 99]",
                  music = "Vol:MUSIC  (ROCK CD1) - [KW=]";
    queries.listVolumes("ignored text");
    EXPECT_EQ(got.lines,
              QStringList({photos, photos, music, "Vol:*NO_NAME*  (HOLIDAY) - [KW=WINTER]"}));
    EXPECT_EQ(got.bookmarks(), heads);
    EXPECT_EQ(got.statuses, QStringList({"Searching catalogue for CD Volumes ...", "4 CDs found"}));
    EXPECT_TRUE(queries.EraseEnabled);

    queries.searchDescriptions("cd1");
    EXPECT_EQ(got.lines, QStringList({photos, music}));
    EXPECT_EQ(got.records.at(1).bookmark, heads[2]);
    EXPECT_EQ(got.statuses.mid(2), QStringList({"Searching Descriptions for *CD1* ...",
                                                "Search completed (2 matches)"}));
    EXPECT_FALSE(queries.EraseEnabled);
    // Label and description are one text: the end of the label runs into the description.
    queries.searchDescriptions("name?hol");
    EXPECT_EQ(got.lines.size(), 1);
    queries.searchDescriptions("");
    EXPECT_EQ(got.lines.size(), 3);

    queries.searchKeywords("summer");
    EXPECT_EQ(got.lines, QStringList({photos, photos}));
    EXPECT_EQ(got.statuses.last(2),
              QStringList({"Searching Keywords for *SUMMER*...", "Search completed (2 matches)"}));
    queries.searchKeywords("");
    EXPECT_EQ(got.lines.size(), 3);

    // A head without a file matches no keywords; a medium seen again after
    // another one counts again.
    catalogue->addRecord("CD2", "NO FILE", std::nullopt, "/M/", "SUMMER 98");
    catalogue->addRun("CD1", "PHOTOS", "", {directory("/M/", {"D"})});
    queries.searchKeywords("summer");
    EXPECT_EQ(got.lines, QStringList({photos, photos}));
    queries.searchDescriptions("cd1");
    EXPECT_EQ(got.lines.mid(0, 2), QStringList({photos, music}));
    EXPECT_EQ(got.lines.size(), 3);
}

// A malformed pattern is one error, in the words typed, with or without records.
TEST_F(Search, aBadPatternIsOneErrorInTheWordsTyped) {
    const QStringList badPattern = {"Error 93 - Bracket list without closing ']' in pattern '[a-'",
                                    "Can't open table in catalogue database."};
    auto reportsOfBadPattern = [&] {
        app.prompt().shown.clear();
        find("[a-");
        queries.searchKeywords("[a-");
        queries.searchDescriptions("[a-");
        return app.prompt().texts();
    };
    EXPECT_EQ(reportsOfBadPattern(), badPattern + badPattern + badPattern);
    catalogue->addRun("ONE", "ONLY", "", {directory("/M/", {"F"})});
    EXPECT_EQ(reportsOfBadPattern(), badPattern + badPattern + badPattern);
}

TEST_F(Search, anEmptyCatalogueFindsNothing) {
    queries.listVolumes("");
    EXPECT_EQ(got.statuses.last(), "No CDS found");
    queries.searchKeywords("");
    EXPECT_EQ(got.statuses.last(), "No matches found");
    queries.searchDescriptions("");
    EXPECT_EQ(got.statuses.last(), "No matches found");
    EXPECT_TRUE(got.lines.isEmpty());
}

TEST_F(Search, aMissingCatalogueFileIsReported) {
    catalogue->addRun("ONE", "ONLY", "", {directory("/M/", {"F"})});
    catalogue.reset();
    state.CatalogueDatabase.reset();
    ASSERT_TRUE(QFile::remove(state.catalogueFile()));
    queries.listVolumes("");
    EXPECT_EQ(app.prompt().texts().value(1), "Can't open catalogue database.");
    EXPECT_EQ(got.statuses, QStringList{"Searching catalogue for CD Volumes ..."});
}

} // namespace
