#include "ResultLine.h"

#include <gtest/gtest.h>

using namespace orvik;

TEST(ResultLine, patternsAddStarsAndAFinalFullStopPinsTheFileNameEnd) {
    const std::pair<const char*, const char*> fileExamples[] = {
        {"read", "*READ*"}, {"*.txt", "*.TXT*"}, {"*.txt.", "*.TXT"}, {"read.", "*READ"},
        {"?", "?*"},        {".", "*"},          {"", "**"}};
    for (const auto& [typed, pattern] : fileExamples)
        EXPECT_EQ(fileMatchPattern(QString::fromUtf8(typed)), QString::fromUtf8(pattern)) << typed;
    EXPECT_EQ(volumePattern("summer"), "*SUMMER*");
    EXPECT_EQ(volumePattern("cd1."), "*CD1.*");
    EXPECT_EQ(volumePattern("?x"), "?X*");
    EXPECT_EQ(volumePattern(""), "**");
}

TEST(ResultLine, nameColumnFollowsTheWindowWidthAndRoundsHalvesToEven) {
    EXPECT_FLOAT_EQ(QueryWidth::window(9465).nameColumn(true), 53);
    EXPECT_FLOAT_EQ(QueryWidth::window(18930).nameColumn(false), 60);
    EXPECT_FLOAT_EQ(QueryWidth::characters(40).nameColumn(true), 40);
    const QString date = "2001-02-03 04:05:06";
    EXPECT_EQ(composeFileLine("", "AB", 30.5f, date, "", "V", "D").indexOf(date), 31);
    EXPECT_EQ(composeFileLine("A", "B", 31.5f, date, "", "V", "D").indexOf(date), 33);
}

TEST(ResultLine, dateAndLengthColumnsArePaddedOrCut) {
    EXPECT_EQ(dateColumn("12345"), "12345" + QString(13, ' '));
    EXPECT_EQ(dateColumn("1234567"), "1234567" + QString(12, ' '));
    EXPECT_EQ(dateColumn(QString(20, '1')), QString(20, '1'));
    EXPECT_EQ(lengthColumn("12345678901"), "123456789");
    EXPECT_EQ(lengthColumn("1"), "1" + QString(8, ' '));
}
