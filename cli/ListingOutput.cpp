#include "cli/ListingOutput.h"

#include "cli/CliOutput.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace orvik::cli {

namespace {

const char* const EntryFields[6] = {"directory", "name", "type", "date", "length", "bookmark"};

// The path, then one entry a line, the files' dates and lengths lined up.
QString textBlock(const ListedDirectory& directory) {
    QString out = directory.path + QStringLiteral(":\n");
    for (const QString& name : directory.subdirectories)
        out += QStringLiteral("  ") + name + QStringLiteral("/\n");
    qsizetype nameWidth = 0, dateWidth = 0;
    for (const ListedFile& file : directory.files) {
        nameWidth = std::max(nameWidth, file.name.size());
        dateWidth = std::max(dateWidth, file.date.size());
    }
    for (const ListedFile& file : directory.files) {
        QString line = QStringLiteral("  ") + file.name.leftJustified(nameWidth);
        if (dateWidth > 0) line += QStringLiteral("  ") + file.date.leftJustified(dateWidth);
        line += QStringLiteral("  ") + file.length;
        while (line.endsWith(u' '))
            line.chop(1);
        out += line + u'\n';
    }
    return out;
}

QString entryLine(const QStringList& values, Format format) {
    if (format == Format::Tsv) return tsvLine(values) + u'\n';
    QJsonObject object;
    for (int i = 0; i < values.size(); ++i)
        object.insert(QString::fromLatin1(EntryFields[i]), values[i]);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
}

} // namespace

QString listingOutput(const std::vector<ListedDirectory>& listing, Format format) {
    QString out;
    if (format == Format::Text) {
        for (const ListedDirectory& directory : listing)
            out += (out.isEmpty() ? QString() : QStringLiteral("\n")) + textBlock(directory);
        return out;
    }
    if (format == Format::Tsv) {
        QStringList header;
        for (const char* field : EntryFields)
            header << QString::fromLatin1(field);
        out += header.join(u'\t') + u'\n';
    }
    for (const ListedDirectory& directory : listing) {
        for (const QString& name : directory.subdirectories)
            out +=
                entryLine({directory.path, name, QStringLiteral("directory"), {}, {}, {}}, format);
        for (const ListedFile& file : directory.files)
            out += entryLine({directory.path, file.name, QStringLiteral("file"), file.date,
                              file.length, file.bookmark},
                             format);
    }
    return out;
}

} // namespace orvik::cli
