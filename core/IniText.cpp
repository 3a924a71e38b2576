#include "core/IniText.h"

#include <QList>

namespace orvik {

namespace {

bool isHexDigit(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A text value as the settings store reads it back unchanged: control
// characters, quotes and backslashes escaped (a hex escape runs on over hex
// digits, so one that follows is escaped too), a leading "@" doubled (it would
// mark a typed value), quotes around a value that holds ";", "," or "=" (a
// comment, a list, a key) or begins or ends with a blank.
QByteArray escapedValue(const QString& value) {
    QByteArray out = value.startsWith('@') ? QByteArray("@") : QByteArray();
    QString plain; // characters that stand for themselves, written in UTF-8 at once
    bool afterHexEscape = false;
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        const bool escape = u < 0x20 || u == 0x7F || (afterHexEscape && isHexDigit(u));
        afterHexEscape = escape;
        if (!escape && u != '"' && u != '\\') {
            plain += c;
            continue;
        }
        out += plain.toUtf8();
        plain.clear();
        out += escape ? "\\x" + QByteArray::number(u, 16) : QByteArray("\\") + char(u);
    }
    out += plain.toUtf8();
    if (value.contains(';') || value.contains(',') || value.contains('=') ||
        value.startsWith(' ') || value.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

QByteArray keyOf(const QByteArray& line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QByteArray() : line.left(equals).trimmed();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// True when the value is one quoted run: its first unescaped quote after the
// opening one is its last character.
bool wholeQuoted(const QByteArray& value) {
    if (value.size() < 2 || !value.startsWith('"')) return false;
    for (qsizetype i = 1; i < value.size(); ++i) {
        if (value[i] == '\\')
            ++i;
        else if (value[i] == '"')
            return i == value.size() - 1;
    }
    return false;
}

// Undoes the escapes escapedValue writes; a backslash before anything else
// stands for itself, as in a hand-edited path.
QString unescapedValue(const QByteArray& value) {
    QString out;
    qsizetype plainStart = 0; // bytes that stand for themselves, decoded from UTF-8 at once
    for (qsizetype i = 0; i + 1 < value.size(); ++i) {
        if (value[i] != '\\') continue;
        const char kind = value[i + 1];
        qsizetype end = i + 2;
        char32_t code = 0;
        if (kind == '"' || kind == '\\') {
            code = char32_t(kind);
        } else if (kind == 'x' && end < value.size() && hexDigit(value[end]) >= 0) {
            for (; end < value.size() && hexDigit(value[end]) >= 0 && code <= 0xFFFF; ++end)
                code = code * 16 + char32_t(hexDigit(value[end]));
        } else {
            continue;
        }
        out += QString::fromUtf8(value.mid(plainStart, i - plainStart));
        out += QString::fromUcs4(&code, 1);
        plainStart = end;
        i = end - 1;
    }
    return out + QString::fromUtf8(value.mid(plainStart));
}

QString valueText(QByteArray value) {
    value = value.trimmed();
    if (wholeQuoted(value)) value = value.mid(1, value.size() - 2);
    if (value.startsWith("@@")) value.remove(0, 1);
    return unescapedValue(value);
}

} // namespace

QByteArray withIniValue(const QByteArray& ini, const QString& section, const QString& key,
                        const QString& value) {
    const QByteArray header = '[' + section.toUtf8() + ']';
    const QByteArray wantedKey = key.toUtf8();
    const QByteArray line = wantedKey + '=' + escapedValue(value);

    QList<QByteArray> lines = ini.split('\n');
    if (lines.last().isEmpty()) lines.removeLast(); // the text's final line break
    QList<QByteArray> result;
    bool inSection = false, written = false;
    qsizetype sectionEnd = -1; // where a new key goes: after the section's last key
    for (const QByteArray& text : lines) {
        const QByteArray trimmed = text.trimmed();
        if (trimmed.startsWith('[')) {
            inSection = trimmed == header;
        } else if (inSection && !trimmed.isEmpty() && keyOf(trimmed) == wantedKey) {
            if (!written) result << line;
            written = true;
            sectionEnd = result.size();
            continue;
        }
        result << text;
        // A comment may be the heading of what follows.
        if (inSection && !trimmed.isEmpty() && !trimmed.startsWith(';') && !trimmed.startsWith('#'))
            sectionEnd = result.size();
    }
    if (!written && sectionEnd >= 0) {
        result.insert(sectionEnd, line);
    } else if (!written) {
        if (!result.isEmpty() && !result.last().trimmed().isEmpty()) result << QByteArray();
        result << header << line;
    }
    return result.join('\n') + '\n';
}

QHash<QString, QString> iniValues(const QByteArray& ini, const QString& section) {
    const QByteArray header = '[' + section.toUtf8() + ']';
    QHash<QString, QString> values;
    bool inSection = false;
    for (const QByteArray& line : ini.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            inSection = trimmed == header;
            continue;
        }
        const qsizetype equals = trimmed.indexOf('=');
        if (!inSection || equals <= 0 || trimmed.startsWith(';') || trimmed.startsWith('#'))
            continue;
        values.insert(QString::fromUtf8(keyOf(trimmed)), valueText(trimmed.mid(equals + 1)));
    }
    return values;
}

} // namespace orvik
