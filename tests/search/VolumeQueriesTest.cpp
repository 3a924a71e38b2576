#include "AppState.h"
#include "CatalogueWriter.h"
#include "Recorders.h"
#include "SearchQueries.h"
#include "TestApp.h"
#include "engine/Recordset.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace orvik;
using namespace orvik::test;

namespace {

class VolumeQueriesTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    std::unique_ptr<CatalogueWriter> catalogue = std::make_unique<CatalogueWriter>(state);
    RecordingSink sink;
    RecordingProgress progress;
    SearchQueries queries{state, sink, progress};
    QStringList heads;

    void addVolumes() {
        heads << catalogue->addRun("CD1", "PHOTOS", "SUMMER 99",
                                   {directory("/M/", {"A.JPG"}), directory("/M/X/", {"B.JPG"})});
        heads << catalogue->addRun("CD1", "PHOTOS", "SUMMER 99", {directory("/M/", {"A.JPG"})});
        heads << catalogue->addRun("MUSIC", "ROCK CD1", "", {directory("/M/", {"S.MP3", "T.MP3"})});
        heads << catalogue->addRun("*NO_NAME*", "HOLIDAY", "WINTER", {directory("/M/", {"C"})});
    }
};

TEST_F(VolumeQueriesTest, volumeListShowsEveryRunAndEnablesErasing) {
    addVolumes();
    queries.listVolumes("ignored text");
    EXPECT_EQ(
        sink.lines,
        QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER 99]", "Vol:CD1  (PHOTOS) - [KW=SUMMER 99]",
                     "Vol:MUSIC  (ROCK CD1) - [KW=]", "Vol:*NO_NAME*  (HOLIDAY) - [KW=WINTER]"}));
    EXPECT_EQ(std::vector<QString>(state.LinePositions.begin(), state.LinePositions.begin() + 4),
              std::vector<QString>(heads.begin(), heads.end()));
    EXPECT_EQ(state.SearchText, "ignored text");
    EXPECT_EQ(progress.statuses,
              QStringList({"Searching catalogue for CD Volumes ...", "4 CDs found"}));
    EXPECT_TRUE(queries.EraseEnabled);
    EXPECT_TRUE(state.CatalogueRecordset->Eof());
}

TEST_F(VolumeQueriesTest, descriptionQueryListsARepeatedMediumOnce) {
    addVolumes();
    queries.listVolumes("");
    queries.searchDescriptions("cd1");
    EXPECT_FALSE(queries.EraseEnabled);
    EXPECT_EQ(state.SearchText, "*CD1*");
    EXPECT_EQ(sink.lines,
              QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER 99]", "Vol:MUSIC  (ROCK CD1) - [KW=]"}));
    EXPECT_EQ(state.LinePositions[1], heads[2]);
    EXPECT_EQ(progress.statuses.mid(2), QStringList({"Searching Descriptions for *CD1* ...",
                                                     "Search completed (2 matches)"}));
    // Label and description are one text: the end of the label runs into the description.
    queries.searchDescriptions("name?hol");
    EXPECT_EQ(sink.lines, QStringList{"Vol:*NO_NAME*  (HOLIDAY) - [KW=WINTER]"});
    queries.searchDescriptions("");
    EXPECT_EQ(sink.lines.size(), 3);
}

TEST_F(VolumeQueriesTest, keywordQueryListsHeadsWhoseKeywordsMatch) {
    addVolumes();
    queries.searchKeywords("summer");
    EXPECT_EQ(sink.lines, QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER 99]",
                                       "Vol:CD1  (PHOTOS) - [KW=SUMMER 99]"}));
    EXPECT_EQ(std::vector<QString>(state.LinePositions.begin(), state.LinePositions.begin() + 2),
              std::vector<QString>(heads.begin(), heads.begin() + 2));
    EXPECT_EQ(sink.records[0].directory, "/M/");
    EXPECT_EQ(progress.statuses,
              QStringList({"Searching Keywords for *SUMMER*...", "Search completed (2 matches)"}));
    queries.searchKeywords("");
    EXPECT_EQ(sink.lines.size(), 3);
    EXPECT_FALSE(queries.EraseEnabled);
}

TEST_F(VolumeQueriesTest, emptyCatalogueFindsNothing) {
    queries.listVolumes("");
    EXPECT_EQ(progress.statuses.last(), "No CDS found");
    queries.searchKeywords("");
    EXPECT_EQ(progress.statuses.last(), "No matches found");
    queries.searchDescriptions("");
    EXPECT_EQ(progress.statuses.last(), "No matches found");
    EXPECT_TRUE(sink.lines.isEmpty());
    catalogue->addRun("ONE", "ONLY", "", {directory("/M/", {"F"})});
    queries.listVolumes("");
    EXPECT_EQ(progress.statuses.last(), "1 CDs found");
}

TEST_F(VolumeQueriesTest, missingCatalogueFileIsReported) {
    catalogue.reset();
    state.CatalogueDatabase.reset();
    ASSERT_TRUE(QFile::remove(state.catalogueFile()));
    queries.listVolumes("");
    EXPECT_EQ(app.prompt().texts().value(1), "Can't open catalogue database.");
    EXPECT_EQ(progress.statuses, QStringList{"Searching catalogue for CD Volumes ..."});
}

} // namespace
