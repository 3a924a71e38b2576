// The pattern language of searches: "*" any run, "?" any one character,
// "#" one digit, "[a-z]" / "[!list]" bracket lists. Whole-text, case-insensitive
// with Unicode upper-casing. A match costs at most text length x pattern tokens
// steps, where a run of "?" and "*" is one token, so "*" and 2,000 "?" cost
// one pass over the text.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvik {

class Pattern {
public:
    // Throws orvik::Error for a malformed bracket list or range.
    explicit Pattern(const QString& pattern);

    bool matches(const QString& text) const;
    // Text as UTF-8 bytes, the form SQLite hands over; avoids a conversion for ASCII.
    bool matchesUtf8(std::string_view utf8) const;

    const QString& text() const { return m_text; }
    // The runs of literal characters, upper-cased: every text that matches
    // holds each of them, upper-cased. "*", "?", "#" and bracket lists end a run.
    std::vector<std::u32string> literalRuns() const;

private:
    struct Range {
        char32_t low, high;
    };
    enum class Kind { Literal, Digit, List, Run };
    struct Token {
        Kind kind;
        char32_t ch = 0;
        // Run: at least `count` characters, any number more when `star`.
        size_t count = 0;
        bool star = false;
        bool negated = false;
        std::vector<Range> ranges = {};
    };

    template <typename Read> std::optional<bool> matchSequence(size_t length, Read read) const;
    bool tokenAccepts(const Token& token, char32_t ch) const;

    QString m_text;
    std::vector<Token> m_tokens;
};

} // namespace orvik
