#include "AppState.h"
#include "CatalogueWriter.h"
#include "RecordResolution.h"
#include "Recorders.h"
#include "SearchQueries.h"
#include "TestApp.h"
#include "engine/Recordset.h"

#include <gtest/gtest.h>

using namespace orvik;
using namespace orvik::test;

namespace {

class FileMatchQueryTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    CatalogueWriter catalogue{state};
    RecordingSink sink;
    RecordingProgress progress;
    SearchQueries queries{state, sink, progress};

    void SetUp() override { state.DisplayPaths = true; }

    // Runs "Find File&Match" with this text in a 9465-twip window; the files listed.
    QStringList find(const QString& text) {
        if (queries.startFileSearch(text)) queries.Query_MyFindFile(QueryWidth::window(9465));
        QStringList files;
        for (const auto& record : sink.records)
            files << record.file;
        return files;
    }

    void addPhotos() {
        catalogue.addRun("CD1", "PHOTOS", "",
                         {directory("/MEDIA/CD/", {"README.TXT", "NOTES.TXT", "LIST.TXT.BAK",
                                                   "TXT.DOC", "BREAD", "O'BRIEN"}),
                          directory("/MEDIA/CD/DOCS/", {"A.PDF", "B.PDF"})});
    }
};

TEST_F(FileMatchQueryTest, patternsMatchNamesAndDirectoryPaths) {
    addPhotos();
    EXPECT_EQ(find("read"), QStringList({"README.TXT", "BREAD"}));
    EXPECT_EQ(find("*.txt"), QStringList({"README.TXT", "NOTES.TXT", "LIST.TXT.BAK"}));
    EXPECT_EQ(find("*.txt."), QStringList({"README.TXT", "NOTES.TXT"}));
    EXPECT_EQ(find("read."), QStringList({"BREAD"}));
    EXPECT_EQ(state.SearchText, "*READ"); // the pattern stays for the print heading
    // A matching directory is listed once, on the line of its first file.
    EXPECT_EQ(find("docs"), QStringList({"A.PDF"}));
    EXPECT_EQ(find("o'brien"), QStringList{"O'BRIEN"}); // a quote is an ordinary character
    const QStringList all = {"README.TXT", "NOTES.TXT", "LIST.TXT.BAK", "TXT.DOC",
                             "BREAD",      "O'BRIEN",   "A.PDF",        "B.PDF"};
    EXPECT_EQ(find("?"), all);
    EXPECT_EQ(find("."), all);
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(FileMatchQueryTest, emptyTextAsksBeforeListingEverything) {
    addPhotos();
    find("docs");
    const QStringList before = sink.lines;
    app.prompt().queue({Answer::No});
    EXPECT_EQ(find(""), QStringList({"A.PDF"}));
    EXPECT_EQ(sink.lines, before);
    EXPECT_FALSE(queries.EraseEnabled);
    app.prompt().queue({Answer::Yes});
    EXPECT_EQ(find("").size(), 8);
    ASSERT_EQ(app.prompt().shown.size(), 2u);
    EXPECT_EQ(app.prompt().shown[0].text, "Do you want to list all Files?");
    EXPECT_EQ(app.prompt().shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(progress.statuses.last(), "Search completed (8 matches)");
}

TEST_F(FileMatchQueryTest, linesLineUpInColumnsWithAndWithoutPaths) {
    catalogue.addRun("CD1", "PHOTOS", "",
                     {{"/MEDIA/CD/",
                       {{"ABCDEF.TXT", "2001-02-03 04:05:06", "1234"},
                        {"BARE.TXT", std::nullopt, std::nullopt},
                        {QString(30, 'N'), "2001-02-03 04:05:06", "12345678901"},
                        {QString(31, 'L'), "2001-02-03 04:05:06", "1"}}}});
    const QString date = "2001-02-03 04:05:06 ";
    const QString volume = "  CD1   PHOTOS";
    const QString dots = QString(" .").repeated(52);

    find("abcdef");
    EXPECT_EQ(sink.lines, QStringList{"/MEDIA/CD/ABCDEF.TXT" + dots.left(33) + " " + date +
                                      "1234     " + volume});
    EXPECT_EQ(progress.statuses.first(), "Searching for *ABCDEF* ...");
    EXPECT_EQ(progress.statuses.last(), "Search completed (1 matches)");

    state.DisplayPaths = false;
    find(".");
    EXPECT_EQ(sink.lines,
              QStringList({"ABCDEF.TXT" + dots.left(20) + " " + date + "1234     " + volume,
                           "BARE.TXT" + dots.left(22) + " " + QString(13, ' ') + " " +
                               QString(9, ' ') + volume,
                           QString(30, 'N') + " " + date + "123456789" + volume,
                           QString(31, 'L') + " " + date + "1        " + volume}));
    EXPECT_EQ(sink.records[0].directory, "/MEDIA/CD/"); // resolved even when not shown
    EXPECT_EQ(sink.records[1].date, "");

    find("nothing like it");
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(progress.statuses.last(), "No matches found");
}

TEST_F(FileMatchQueryTest, matchesResolveExactlyAsTheOwnerWalkResolvesThem) {
    // Odd catalogues too, as hand edits leave them: records before any head, a
    // directory without volume, a description or keywords off the heads, a
    // volume head that is no directory head, and long gaps between matches.
    const std::nullopt_t null = std::nullopt;
    catalogue.addRecord(null, null, "A0", null, null);
    catalogue.addRecord(null, null, "A1", "/P1/", null);
    catalogue.addRecord(null, null, "A2", null, null);
    catalogue.addRecord("V1", "D1", "A3", "/P2/", "K1");
    catalogue.addRecord(null, null, "A4", null, "OWN");
    catalogue.addRecord(null, "D-ONLY", "A5", null, null);
    catalogue.addRecord(null, null, "A6", "/P3/", null);
    for (int i = 0; i < 40; ++i)
        catalogue.addRecord(null, null, QString("B%1").arg(i), QString("/Q%1/").arg(i), null);
    catalogue.addRecord("V2", "D2", "A7", null, null);
    catalogue.addRecord(null, null, "A8", null, null);
    catalogue.addRecord("V3", null, "A9", "/P4/", null);
    catalogue.addRecord(null, null, "A10", null, "");

    for (const QString text : {".", "a", "b3"}) {
        find(text);
        ASSERT_FALSE(sink.records.empty());
        for (size_t i = 0; i < sink.records.size(); ++i) {
            const ResolvedRecord& listed = sink.records[i];
            auto& rs = catalogue.recordset();
            rs.setBookmark(state.LinePositions[i]);
            Lookup_All_Fields(state, rs);
            EXPECT_EQ(listed.file, state.CurFile);
            EXPECT_EQ(listed.directory, state.CurPath) << listed.file.toStdString();
            EXPECT_EQ(listed.volume, state.CurVolume) << listed.file.toStdString();
            EXPECT_EQ(listed.description, state.CurDescription) << listed.file.toStdString();
            EXPECT_EQ(listed.keywords, state.CurKeywords) << listed.file.toStdString();
        }
    }
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(FileMatchQueryTest, cancelIsSeenWhenTheSixtiethLineIsListed) {
    QStringList names;
    for (int i = 0; i < 100; ++i)
        names << QString("F%1.TXT").arg(i, 3, 10, QChar('0'));
    catalogue.addRun("CD1", "MANY", "", {directory("/M/", names)});
    progress.onEvents = [&] {
        EXPECT_TRUE(queries.Busy);
        if (sink.lines.size() >= 41) queries.CancelFlag = true;
    };
    find("f");
    EXPECT_EQ(sink.lines.size(), 60);
    EXPECT_EQ(progress.statuses.last(), "Search completed (60 matches) CANCELLED BY USER");
    EXPECT_FALSE(queries.Busy);
    EXPECT_FALSE(queries.CancelFlag);
}

TEST_F(FileMatchQueryTest, everyLineOfALongResultReadsBackItsOwnRecord) {
    // More lines than a 16-bit list index could hold, over many directories.
    std::vector<TestDirectory> directories;
    for (int d = 0; d < 1100; ++d) {
        TestDirectory dir{QString("/M/D%1/").arg(d), {}};
        for (int f = 0; f < 30; ++f)
            dir.files.push_back({QString("F%1_%2.DAT").arg(d).arg(f), std::nullopt, std::nullopt});
        directories.push_back(dir);
    }
    catalogue.addRun("BIG", "LOTS", "", directories);
    find(".");
    ASSERT_EQ(sink.lines.size(), 33000);
    ASSERT_GE(state.LinePositions.size(), 33000u);
    auto& rs = *state.CatalogueRecordset;
    for (qsizetype i = 0; i < sink.lines.size(); ++i) {
        rs.setBookmark(state.LinePositions[size_t(i)]);
        const QString file = rs.Fields(engine::Field::CDFile).value_or("");
        ASSERT_TRUE(sink.lines[i].startsWith("/M/D" + QString::number(i / 30) + "/" + file)) << i;
    }
    EXPECT_EQ(progress.statuses.last(), "Search completed (33000 matches)");
}

TEST_F(FileMatchQueryTest, malformedBracketPatternReportsBothMessages) {
    addPhotos();
    EXPECT_TRUE(find("[abc").isEmpty());
    const QStringList texts = app.prompt().texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("Error ")) << texts[0].toStdString();
    EXPECT_EQ(texts[1], "Can't open table in catalogue database.");
    EXPECT_FALSE(queries.Busy);
    EXPECT_EQ(progress.statuses.last(), "Searching for *[ABC* ...");
}

} // namespace
