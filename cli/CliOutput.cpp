#include "CliOutput.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace orvik::cli {

const char* const RecordFields[8] = {"volume", "description", "keywords", "directory",
                                     "file",   "date",        "length",   "bookmark"};

namespace {

QString tsvField(QString text) {
    return text.replace('\\', "\\\\")
        .replace('\t', "\\t")
        .replace('\n', "\\n")
        .replace('\r', "\\r");
}

QStringList values(const ResolvedRecord& r) {
    return {r.volume, r.description, r.keywords, r.directory, r.file, r.date, r.length, r.bookmark};
}

} // namespace

void PrintingSink::print(const QString& text) {
    m_pending += text.toUtf8();
    m_pending += '\n';
}

void PrintingSink::flush() {
    std::fwrite(m_pending.constData(), 1, size_t(m_pending.size()), m_out);
    std::fflush(m_out);
    m_pending.clear();
}

PrintingSink::PrintingSink(Format format, std::FILE* out) : m_format(format), m_out(out) {
    if (m_format == Format::Tsv) {
        QStringList header;
        for (const char* name : RecordFields)
            header << QString::fromLatin1(name);
        print(header.join('\t'));
    }
}

void PrintingSink::append(const QString& line, const ResolvedRecord& record) {
    ++m_count;
    const QStringList fields = values(record);
    switch (m_format) {
    case Format::Text:
        print(line);
        break;
    case Format::Tsv: {
        QStringList escaped;
        for (const QString& field : fields)
            escaped << tsvField(field);
        print(escaped.join('\t'));
        break;
    }
    case Format::Json: {
        QJsonObject object;
        for (int i = 0; i < fields.size(); ++i)
            object.insert(QString::fromLatin1(RecordFields[i]), fields[i]);
        print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        break;
    }
    }
}

} // namespace orvik::cli
