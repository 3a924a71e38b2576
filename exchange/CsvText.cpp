#include "exchange/CsvText.h"

#include "core/Error.h"
#include "exchange/ExportOutput.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportWriter.h"

#include <cstring>

namespace orvik {

namespace {

bool needsQuotes(std::string_view text) {
    for (const char c : text)
        if (c == ',' || c == '"' || c == '\n' || c == '\r') return true;
    return false;
}

template <typename Out> void appendField(Out& out, std::string_view text) {
    if (!needsQuotes(text)) {
        out.append(text);
        return;
    }
    out.append('"');
    for (size_t start = 0;;) {
        const size_t quote = text.find('"', start);
        out.append(text.substr(start, quote == std::string_view::npos ? quote : quote + 1 - start));
        if (quote == std::string_view::npos) break;
        out.append('"');
        start = quote + 1;
    }
    out.append('"');
}

} // namespace

void appendCsvField(QByteArray& out, std::string_view text) {
    struct Bytes {
        QByteArray& out;
        void append(std::string_view t) { out.append(t.data(), qsizetype(t.size())); }
        void append(char c) { out.append(c); }
    } bytes{out};
    appendField(bytes, text);
}

void appendCsvField(ExportOutput& out, std::string_view text) {
    appendField(out, text);
}

CsvReader::CsvReader(const QString& file) : m_name(file), m_file(file) {
    const MappedImport mapped = mapImportFile(m_file, file);
    m_data = mapped.data;
    m_size = mapped.size;
    m_at = mapped.start;
}

void CsvReader::nameColumns(const std::vector<std::string_view>& header) {
    m_columns.clear();
    for (const std::string_view name : header)
        m_columns << QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// A field beyond the header's is named by its place, counted from 1.
QString CsvReader::columnName(size_t index) const {
    return index < size_t(m_columns.size()) ? m_columns[qsizetype(index)]
                                            : QString::number(index + 1);
}

bool CsvReader::next(std::vector<std::string_view>& fields) {
    fields.clear();
    if (m_at >= m_size) return false;
    m_recordLine = m_line;
    const char* const data = m_data;
    size_t unquoted = 0;
    for (;;) {
        // A comma that ends the file leaves an empty field, and no byte to look at.
        if (m_at < m_size && data[m_at] == '"') {
            const std::int64_t begin = ++m_at;
            bool doubled = false;
            for (;;) {
                if (m_at >= m_size)
                    malformed(m_name, m_recordLine, columnName(fields.size()),
                              QStringLiteral("a quote is not closed"));
                const char c = data[m_at];
                if (c == '"') {
                    if (m_at + 1 < m_size && data[m_at + 1] == '"') {
                        doubled = true;
                        m_at += 2;
                        continue;
                    }
                    break;
                }
                if (c == '\n') ++m_line;
                ++m_at;
            }
            std::string_view field(data + begin, size_t(m_at - begin));
            ++m_at; // the closing quote
            if (doubled) {
                if (m_unquoted.size() <= unquoted) m_unquoted.resize(unquoted + 1);
                std::string& text = m_unquoted[unquoted++];
                text.clear();
                for (size_t i = 0; i < field.size(); ++i) {
                    text += field[i];
                    if (field[i] == '"') ++i;
                }
                field = text;
            }
            fields.push_back(field);
            if (m_at < m_size && data[m_at] != ',' && data[m_at] != '\r' && data[m_at] != '\n')
                malformed(m_name, m_recordLine, columnName(fields.size() - 1),
                          QStringLiteral("text after the closing quote"));
        } else {
            const std::int64_t begin = m_at;
            while (m_at < m_size && data[m_at] != ',' && data[m_at] != '\n' && data[m_at] != '\r') {
                if (data[m_at] == '"')
                    malformed(m_name, m_recordLine, columnName(fields.size()),
                              QStringLiteral("a quote inside a field that is not quoted"));
                ++m_at;
            }
            fields.emplace_back(data + begin, size_t(m_at - begin));
        }
        if (m_at >= m_size) return true;
        if (data[m_at] == ',') {
            ++m_at;
            continue;
        }
        if (data[m_at] == '\r') ++m_at;
        if (m_at < m_size && data[m_at] == '\n') ++m_at;
        ++m_line;
        return true;
    }
}

} // namespace orvik
