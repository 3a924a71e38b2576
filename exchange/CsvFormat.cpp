#include "exchange/CsvFormat.h"

#include "exchange/CsvText.h"
#include "exchange/ExportOutput.h"
#include "exchange/ExportScan.h"
#include "exchange/IdentityFields.h"
#include "exchange/ImportWriter.h"

namespace orvik {

namespace {

constexpr const char* Columns[] = {"catalogue", "volume",    "description", "keywords",
                                   "location",  "directory", "file",        "date",
                                   "length",    "checksum",  "bookmark",    "volume_bookmark"};
enum Column {
    Catalogue,
    Volume,
    Description,
    Keywords,
    Location,
    Directory,
    File,
    Date,
    Length,
    Checksum,
    Bookmark,
    VolumeBookmark
};
constexpr int OwnColumns = int(std::size(Columns));

class CsvExport : public ExportSink {
public:
    explicit CsvExport(ExportOutput& out) : m_out(out) {}

    void begin(const QByteArray& catalogue) override {
        m_catalogue = catalogue;
        for (int i = 0; i < OwnColumns; ++i) {
            if (i) m_out.append(',');
            m_out.append(Columns[i]);
        }
        for (const char* name : IdentityFieldNames) {
            m_out.append(',');
            m_out.append(name);
        }
        m_out.append("\r\n");
    }
    void volume(const ExportedVolume& volume) override {
        m_before.clear();
        appendCsvField(m_before, view(m_catalogue));
        m_before += ',';
        appendCsvField(m_before, view(volume.label));
        m_before += ',';
        appendCsvField(m_before, view(volume.description));
        m_before += ',';
        m_location.clear();
        m_location += ',';
        appendCsvField(m_location, view(volume.location));
        m_location += ',';
        m_after = ',' + QByteArray::number(qlonglong(volume.head));
        for (const QByteArray& text :
             identityTexts(volume.identity ? &*volume.identity : nullptr)) {
            m_after += ',';
            appendCsvField(m_after, view(text));
        }
        m_after += "\r\n";
    }
    void directory(const QByteArray& path) override {
        m_directory = m_location;
        appendCsvField(m_directory, view(path));
        m_directory += ',';
    }
    void file(const ExportedFile& file) override {
        m_out.append(m_before);
        appendCsvField(m_out, file.keywords);
        m_out.append(m_directory);
        appendCsvField(m_out, file.file);
        m_out.append(',');
        m_out.append(file.date);
        m_out.append(',');
        m_out.append(file.length);
        m_out.append(',');
        m_out.append(file.checksum);
        m_out.append(',');
        char number[24];
        const int size = std::snprintf(number, sizeof number, "%lld", (long long)file.bookmark);
        m_out.append(std::string_view(number, size_t(size)));
        m_out.append(m_after);
    }
    void end() override {}

private:
    ExportOutput& m_out;
    QByteArray m_catalogue;
    // The volume's fields before the keywords, from the location to the
    // file, and after the bookmark.
    QByteArray m_before, m_location, m_directory, m_after;
};

QString text(std::string_view field) {
    return QString::fromUtf8(field.data(), qsizetype(field.size()));
}

} // namespace

std::unique_ptr<ExportSink> csvExport(ExportOutput& out) {
    return std::make_unique<CsvExport>(out);
}

void csvImport(const QString& file, ImportWriter& writer) {
    CsvReader reader(file);
    std::vector<std::string_view> fields;
    if (!reader.next(fields)) malformed(file, 1, {}, QStringLiteral("no header line"));
    // Where each known column stands; -1 where the file has none.
    std::array<int, OwnColumns> at;
    std::array<int, IdentityFieldCount> identityAt;
    at.fill(-1);
    identityAt.fill(-1);
    for (int i = 0; i < int(fields.size()); ++i) {
        for (int c = 0; c < OwnColumns; ++c)
            if (fields[size_t(i)] == Columns[c]) at[size_t(c)] = i;
        for (int c = 0; c < IdentityFieldCount; ++c)
            if (fields[size_t(i)] == IdentityFieldNames[size_t(c)]) identityAt[size_t(c)] = i;
    }
    for (const Column needed : {Volume, Description, Directory, File})
        if (at[needed] < 0)
            malformed(file, 1, QLatin1String(Columns[needed]),
                      QStringLiteral("the header has no such column"));
    const size_t columns = fields.size();
    reader.nameColumns(fields);
    auto field = [&](Column column) {
        return at[column] < 0 ? std::string_view() : fields[size_t(at[column])];
    };

    QByteArray volumeKey;
    bool first = true;
    while (reader.next(fields)) {
        const std::int64_t line = reader.line();
        if (fields.size() != columns)
            malformed(file, line, {},
                      QStringLiteral("%1 fields where the header has %2")
                          .arg(fields.size())
                          .arg(columns));
        QByteArray key =
            QByteArray(field(VolumeBookmark).data(), qsizetype(field(VolumeBookmark).size()));
        if (at[VolumeBookmark] < 0 || key.isEmpty()) {
            key.clear();
            for (const std::string_view part :
                 {field(Volume), field(Description), field(Location),
                  identityAt[7] < 0 ? std::string_view() : fields[size_t(identityAt[7])]})
                key += QByteArray(part.data(), qsizetype(part.size())) + '\0';
        }
        if (first || key != volumeKey) {
            ImportedVolume volume;
            volume.label = QByteArray(field(Volume).data(), qsizetype(field(Volume).size()));
            volume.description =
                QByteArray(field(Description).data(), qsizetype(field(Description).size()));
            volume.keywords = QByteArray(field(Keywords).data(), qsizetype(field(Keywords).size()));
            volume.location = text(field(Location));
            std::array<QString, IdentityFieldCount> texts;
            for (size_t i = 0; i < texts.size(); ++i)
                if (identityAt[i] >= 0) texts[i] = text(fields[size_t(identityAt[i])]);
            volume.identity = identityFromTexts(texts, [&](int index, const QString& problem) {
                malformed(file, line, QLatin1String(IdentityFieldNames[size_t(index)]), problem);
            });
            writer.volume(volume, line);
            volumeKey = key;
            first = false;
        }
        writer.file({field(Directory), field(File), field(Date), field(Length), field(Keywords),
                     field(Checksum)},
                    line);
    }
}

} // namespace orvik
