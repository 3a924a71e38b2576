#include "core/records/NameRegex.h"

#include <gtest/gtest.h>

using namespace orvik;

// The run the file index looks up must be in every match: none is taken from
// an alternation, a group, a class, a quantified atom or a part whose meaning
// options could change, and none holds a character the search pattern reads
// otherwise than the expression does.
TEST(NameRegex, requiredLiteralIsTakenOnlyWhereEveryMatchHoldsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"holiday\\d+\\.jpg$", "HOLIDAY"},
        {"^readme", "README"},
        {"\\.txt$", ".TXT"},
        {"a|holiday", ""},
        {"(holiday)?xyz", "XYZ"},
        {"(?:foo|bar)baz", "BAZ"},
        {"[abc]def", "DEF"},
        {"[]abc]de", ""},
        {"colou?r", "COLO"},
        {"ab+cde", "CDE"},
        {"abcd*", "ABC"},
        {"abcd{0,2}efg", "ABC"},
        {"abcc{2}d", "ABCC"},
        {"x{,3}yza", "YZA"},
        {"wxy.z", "WXY"},
        {"(?i)abcd", ""},
        {"(?x)a b c d", ""},
        {"abc\\Qdef", "ABC"},
        {"\\bword\\b", "WORD"},
        {"12#34", ""},
        {"a*b?c", ""},
        {"bake", ""}, // a caseless K also matches the Kelvin sign
        {"caf\u00e9s", "CAF"},
        {"abc\\x41def", "ABC"},
        {"\\x{41}bcd", ""},
        {"\\p{Lu}xyz", ""},
        {"(a)\\1xyz", ""},
        {"\\cXYZW", ""},
        {"\\N{U+41}xyz", ""},
        {"\\Nxyz", "XYZ"},
    };
    for (const auto& [expression, run] : cases)
        EXPECT_EQ(requiredLiteral(QString::fromUtf8(expression)), QString::fromUtf8(run))
            << expression;
}
