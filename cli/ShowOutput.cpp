#include "cli/ShowOutput.h"

#include "cli/CliOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace orvik::cli {

namespace {

bool isCurrent(const DirectoryListing& listing, size_t row) {
    return listing.currentRow && size_t(*listing.currentRow) == row;
}

QString withoutTrailingBlanks(QString line) {
    while (line.endsWith(u' '))
        line.chop(1);
    return line;
}

// The labels of the details window, one line each.
QString recordBlock(const ResolvedRecord& r) {
    const std::pair<const char*, QString> lines[] = {
        {"Volume name", r.volume},  {"Description", r.description}, {"Keywords", r.keywords},
        {"Directory", r.directory}, {"File name", r.file},          {"File date", r.date},
        {"File length", r.length}};
    QString out;
    for (const auto& [label, value] : lines)
        out +=
            withoutTrailingBlanks((QString::fromLatin1(label) + u':').leftJustified(13) + value) +
            u'\n';
    return out;
}

// The details window's three lists side by side under their headings; a
// column empty in every file (dates or lengths not recorded) is left out.
QString fileTable(const DirectoryListing& listing) {
    std::vector<QStringList> rows{{"Files in current directory", "Date", "Length"}};
    for (const DirectoryFile& file : listing.files)
        rows.push_back({file.name, file.date, file.length});
    qsizetype widths[3] = {0, 0, 0};
    for (int column = 0; column < 3; ++column) {
        for (size_t row = 1; row < rows.size(); ++row)
            widths[column] = std::max(widths[column], rows[row][column].size());
        if (widths[column] > 0) widths[column] = std::max(widths[column], rows[0][column].size());
    }
    QString out;
    for (size_t row = 0; row < rows.size(); ++row) {
        QString line = row > 0 && isCurrent(listing, row - 1) ? "> " : "  ";
        for (int column = 0; column < 3; ++column) {
            if (widths[column] == 0) continue;
            if (column > 0) line += "  ";
            line += rows[row][column].leftJustified(widths[column]);
        }
        out += withoutTrailingBlanks(line) + u'\n';
    }
    return out;
}

QString tsv(const ResolvedRecord& record, const DirectoryListing& listing) {
    QString out = tsvRecordHeader() + u'\n' + tsvRecordLine(record) + u'\n';
    out += "\nfile\tdate\tlength\tcurrent\n";
    for (size_t row = 0; row < listing.files.size(); ++row) {
        const DirectoryFile& file = listing.files[row];
        out += tsvLine({file.name, file.date, file.length, isCurrent(listing, row) ? "1" : "0"}) +
               u'\n';
    }
    return out;
}

QString json(const ResolvedRecord& record, const DirectoryListing& listing) {
    QJsonArray directory;
    for (size_t row = 0; row < listing.files.size(); ++row) {
        const DirectoryFile& file = listing.files[row];
        directory.append(QJsonObject{{"file", file.name},
                                     {"date", file.date},
                                     {"length", file.length},
                                     {"current", isCurrent(listing, row)}});
    }
    const QJsonObject object{{"record", jsonRecord(record)}, {"directory", directory}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
}

} // namespace

QString showOutput(const ResolvedRecord& record, const DirectoryListing& listing, Format format) {
    switch (format) {
    case Format::Tsv:
        return tsv(record, listing);
    case Format::Json:
        return json(record, listing);
    case Format::Text:
        break;
    }
    return recordBlock(record) + u'\n' + fileTable(listing);
}

} // namespace orvik::cli
