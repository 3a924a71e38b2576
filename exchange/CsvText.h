// RFC 4180 text: fields quoted where they must be, and a reader of records
// that may span lines, over the file mapped into memory.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace orvik {

class ExportOutput;

// Appends `text` as one field: quoted when it holds a comma, a quote or a
// line break (its quotes doubled), else as it is.
void appendCsvField(QByteArray& out, std::string_view text);
void appendCsvField(ExportOutput& out, std::string_view text);

class CsvReader {
public:
    // Throws Error when the file cannot be read. `name` is how errors call it.
    explicit CsvReader(const QString& file);
    // The next record's fields (valid until the next call); false at the end.
    // A quote left open throws the malformed-input error.
    bool next(std::vector<std::string_view>& fields);
    // The line the record last read begins on, counted from 1.
    std::int64_t line() const { return m_recordLine; }
    // The header's names, so an error names a field by its column.
    void nameColumns(const std::vector<std::string_view>& header);
    const QString& name() const { return m_name; }

private:
    QString columnName(size_t index) const;

    QString m_name;
    QStringList m_columns;
    QFile m_file;
    const char* m_data = nullptr;
    std::int64_t m_size = 0, m_at = 0, m_line = 1, m_recordLine = 0;
    // Fields whose doubled quotes were undone; a deque keeps them in place.
    std::deque<std::string> m_unquoted;
};

} // namespace orvik
