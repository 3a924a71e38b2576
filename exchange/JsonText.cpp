#include "exchange/JsonText.h"

#include "core/Error.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportWriter.h"

#include <cstring>

namespace orvik {

void appendJsonString(QByteArray& out, std::string_view text, bool forHtml) {
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (u < 0x20 || (forHtml && (c == '<' || c == '>' || c == '&'))) {
            out += "\\u00";
            out += Hex[u >> 4];
            out += Hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

JsonReader::JsonReader(const QString& file) : m_name(file), m_file(file) {
    const MappedImport mapped = mapImportFile(m_file, file);
    m_data = mapped.data;
    m_size = mapped.size;
    m_at = mapped.start;
}

void JsonReader::fail(const char* field, const QString& problem) const {
    malformed(m_name, m_line, field ? QLatin1String(field) : QString(), problem);
}

// The next character that is not white space, left in place; 0 at the end.
char JsonReader::peek() {
    while (m_at < m_size) {
        const char c = m_data[m_at];
        if (c == '\n')
            ++m_line;
        else if (c != ' ' && c != '\t' && c != '\r')
            return c;
        ++m_at;
    }
    return 0;
}

void JsonReader::expect(char c, const char* field) {
    if (peek() != c) fail(field, QStringLiteral("'%1' expected").arg(QLatin1Char(c)));
    ++m_at;
}

bool JsonReader::literal(const char* word) {
    const auto size = std::int64_t(std::strlen(word));
    if (m_size - m_at < size || std::memcmp(m_data + m_at, word, size_t(size)) != 0) return false;
    m_at += size;
    return true;
}

void JsonReader::beginObject(const char* field) {
    expect('{', field);
    m_first = true;
}

bool JsonReader::nextKey(std::string& key) {
    if (peek() == '}') {
        ++m_at;
        m_first = false;
        return false;
    }
    if (!m_first) expect(',', nullptr);
    m_first = false;
    key = string(nullptr);
    expect(':', key.c_str());
    return true;
}

void JsonReader::beginArray(const char* field) {
    expect('[', field);
    m_first = true;
}

bool JsonReader::nextElement() {
    if (peek() == ']') {
        ++m_at;
        m_first = false;
        return false;
    }
    if (!m_first) expect(',', nullptr);
    m_first = false;
    return true;
}

bool JsonReader::isNull() {
    return peek() == 'n' && literal("null");
}

const std::string& JsonReader::string(const char* field) {
    m_string.clear();
    if (isNull()) return m_string;
    expect('"', field);
    for (;;) {
        if (m_at >= m_size) fail(field, QStringLiteral("a string is not closed"));
        const char c = m_data[m_at++];
        if (c == '"') break;
        if (static_cast<unsigned char>(c) < 0x20)
            fail(field, QStringLiteral("a control character inside a string"));
        if (c != '\\') {
            m_string += c;
            continue;
        }
        if (m_at >= m_size) fail(field, QStringLiteral("a string is not closed"));
        const char e = m_data[m_at++];
        switch (e) {
        case '"':
        case '\\':
        case '/':
            m_string += e;
            break;
        case 'n':
            m_string += '\n';
            break;
        case 't':
            m_string += '\t';
            break;
        case 'r':
            m_string += '\r';
            break;
        case 'b':
            m_string += '\b';
            break;
        case 'f':
            m_string += '\f';
            break;
        case 'u': {
            auto hex4 = [&] {
                if (m_size - m_at < 4) fail(field, QStringLiteral("a bad \\u escape"));
                bool ok = false;
                const unsigned value = QByteArray(m_data + m_at, 4).toUInt(&ok, 16);
                if (!ok) fail(field, QStringLiteral("a bad \\u escape"));
                m_at += 4;
                return value;
            };
            char32_t code = hex4();
            if (code >= 0xD800 && code <= 0xDBFF && literal("\\u")) {
                const unsigned low = hex4();
                if (low < 0xDC00 || low > 0xDFFF) fail(field, QStringLiteral("a bad \\u escape"));
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else if (code >= 0xD800 && code <= 0xDFFF) {
                fail(field, QStringLiteral("a lone surrogate"));
            }
            m_string += QString::fromUcs4(&code, 1).toStdString();
            break;
        }
        default:
            fail(field, QStringLiteral("a bad escape"));
        }
    }
    return m_string;
}

std::int64_t JsonReader::integer(const char* field) {
    peek();
    const std::int64_t begin = m_at;
    if (m_at < m_size && m_data[m_at] == '-') ++m_at;
    while (m_at < m_size && m_data[m_at] >= '0' && m_data[m_at] <= '9')
        ++m_at;
    bool ok = false;
    const std::int64_t value = QByteArray(m_data + begin, m_at - begin).toLongLong(&ok);
    if (!ok) fail(field, QStringLiteral("not a whole number"));
    return value;
}

bool JsonReader::truth(const char* field) {
    peek();
    if (literal("true")) return true;
    if (literal("false")) return false;
    fail(field, QStringLiteral("neither true nor false"));
}

void JsonReader::skipValue() {
    const char c = peek();
    if (c == '{') {
        beginObject(nullptr);
        std::string key;
        while (nextKey(key))
            skipValue();
    } else if (c == '[') {
        beginArray(nullptr);
        while (nextElement())
            skipValue();
    } else if (c == '"') {
        string(nullptr);
    } else if (isNull() || literal("true") || literal("false")) {
    } else {
        const std::int64_t begin = m_at;
        while (m_at < m_size && std::strchr("+-.eE0123456789", m_data[m_at]) && m_data[m_at])
            ++m_at;
        if (m_at == begin) fail(nullptr, QStringLiteral("a value expected"));
    }
}

void JsonReader::end() {
    if (peek() != 0) fail(nullptr, QStringLiteral("text after the document"));
}

} // namespace orvik
