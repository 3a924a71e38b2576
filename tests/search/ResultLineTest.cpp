#include "ResultLine.h"

#include <gtest/gtest.h>

using namespace orvik;

TEST(ResultLine, fileMatchPatternPinsTheEndOnlyWithAFinalFullStop) {
    const std::pair<const char*, const char*> examples[] = {
        {"read", "*READ*"}, {"*.txt", "*.TXT*"}, {"*.txt.", "*.TXT"}, {"read.", "*READ"},
        {"?", "?*"},        {".", "*"},          {"", "**"},          {"o'brien", "*O'BRIEN*"}};
    for (const auto& [typed, pattern] : examples)
        EXPECT_EQ(fileMatchPattern(QString::fromUtf8(typed)), QString::fromUtf8(pattern)) << typed;
}

TEST(ResultLine, volumePatternAlwaysEndsInAStar) {
    EXPECT_EQ(volumePattern("summer"), "*SUMMER*");
    EXPECT_EQ(volumePattern("cd1."), "*CD1.*");
    EXPECT_EQ(volumePattern("?x"), "?X*");
    EXPECT_EQ(volumePattern(""), "**");
}

TEST(ResultLine, nameColumnFollowsTheWindowWidth) {
    EXPECT_FLOAT_EQ(QueryWidth::window(9465).nameColumn(true), 53);
    EXPECT_FLOAT_EQ(QueryWidth::window(9465).nameColumn(false), 30);
    EXPECT_FLOAT_EQ(QueryWidth::window(18930).nameColumn(false), 60);
    EXPECT_FLOAT_EQ(QueryWidth::characters(40).nameColumn(true), 40);
}

TEST(ResultLine, shortNamesGetTheDotLeaderAndLongOnesPushTheColumnsRight) {
    const QString date = "2001-02-03 04:05:06";
    const QString rest = date + " 1234       CD1   PHOTOS";
    const QString name30 = QString(30, 'A');
    EXPECT_EQ(composeFileLine("", name30, 30, date, "1234", "CD1", "PHOTOS"), name30 + " " + rest);
    EXPECT_EQ(composeFileLine("ABCDE", "FGHIJ", 30, date, "1234", "CD1", "PHOTOS"),
              "ABCDEFGHIJ . . . . . . . . . . " + rest);
    const QString name31 = QString(31, 'A');
    EXPECT_EQ(composeFileLine(name31.left(5), name31.mid(5), 30, date, "1234", "CD1", "PHOTOS"),
              name31 + " " + rest);
    // Column widths round halves to even: 30.5 gives 30 characters, 31.5 gives 32.
    EXPECT_EQ(composeFileLine("", "AB", 30.5f, date, "", "V", "D").indexOf(date), 31);
    EXPECT_EQ(composeFileLine("A", "B", 31.5f, date, "", "V", "D").indexOf(date), 33);
}

TEST(ResultLine, missingDateAndLengthLeaveBlankColumns) {
    EXPECT_EQ(composeFileLine("", QString(30, 'A'), 30, "", "", "CD1", "PHOTOS"),
              QString(30, 'A') + " " + QString(13, ' ') + " " + QString(9, ' ') + "  CD1   PHOTOS");
    EXPECT_EQ(dateColumn("12345"), "12345" + QString(13, ' '));
    EXPECT_EQ(dateColumn("1234567"), "1234567" + QString(12, ' '));
    EXPECT_EQ(dateColumn(QString(20, '1')), QString(20, '1'));
    EXPECT_EQ(lengthColumn("12345678901"), "123456789");
}

TEST(ResultLine, volumeLineShowsLabelDescriptionAndKeywords) {
    EXPECT_EQ(composeVolumeLine("CD1", "PHOTOS", "SUMMER 99"),
              "Vol:CD1  (PHOTOS) - [KW=SUMMER 99]");
    EXPECT_EQ(composeVolumeLine("CD2", "MUSIC", ""), "Vol:CD2  (MUSIC) - [KW=]");
}
