#include "core/engine/Pattern.h"
#include "core/Error.h"

#include <gtest/gtest.h>

using orvik::Pattern;

TEST(Pattern, searchPatternsMatchWholeNamesWithoutRegardToCase) {
    EXPECT_FALSE(Pattern("*READ").matches("README.TXT"));
    EXPECT_TRUE(Pattern("*READ").matches("dontread"));
    EXPECT_TRUE(Pattern("?*").matches("A"));
    EXPECT_FALSE(Pattern("?*").matches(""));
    EXPECT_TRUE(Pattern("*").matches(""));
    EXPECT_TRUE(Pattern("**").matches("anything at all"));
    // A run of "?" and "*" takes at least one character per "?".
    EXPECT_TRUE(Pattern("A?*?C").matches("AXYC"));
    EXPECT_FALSE(Pattern("A?*?C").matches("AXC"));
    EXPECT_TRUE(Pattern("*??B*?").matches("XXABBC"));
    EXPECT_FALSE(Pattern("*??B*?").matches("XXAB"));
    // Letters beyond ASCII are one character each and compare without case too.
    EXPECT_TRUE(Pattern("??É").matchesUtf8("àbé"));
    EXPECT_FALSE(Pattern("???É").matchesUtf8("àbé"));
    EXPECT_TRUE(Pattern("*é*").matches("CAFÉ.TXT"));
    EXPECT_TRUE(Pattern("[à-é]").matches("È"));
    EXPECT_TRUE(Pattern("STRASSE").matches("straße"));
}

TEST(Pattern, digitsAndBracketListsTakeOneCharacterAndPercentAndUnderscoreAreLiteral) {
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
    EXPECT_THROW(Pattern("[abc"), orvik::Error);
    EXPECT_THROW(Pattern("*[z-a]*"), orvik::Error);
    EXPECT_FALSE(Pattern("100%").matches("1000"));
    EXPECT_TRUE(Pattern("100%").matches("100%"));
    EXPECT_FALSE(Pattern("A_C").matches("ABC"));
}

TEST(Pattern, pathologicalPatternAnswersWithoutBacktrackingBlowUp) {
    const QString many(10000, 'A');
    Pattern pattern("*A*A*A*A*A*A*A*A*A*A*B");
    EXPECT_FALSE(pattern.matches(many));
    EXPECT_FALSE(pattern.matchesUtf8(many.toStdString()));
    EXPECT_TRUE(pattern.matches(many + "B"));
}
