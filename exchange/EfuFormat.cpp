#include "exchange/EfuFormat.h"

#include "exchange/CsvText.h"
#include "exchange/ExportOutput.h"
#include "exchange/ExportScan.h"
#include "exchange/ImportWriter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <cstdio>
#include <vector>

namespace orvik {

namespace {

// Seconds from 1601-01-01 to 1970-01-01, and FILETIME's ticks a second.
constexpr std::int64_t EpochDifference = 11644473600;
constexpr std::int64_t TicksPerSecond = 10000000;
constexpr std::uint64_t Directory = 0x10;
constexpr std::int64_t SecondsPerDay = 86400, UnixJulianDay = 2440588;

// The local time zone's offset from UTC, asked of the system once a quarter
// hour of dates: asking it for each of a million dates costs ten times the
// rest of the export. Zones change their offsets at whole local hours, which
// in a zone half or three quarters of an hour off UTC (Adelaide, St. John's)
// fall on the half or quarter of a UTC hour.
int offsetAt(std::int64_t utc) {
    constexpr std::int64_t Quarter = 900;
    static QHash<std::int64_t, int> byQuarter;
    const std::int64_t quarter = utc - ((utc % Quarter) + Quarter) % Quarter;
    const auto found = byQuarter.constFind(quarter);
    if (found != byQuarter.constEnd()) return *found;
    const int offset = QDateTime::fromSecsSinceEpoch(quarter).offsetFromUtc();
    byQuarter.insert(quarter, offset);
    return offset;
}

// The offset of the local hour `hour` of `date`.
int localOffset(const QDate& date, int hour) {
    static QHash<std::int64_t, int> byHour;
    const std::int64_t key = date.toJulianDay() * 24 + hour;
    const auto found = byHour.constFind(key);
    if (found != byHour.constEnd()) return *found;
    const int offset = QDateTime(date, QTime(hour, 0)).offsetFromUtc();
    byHour.insert(key, offset);
    return offset;
}

class EfuExport : public ExportSink {
public:
    explicit EfuExport(ExportOutput& out) : m_out(out) {}

    void begin(const QByteArray&) override {
        m_out.append("Filename,Size,Date Modified,Date Created,Attributes\r\n");
    }
    void volume(const ExportedVolume&) override {}
    void directory(const QByteArray& path) override {
        m_directory = path;
        if (path.isEmpty()) return;
        // A directory's line names it without its final separator, but the root.
        const QByteArray name = path.size() > 1 && path.endsWith('/') ? path.chopped(1) : path;
        m_line = "\"" + QByteArray(name).replace("\"", "\"\"") + "\",,,,16\r\n";
        m_out.append(m_line);
    }
    void file(const ExportedFile& file) override {
        m_line = m_directory;
        m_line.append(file.file.data(), qsizetype(file.file.size()));
        m_line.replace("\"", "\"\"");
        m_line.prepend('"');
        m_line += "\",";
        m_line.append(file.length.data(), qsizetype(file.length.size()));
        m_line += ',';
        if (const auto time = fileTimeOf(QByteArray(file.date.data(), qsizetype(file.date.size()))))
            m_line += QByteArray::number(qulonglong(*time));
        // The catalogue keeps no creation date: left empty, which is unknown.
        m_line += ",,0\r\n";
        m_out.append(m_line);
    }
    void end() override {}

private:
    ExportOutput& m_out;
    QByteArray m_directory, m_line;
};

struct ListedFile {
    QByteArray name, length, date;
    std::int64_t line;
};

} // namespace

std::optional<std::uint64_t> fileTimeOf(const QByteArray& storedDate) {
    if (storedDate.size() != 19) return std::nullopt;
    auto number = [&](int at, int digits) {
        int value = 0;
        for (int i = at; i < at + digits; ++i) {
            const char c = storedDate[i];
            if (c < '0' || c > '9') return -1;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59)
        return std::nullopt;
    const std::int64_t asIfUtc =
        (date.toJulianDay() - UnixJulianDay) * SecondsPerDay + hour * 3600 + minute * 60 + second;
    const std::int64_t seconds = asIfUtc - localOffset(date, hour) + EpochDifference;
    if (seconds < 0) return std::nullopt;
    return std::uint64_t(seconds) * TicksPerSecond;
}

QByteArray storedDateOf(std::uint64_t fileTime) {
    const auto utc = std::int64_t(fileTime / TicksPerSecond) - EpochDifference;
    const std::int64_t local = utc + offsetAt(utc);
    std::int64_t days = local / SecondsPerDay, rest = local % SecondsPerDay;
    if (rest < 0) rest += SecondsPerDay, --days;
    const QDate date = QDate::fromJulianDay(days + UnixJulianDay);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(),
                  date.day(), int(rest / 3600), int(rest / 60 % 60), int(rest % 60));
    return QByteArray(text, 19);
}

std::unique_ptr<ExportSink> efuExport(ExportOutput& out) {
    return std::make_unique<EfuExport>(out);
}

void efuImport(const QString& file, const QString& description, const QString& keywords,
               ImportWriter& writer) {
    CsvReader reader(file);
    std::vector<std::string_view> fields;
    if (!reader.next(fields)) malformed(file, 1, {}, QStringLiteral("no header line"));
    // Columns by their names, in whatever order the list has them.
    int filename = -1, size = -1, modified = -1, attributes = -1;
    for (int i = 0; i < int(fields.size()); ++i) {
        const std::string_view name = fields[size_t(i)];
        if (name == "Filename") filename = i;
        if (name == "Size") size = i;
        if (name == "Date Modified") modified = i;
        if (name == "Attributes") attributes = i;
    }
    if (filename < 0)
        malformed(file, 1, QStringLiteral("Filename"),
                  QStringLiteral("the header has no such column"));
    const size_t columns = fields.size();
    reader.nameColumns(fields);

    // The files by directory, the directories in the order the list first names them.
    QList<QByteArray> directories;
    QHash<QByteArray, std::vector<ListedFile>> files;
    while (reader.next(fields)) {
        const std::int64_t line = reader.line();
        if (fields.size() != columns)
            malformed(file, line, {},
                      QStringLiteral("%1 fields where the header has %2")
                          .arg(fields.size())
                          .arg(columns));
        auto number = [&](int column, const char* name) -> std::optional<std::uint64_t> {
            if (column < 0 || fields[size_t(column)].empty()) return std::nullopt;
            bool ok = false;
            const std::uint64_t value =
                QByteArray(fields[size_t(column)].data(), qsizetype(fields[size_t(column)].size()))
                    .toULongLong(&ok);
            if (!ok)
                malformed(file, line, QLatin1String(name), QStringLiteral("not a whole number"));
            return value;
        };
        QByteArray path(fields[size_t(filename)].data(),
                        qsizetype(fields[size_t(filename)].size()));
        path.replace('\\', '/');
        const auto attribute = number(attributes, "Attributes");
        const bool isDirectory = attribute ? (*attribute & Directory) != 0 : path.endsWith('/');
        const auto length = number(size, "Size");
        const auto time = number(modified, "Date Modified");
        // Directories hold no record of their own: only their files are kept.
        if (isDirectory) continue;
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray directory = path.left(slash + 1);
        ListedFile listed{
            path.mid(slash + 1), length ? QByteArray::number(qulonglong(*length)) : "", {}, line};
        // All bits set is an unknown date, as some writers put it.
        if (time && *time != UINT64_MAX) listed.date = storedDateOf(*time);
        auto found = files.find(directory);
        if (found == files.end()) {
            directories.append(directory);
            found = files.insert(directory, {});
        }
        found->push_back(std::move(listed));
    }

    ImportedVolume volume;
    volume.label = QFileInfo(file).completeBaseName().toUtf8();
    volume.description =
        (description.isEmpty() ? QFileInfo(file).completeBaseName() : description).toUtf8();
    volume.keywords = keywords.toUtf8();
    writer.volume(volume, 1);
    const ImportedFieldNames names{"Filename", "Filename", "Date Modified",
                                   "Size",     "keywords", "checksum"};
    for (const QByteArray& directory : directories)
        for (const ListedFile& listed : files[directory])
            writer.file({view(directory),
                         view(listed.name),
                         view(listed.date),
                         view(listed.length),
                         {},
                         {}},
                        listed.line, names);
}

} // namespace orvik
