// JSON strings written as UTF-8, and a small reader of a JSON document that
// knows the line of every value, so an error names it.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvik {

// `text` as a JSON string with its quotes; with `forHtml` also "<", ">" and
// "&" escaped, so it may stand inside a page's script.
void appendJsonString(QByteArray& out, std::string_view text, bool forHtml = false);

class JsonReader {
public:
    // Throws Error when the file cannot be read.
    explicit JsonReader(const QString& file);

    // Each throws the malformed-input error, naming `field`, when the next
    // value is not what it expects.
    void beginObject(const char* field);
    // The next key of the object, or false at its end.
    bool nextKey(std::string& key);
    void beginArray(const char* field);
    // Whether another element follows, or false at the array's end.
    bool nextElement();
    // A string, or "" for null.
    const std::string& string(const char* field);
    // A whole number (a JSON number) or a null (none).
    bool isNull();
    std::int64_t integer(const char* field);
    bool truth(const char* field);
    void skipValue();
    // Nothing but white space may follow the document.
    void end();

    std::int64_t line() const { return m_line; }
    // Where the reader stands, to read a value again later: an object's keys
    // come in any order, yet some must be known before others are read.
    struct Place {
        std::int64_t at, line;
    };
    Place place() const { return {m_at, m_line}; }
    void seek(const Place& place) { m_at = place.at, m_line = place.line; }
    const QString& name() const { return m_name; }
    [[noreturn]] void fail(const char* field, const QString& problem) const;

private:
    char peek();
    void expect(char c, const char* field);
    bool literal(const char* word);

    QString m_name;
    QFile m_file;
    const char* m_data = nullptr;
    std::int64_t m_size = 0, m_at = 0, m_line = 1;
    // Whether the object or array just begun has had an element yet.
    bool m_first = false;
    std::string m_string;
};

} // namespace orvik
