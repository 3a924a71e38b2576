#include "cli/CliOutput.h"

#include <QJsonDocument>

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

QString tsvLine(const QStringList& fields) {
    QStringList escaped;
    for (const QString& field : fields)
        escaped << tsvField(field);
    return escaped.join('\t');
}

QString tsvRecordHeader() {
    QStringList header;
    for (const char* name : RecordFields)
        header << QString::fromLatin1(name);
    return header.join('\t');
}

QString tsvRecordLine(const ResolvedRecord& record) {
    return tsvLine(values(record));
}

QJsonObject jsonRecord(const ResolvedRecord& record) {
    const QStringList fields = values(record);
    QJsonObject object;
    for (int i = 0; i < fields.size(); ++i)
        object.insert(QString::fromLatin1(RecordFields[i]), fields[i]);
    return object;
}

void PrintingSink::print(const QString& text) {
    m_pending += text.toUtf8();
    m_pending += '\n';
}

void PrintingSink::flush() {
    std::fwrite(m_pending.constData(), 1, size_t(m_pending.size()), m_out);
    std::fflush(m_out);
    m_pending.clear();
}

PrintingSink::PrintingSink(Format format, std::FILE* out, bool everyCatalogue)
    : m_format(format), m_out(out), m_everyCatalogue(everyCatalogue) {
    if (m_format == Format::Tsv)
        print(tsvRecordHeader() + (everyCatalogue ? QStringLiteral("\tcatalogue") : QString()));
}

void PrintingSink::append(const QString& line, const ResolvedRecord& record) {
    ++m_count;
    switch (m_format) {
    case Format::Text:
        if (m_headingDue) print(catalogueHeading(m_catalogue));
        print(line);
        break;
    case Format::Tsv:
        print(m_everyCatalogue ? tsvLine(values(record) << m_catalogue) : tsvRecordLine(record));
        break;
    case Format::Json: {
        QJsonObject object = jsonRecord(record);
        if (m_everyCatalogue) object.insert(QStringLiteral("catalogue"), m_catalogue);
        print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        break;
    }
    }
    m_headingDue = false;
}

QString catalogueHeading(const QString& name) {
    return QStringLiteral("Catalogue ") + name + QLatin1Char(':');
}

} // namespace orvik::cli
