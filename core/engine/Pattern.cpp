#include "core/engine/Pattern.h"

#include "core/Error.h"

namespace orvik {

namespace {

Error badPattern(const QString& why, const QString& pattern) {
    return Error(errors::BadPattern,
                 why + QStringLiteral(" in pattern '") + pattern + QStringLiteral("'"));
}

} // namespace

Pattern::Pattern(const QString& pattern) : m_text(pattern) {
    const std::u32string points = pattern.toUpper().toStdU32String();
    for (size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (c == U'*' || c == U'?') {
            // A run of "?" and "*" is one token: so many characters, any more
            // when a star is in it ("*?" and "?*" are the same).
            if (m_tokens.empty() || m_tokens.back().kind != Kind::Run)
                m_tokens.push_back({Kind::Run});
            Token& run = m_tokens.back();
            if (c == U'?')
                ++run.count;
            else
                run.star = true;
        } else if (c == U'#') {
            m_tokens.push_back({Kind::Digit});
        } else if (c == U'[') {
            size_t j = i + 1;
            Token list{Kind::List};
            if (j < points.size() && points[j] == U'!') {
                list.negated = true;
                ++j;
            }
            bool closed = false;
            for (; j < points.size(); ++j) {
                if (points[j] == U']') {
                    closed = true;
                    break;
                }
                Range range{points[j], points[j]};
                if (j + 2 < points.size() && points[j + 1] == U'-' && points[j + 2] != U']') {
                    range.high = points[j + 2];
                    if (range.high < range.low)
                        throw badPattern(QStringLiteral("Invalid range in bracket list"), pattern);
                    j += 2;
                }
                list.ranges.push_back(range);
            }
            if (!closed)
                throw badPattern(QStringLiteral("Bracket list without closing ']'"), pattern);
            i = j;
            // "[]" stands for the empty text and consumes nothing.
            if (!list.ranges.empty() || list.negated) m_tokens.push_back(std::move(list));
        } else {
            m_tokens.push_back({Kind::Literal, c});
        }
    }
}

bool Pattern::tokenAccepts(const Token& token, char32_t ch) const {
    switch (token.kind) {
    case Kind::Literal:
        return token.ch == ch;
    case Kind::Digit:
        return ch >= U'0' && ch <= U'9';
    case Kind::List: {
        bool inList = false;
        for (const Range& r : token.ranges)
            if (ch >= r.low && ch <= r.high) {
                inList = true;
                break;
            }
        return inList != token.negated;
    }
    case Kind::Run:
        break;
    }
    return false;
}

// Every token but a run takes exactly one character, and a run a fixed count,
// so on a mismatch only the most recent star has to take one character more:
// at most text x tokens steps, never exponential. `read(i)` gives the
// upper-cased character at i, or std::nullopt to give up (a character the
// caller cannot upper-case here); every character is read before it is passed.
template <typename Read>
std::optional<bool> Pattern::matchSequence(size_t length, Read read) const {
    size_t t = 0, p = 0;
    // Where to go on after the most recent star, and the text its extra part starts at.
    size_t afterStar = SIZE_MAX, starText = 0;
    const size_t count = m_tokens.size();
    for (;;) {
        if (p < count && m_tokens[p].kind == Kind::Run) {
            const Token& run = m_tokens[p++];
            // Going back to an earlier star only leaves less text.
            if (length - t < run.count) return false;
            for (const size_t end = t + run.count; t < end; ++t)
                if (!read(t)) return std::nullopt;
            if (run.star) {
                afterStar = p;
                starText = t;
            }
            continue;
        }
        if (t == length) break;
        const std::optional<char32_t> ch = read(t);
        if (!ch) return std::nullopt;
        if (p < count && (m_tokens[p].kind == Kind::Literal ? m_tokens[p].ch == *ch
                                                            : tokenAccepts(m_tokens[p], *ch))) {
            ++p;
            ++t;
        } else if (afterStar != SIZE_MAX) {
            p = afterStar;
            t = ++starText;
        } else {
            return false;
        }
    }
    return p == count;
}

std::vector<std::u32string> Pattern::literalRuns() const {
    std::vector<std::u32string> runs(1);
    for (const Token& token : m_tokens) {
        if (token.kind == Kind::Literal)
            runs.back() += token.ch;
        else if (!runs.back().empty())
            runs.emplace_back();
    }
    if (runs.back().empty()) runs.pop_back();
    return runs;
}

bool Pattern::matches(const QString& text) const {
    const std::u32string points = text.toUpper().toStdU32String();
    return *matchSequence(points.size(), [&](size_t i) { return std::optional(points[i]); });
}

bool Pattern::matchesUtf8(std::string_view utf8) const {
    // ASCII is upper-cased on the fly; at the first other byte the text goes
    // through Unicode upper-casing instead. A mismatch found before that byte
    // stands, since the ASCII before it upper-cases the same either way.
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::optional<bool> ascii =
        matchSequence(utf8.size(), [bytes](size_t i) -> std::optional<char32_t> {
            const unsigned char c = bytes[i];
            if (c >= 0x80) return std::nullopt;
            return char32_t(c >= 'a' && c <= 'z' ? c - 32 : c);
        });
    if (ascii) return *ascii;
    return matches(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

} // namespace orvik
