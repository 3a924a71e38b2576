#include "RecordResolution.h"
#include "AppState.h"
#include "CatalogueWriter.h"
#include "TestApp.h"
#include "engine/Pattern.h"
#include "engine/Recordset.h"

#include <gtest/gtest.h>

using namespace orvik;
using namespace orvik::test;
using engine::Criterion;
using engine::Field;

namespace {

class RecordResolutionTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    CatalogueWriter catalogue{state};
    engine::Recordset& rs = catalogue.recordset();

    // FindMyDesc's answers on the heads of runs with these descriptions and
    // labels, in one scan; every other record must answer 0.
    std::vector<int> descriptionAnswers(const std::vector<std::pair<QString, QString>>& heads) {
        for (const auto& [description, label] : heads)
            catalogue.addRun(label, description, "", {directory("/M/", {"F", "G"})});
        LastDescription last;
        std::vector<int> answers;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            const int answer = FindMyDesc(state, rs, last);
            if (rs.Fields(Field::CDVolume))
                answers.push_back(answer);
            else
                EXPECT_EQ(answer, 0);
        }
        return answers;
    }

    // Stands the recordset on the record and resolves it.
    void lookup(const QString& bookmark) {
        rs.setBookmark(bookmark);
        Lookup_All_Fields(state, rs);
    }
};

TEST_F(RecordResolutionTest, lookupFindsTheDirectoryAndVolumeThatOwnARecord) {
    catalogue.addRun("OTHER", "FIRST RUN", "OLD", {directory("/MEDIA/A/", {"X.TXT"})});
    const QString head = catalogue.addRecord("CD1", "PHOTOS", "ROOT.TXT", "/MEDIA/CD/", "SUMMER");
    catalogue.addRecord(std::nullopt, std::nullopt, "A.JPG", "/MEDIA/CD/DIR/", std::nullopt);
    catalogue.addRecord(std::nullopt, std::nullopt, "B.JPG", std::nullopt, std::nullopt);
    const QString third =
        catalogue.addRecord(std::nullopt, std::nullopt, "C.JPG", std::nullopt, "OWN WORDS");

    // A find that failed before the walk must not cut the walk short.
    rs.FindFirst(Criterion::FileOrPathLike("*NOTHING LIKE THIS*"));
    ASSERT_TRUE(rs.NoMatch());
    rs.setBookmark(third);
    Get_All_Current_Fields(state, rs);
    EXPECT_EQ(state.CurPath, "");
    EXPECT_EQ(state.CurVolume, "");
    EXPECT_EQ(state.CurDescription, "");
    Lookup_All_Fields(state, rs);
    EXPECT_EQ(state.CurFile, "C.JPG");
    EXPECT_EQ(state.CurPath, "/MEDIA/CD/DIR/");
    EXPECT_EQ(state.CurDescription, "PHOTOS");
    EXPECT_EQ(state.CurVolume, "CD1");
    EXPECT_EQ(state.CurKeywords, "OWN WORDS"); // its own keywords win
    EXPECT_EQ(rs.Bookmark(), third);

    rs.MovePrevious();
    Lookup_All_Fields(state, rs);
    EXPECT_EQ(state.CurFile, "B.JPG");
    EXPECT_EQ(state.CurKeywords, "SUMMER"); // those of its volume run

    lookup(head);
    EXPECT_EQ(state.CurPath, "/MEDIA/CD/");
    EXPECT_EQ(state.CurVolume, "CD1");
    EXPECT_EQ(state.CurDescription, "PHOTOS");
    EXPECT_EQ(rs.Bookmark(), head);
    EXPECT_TRUE(app.prompt().shown.empty());

    rs.MoveLast();
    rs.MoveNext();
    EXPECT_EQ(FindMyFile(state, rs), 0);
    Lookup_All_Fields(state, rs); // past the last record there is nothing to resolve
    EXPECT_EQ(app.prompt().texts(), QStringList{"Error in Lookup_all_Fields!"});
}

TEST_F(RecordResolutionTest, lookupOnTheFirstRecordNeedsNoFind) {
    const QString head =
        catalogue.addRecord("CD1", "PHOTOS", "ROOT.TXT", "/MEDIA/CD/", std::nullopt);
    rs.FindFirst(Criterion::FileOrPathLike("*NOTHING*"));
    lookup(head);
    EXPECT_EQ(state.CurPath, "/MEDIA/CD/");
    EXPECT_EQ(state.CurVolume, "CD1");
    EXPECT_EQ(state.CurKeywords, "");
    EXPECT_TRUE(rs.NoMatch()); // still the flag of the failed find: the walk made none
}

TEST_F(RecordResolutionTest, findMyDescSkipsOnlyARepeatOfTheHeadJustBefore) {
    // PHOTOS CD1 twice in a row counts once; after MUSIC CD2 it counts again.
    EXPECT_EQ(descriptionAnswers(
                  {{"PHOTOS", "CD1"}, {"PHOTOS", "CD1"}, {"MUSIC", "CD2"}, {"PHOTOS", "CD1"}}),
              (std::vector<int>{1, 0, 1, 1}));
}

TEST_F(RecordResolutionTest, findMyKWStopsOnTheNextHeadWhoseKeywordsMatch) {
    catalogue.addRun("CD1", "TRIP", "HOLIDAY", {directory("/M/", {"A", "B"})});
    catalogue.addRecord("CD2", "NO FILE", std::nullopt, "/M/", "SUMMER 98");
    const QString summer = catalogue.addRun("CD3", "BEACH", "SUMMER 99", {directory("/M/", {"C"})});
    catalogue.addRun("CD4", "SNOW", "WINTER", {directory("/M/", {"D"})});

    const Pattern pattern("*SUMMER*");
    rs.MoveFirst();
    ASSERT_EQ(FindMyKW(state, rs, pattern), 1);
    EXPECT_EQ(rs.Bookmark(), summer);
    EXPECT_EQ(state.MatchKeywords, "SUMMER 99");
    EXPECT_EQ(state.CurVolume, "CD3");
    rs.MoveNext();
    EXPECT_EQ(FindMyKW(state, rs, pattern), 0);
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(state.MatchKeywords, "WINTER");
}

} // namespace
