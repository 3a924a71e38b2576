#include "core/records/NameRegex.h"

#include <stdexcept>

namespace orvik {

namespace {

// Characters a run may hold: ASCII that the search pattern takes literally
// and that has no other case than its ASCII one. "K" also matches the Kelvin
// sign without regard to case, which upper-casing leaves as it is.
bool runCharacter(QChar c) {
    if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    switch (c.toUpper().unicode()) {
    case u'*':
    case u'?':
    case u'#':
    case u'[':
    case u']':
    case u'K':
        return false;
    default:
        return true;
    }
}

// Where a bracketed class starting at `i` ends (past its "]"); -1 when it does not.
qsizetype classEnd(const QString& e, qsizetype i) {
    ++i; // "["
    if (i < e.size() && e[i] == u'^') ++i;
    if (i < e.size() && e[i] == u']') ++i; // a "]" first is a member
    while (i < e.size()) {
        if (e[i] == u'\\') {
            i += 2;
        } else if (e[i] == u'[' && i + 1 < e.size() && e[i + 1] == u':') {
            const qsizetype close = e.indexOf(QStringLiteral(":]"), i + 2);
            if (close < 0) return -1;
            i = close + 2;
        } else if (e[i] == u']') {
            return i + 1;
        } else {
            ++i;
        }
    }
    return -1;
}

// Where a group starting at `i` ends (past its ")"); -1 when it does not.
qsizetype groupEnd(const QString& e, qsizetype i) {
    int depth = 0;
    while (i < e.size()) {
        const QChar c = e[i];
        if (c == u'\\') {
            if (i + 1 < e.size() && e[i + 1] == u'Q') return -1; // quoting: not followed
            i += 2;
            continue;
        }
        if (c == u'[') {
            i = classEnd(e, i);
            if (i < 0) return -1;
            continue;
        }
        if (c == u'(') ++depth;
        if (c == u')' && --depth == 0) return i + 1;
        ++i;
    }
    return -1;
}

// A quantifier at `i`: its length, or 0 when none stands there. `optional`
// tells whether it allows no repetition at all.
qsizetype quantifier(const QString& e, qsizetype i, bool& optional) {
    if (i >= e.size()) return 0;
    qsizetype length = 0;
    if (e[i] == u'*' || e[i] == u'?') {
        optional = true;
        length = 1;
    } else if (e[i] == u'+') {
        optional = false;
        length = 1;
    } else if (e[i] == u'{') {
        const qsizetype close = e.indexOf(u'}', i);
        if (close < 0) return 0;
        const QString inside = e.mid(i + 1, close - i - 1);
        const QString least = inside.section(u',', 0, 0);
        bool digits = !inside.isEmpty();
        for (const QChar c : inside)
            digits = digits && (c.isDigit() || c == u',');
        if (!digits || inside.count(u',') > 1) return 0;
        optional = least.isEmpty() || least.toInt() == 0;
        length = close - i + 1;
    } else {
        return 0;
    }
    // A lazy "?" or possessive "+" belongs to the quantifier.
    if (i + length < e.size() && (e[i + length] == u'?' || e[i + length] == u'+')) ++length;
    return length;
}

} // namespace

QString requiredLiteral(const QString& e) {
    // A control character ("\c)") may be any sign, a bracket too: the groups
    // and classes could not be told apart.
    if (e.contains(QLatin1String("\\c"))) return {};
    QString best, run;
    auto endRun = [&] {
        if (run.size() > best.size()) best = run;
        run.clear();
    };
    qsizetype i = 0;
    while (i < e.size()) {
        const QChar c = e[i];
        bool literal = false;
        QChar ch;
        qsizetype next = i + 1;
        if (c == u'|') {
            return {}; // an alternation at the top: no run is certain
        } else if (c == u'(') {
            // Options set inside ("(?x)", "(?i)"), verbs ("(*UCP)") and the
            // like change how the rest reads: nothing is taken for certain.
            if (i + 1 < e.size() && e[i + 1] == u'*') return {};
            if (i + 2 < e.size() && e[i + 1] == u'?' &&
                (e[i + 2].isLetter() || e[i + 2] == u'-' || e[i + 2] == u'^'))
                if (!(e[i + 2] == u'P' && i + 3 < e.size() && e[i + 3] == u'<')) return {};
            next = groupEnd(e, i);
            if (next < 0) return {};
        } else if (c == u'[') {
            next = classEnd(e, i);
            if (next < 0) return {};
        } else if (c == u'\\') {
            if (i + 1 >= e.size()) return {};
            const QChar escaped = e[i + 1];
            next = i + 2;
            // An escaped sign is that sign; an escaped letter is a class, an
            // anchor or a code, none taken. The escapes that take what
            // follows them ("\x41", "\p{L}", a reference, quoting) leave
            // the rest unsure: the runs found before them stand.
            if (escaped.unicode() < 0x80 && !escaped.isLetterOrNumber()) {
                literal = true;
                ch = escaped;
            } else if (!QStringView(u"dDwWsShHvVRXNbBAzZGKntrfea").contains(escaped) ||
                       (escaped == u'N' && next < e.size() && e[next] == u'{')) {
                break;
            }
        } else if (c == u'.' || c == u'^' || c == u'$' || c == u')') {
            // any character, an anchor; a stray ")" leaves the rest unsure
            if (c == u')') return {};
        } else if (c == u'*' || c == u'+' || c == u'?' || c == u'{') {
            bool optional = false;
            if (quantifier(e, i, optional) == 0 && c == u'{') {
                literal = true; // a "{" that quantifies nothing is itself
                ch = c;
            } else {
                return {}; // a quantifier with nothing before it: malformed
            }
        } else {
            literal = true;
            ch = c;
        }
        // A quantified atom may repeat or vanish: the run ends before it,
        // or, when it must occur at least once, with it.
        bool optional = false;
        const qsizetype quantified = quantifier(e, next, optional);
        if (literal && runCharacter(ch)) {
            if (quantified == 0 || !optional) run += ch.toUpper();
            if (quantified != 0) endRun();
        } else {
            endRun();
        }
        i = next + quantified;
    }
    endRun();
    return best.size() >= 3 ? best : QString();
}

NameRegex::NameRegex(const QString& expression)
    : m_text(expression),
      m_expression(expression, QRegularExpression::CaseInsensitiveOption |
                                   QRegularExpression::UseUnicodePropertiesOption) {
    if (!m_expression.isValid())
        throw std::invalid_argument(
            QStringLiteral("'%1': not a regular expression: %2 at offset %3")
                .arg(expression, m_expression.errorString())
                .arg(m_expression.patternErrorOffset())
                .toStdString());
    m_expression.optimize();
}

bool NameRegex::matches(const QString& file, const QString& directory) const {
    return (!file.isEmpty() && m_expression.match(file).hasMatch()) ||
           (!directory.isEmpty() && m_expression.match(directory).hasMatch());
}

QString NameRegex::candidatePattern() const {
    const QString run = requiredLiteral(m_text);
    return run.isEmpty() ? QStringLiteral("**") : u'*' + run + u'*';
}

} // namespace orvik
