#include "cli/VolumeOutput.h"

#include "cli/CliOutput.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace orvik::cli {

namespace {

struct Item {
    const char* key;   // tsv column and json key
    const char* label; // the text form's
    QJsonValue value;  // null where a volume without identity has none
};

QString textOf(const QJsonValue& value) {
    if (value.isBool()) return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    if (value.isDouble()) return QString::number(qint64(value.toDouble()));
    return value.toString();
}

QString jsonLine(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
}

QString formatted(const std::vector<std::vector<Item>>& rows, Format format) {
    QString out;
    if (format == Format::Tsv && !rows.empty()) {
        QStringList header;
        for (const Item& item : rows.front())
            header << QString::fromLatin1(item.key);
        out += header.join(u'\t') + u'\n';
    }
    for (const std::vector<Item>& row : rows) {
        QStringList values;
        QJsonObject object;
        for (const Item& item : row) {
            values << textOf(item.value);
            object.insert(QString::fromLatin1(item.key), item.value);
        }
        out += format == Format::Json ? jsonLine(object) : tsvLine(values) + u'\n';
    }
    return out;
}

} // namespace

QString identifyOutput(const std::vector<CataloguedVolume>& volumes, const QString& catalogue,
                       Format format) {
    if (format == Format::Text) {
        QString out;
        for (const CataloguedVolume& volume : volumes)
            out += cataloguedText(volume) +
                   QStringLiteral(" (catalogue %1, bookmark %2)\n").arg(catalogue).arg(volume.head);
        return out;
    }
    std::vector<std::vector<Item>> rows;
    for (const CataloguedVolume& volume : volumes)
        rows.push_back({{"bookmark", nullptr, QString::number(volume.head)},
                        {"label", nullptr, volume.label},
                        {"description", nullptr, volume.description},
                        {"scanned", nullptr, volume.scanned},
                        {"catalogue", nullptr, catalogue}});
    return formatted(rows, format);
}

QString volumeOutput(const VolumeSummary& volume, Format format) {
    const std::optional<engine::VolumeIdentity>& id = volume.identity;
    auto known = [&](auto value) { return id ? QJsonValue(value) : QJsonValue(); };
    const std::vector<Item> items = {
        {"bookmark", "Bookmark", QString::number(volume.head)},
        {"label", "Volume name", volume.label},
        {"description", "Description", volume.description},
        {"keywords", "Keywords", volume.keywords},
        {"identity", nullptr, bool(id)},
        {"location", "Location",
         id || !volume.location.isEmpty() ? QJsonValue(volume.location) : QJsonValue()},
        {"uuid", "UUID", known(id ? id->uuid : QString())},
        {"type", "File system", known(id ? id->fsType : QString())},
        {"label_read", "Label read", known(id ? id->label : QString())},
        {"top", "Directory", known(id ? id->topDirectory : QString())},
        {"place", "Place", known(id ? id->place : QString())},
        {"total_bytes", "Total bytes", known(id ? qint64(id->totalBytes) : 0)},
        {"free_bytes", "Free bytes", known(id ? qint64(id->freeBytes) : 0)},
        {"scanned", "Scanned", known(id ? id->scanned : QString())},
        {"filter", "Filter", known(id && id->useFilter)},
        {"extensions", "Extensions", known(id ? id->extensions : QString())},
        {"dates", "Dates", known(id && id->saveDates)},
        {"lengths", "Lengths", known(id && id->saveLengths)},
        {"archives", "Archives", known(id && id->lookInArchives)},
        {"checksums", "Checksums", known(id && id->saveChecksums)},
        {"directories", "Directories", qint64(volume.directories)},
        {"files", "Files", qint64(volume.files)},
        {"bytes", "Bytes", qint64(volume.bytes)}};
    if (format != Format::Text) return formatted({items}, format);
    QString out;
    for (const Item& item : items)
        if (item.label && !item.value.isNull())
            out += ((QString::fromLatin1(item.label) + u':').leftJustified(13) + textOf(item.value))
                       .trimmed() +
                   u'\n';
    if (!id)
        out += QStringLiteral("Added without identity: the counts are those of its records.\n");
    return out;
}

} // namespace orvik::cli
