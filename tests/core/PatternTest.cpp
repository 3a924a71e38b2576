#include "engine/Pattern.h"
#include "Error.h"

#include <gtest/gtest.h>

using orvik::Pattern;

TEST(Pattern, searchPatternsMatchWholeNamesWithoutRegardToCase) {
    EXPECT_TRUE(Pattern("*READ*").matches("readme.txt"));
    EXPECT_TRUE(Pattern("*READ*").matches("ALREADY"));
    EXPECT_FALSE(Pattern("*READ").matches("README.TXT"));
    EXPECT_TRUE(Pattern("*READ").matches("DONTREAD"));
    EXPECT_TRUE(Pattern("*.TXT*").matches("notes.txt.bak"));
    EXPECT_TRUE(Pattern("*.TXT").matches("notes.txt"));
    EXPECT_FALSE(Pattern("*.TXT").matches("notes.txt.bak"));
    EXPECT_TRUE(Pattern("?*").matches("A"));
    EXPECT_FALSE(Pattern("?*").matches(""));
    EXPECT_TRUE(Pattern("*").matches(""));
    EXPECT_TRUE(Pattern("**").matches("anything at all"));
    EXPECT_TRUE(Pattern("*SUMMER*").matches("summer 99"));
    EXPECT_FALSE(Pattern("*SUMMER*").matches("HOLIDAY"));
    EXPECT_TRUE(Pattern("*CD1.*").matches("MY CD1.2"));
    EXPECT_FALSE(Pattern("*CD1.*").matches("CD1"));
    // A run of "?" and "*" takes at least one character per "?".
    EXPECT_TRUE(Pattern("A?*?C").matches("AXYC"));
    EXPECT_FALSE(Pattern("A?*?C").matches("AXC"));
    EXPECT_TRUE(Pattern("*??B*?").matches("XXABBC"));
    EXPECT_FALSE(Pattern("*??B*?").matches("XXAB"));
    EXPECT_TRUE(Pattern("??É").matchesUtf8("àbé"));
    EXPECT_FALSE(Pattern("???É").matchesUtf8("àbé"));
}

TEST(Pattern, digitsAndBracketListsTakeOneCharacter) {
    EXPECT_TRUE(Pattern("DISC##").matches("disc07"));
    EXPECT_FALSE(Pattern("DISC##").matches("disc7a"));
    EXPECT_TRUE(Pattern("[a-c]*").matches("Banana"));
    EXPECT_FALSE(Pattern("[a-c]*").matches("date"));
    EXPECT_TRUE(Pattern("[!a-c]*").matches("date"));
    EXPECT_FALSE(Pattern("[!a-c]*").matches("apple"));
    EXPECT_TRUE(Pattern("[xyz-]").matches("-"));
    EXPECT_TRUE(Pattern("a[*?#]b").matches("a*b"));
    EXPECT_FALSE(Pattern("a[*?#]b").matches("axb"));
    EXPECT_TRUE(Pattern("a[]b").matches("ab"));
}

TEST(Pattern, unicodeLettersCompareWithoutRegardToCase) {
    EXPECT_TRUE(Pattern("*é*").matches("CAFÉ.TXT"));
    EXPECT_TRUE(Pattern("CAFÉ").matchesUtf8("café"));
    EXPECT_TRUE(Pattern("[à-é]").matches("È"));
    EXPECT_TRUE(Pattern("STRASSE").matches("straße"));
}

TEST(Pattern, quotesAndPercentSignsAreOrdinaryCharacters) {
    EXPECT_TRUE(Pattern("*O'BRIEN*").matches("o'brien.doc"));
    EXPECT_FALSE(Pattern("100%").matches("1000"));
    EXPECT_TRUE(Pattern("100%").matches("100%"));
    EXPECT_FALSE(Pattern("A_C").matches("ABC"));
}

TEST(Pattern, malformedBracketsAreErrorsWithADescription) {
    try {
        Pattern("[abc");
        FAIL() << "an open bracket list was accepted";
    } catch (const orvik::Error& e) {
        EXPECT_EQ(e.number(), orvik::errors::BadPattern);
        EXPECT_TRUE(e.description().contains("[abc"));
    }
    EXPECT_THROW(Pattern("*[z-a]*"), orvik::Error);
}

TEST(Pattern, pathologicalPatternAnswersWithoutBacktrackingBlowUp) {
    const QString many(10000, 'A');
    Pattern pattern("*A*A*A*A*A*A*A*A*A*A*B");
    EXPECT_FALSE(pattern.matches(many));
    EXPECT_FALSE(pattern.matchesUtf8(many.toStdString()));
    EXPECT_TRUE(pattern.matches(many + "B"));
}
