#include "exchange/ImportWriter.h"

#include "core/Error.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/platform/Drives.h"

#include <QDate>
#include <cerrno>

namespace orvik {

using engine::Field;

namespace {

constexpr std::int64_t RecordsBetweenReports = 1 << 16;

QByteArray toBytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

// Stored text is upper case; most text arrives so already.
QByteArray upperCase(std::string_view text) {
    bool plain = true;
    for (const char c : text)
        if ((c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80) {
            plain = false;
            break;
        }
    if (plain) return toBytes(text);
    const QString upper = QString::fromUtf8(text.data(), qsizetype(text.size())).toUpper();
    return upper.toUtf8();
}

bool isStoredDate(std::string_view date) {
    if (date.size() != 19) return false;
    for (size_t i = 0; i < date.size(); ++i) {
        const bool separator = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
        const char expected = i == 10 ? ' ' : (i == 13 || i == 16) ? ':' : '-';
        if (separator ? date[i] != expected : (date[i] < '0' || date[i] > '9')) return false;
    }
    auto number = [&](size_t at, size_t digits) {
        int value = 0;
        for (size_t i = at; i < at + digits; ++i)
            value = value * 10 + (date[i] - '0');
        return value;
    };
    // QDateTime's parsing of a format costs more than the rest of the import's work on a record.
    return QDate::isValid(number(0, 4), number(5, 2), number(8, 2)) && number(11, 2) < 24 &&
           number(14, 2) < 60 && number(17, 2) < 60;
}

bool isLength(std::string_view length) {
    if (length.empty()) return false;
    for (const char c : length)
        if (c < '0' || c > '9') return false;
    return true;
}

} // namespace

void malformed(const QString& file, std::int64_t line, const QString& field,
               const QString& problem) {
    QString text = file + QStringLiteral(", line ") + QString::number(line);
    if (!field.isEmpty()) text += QStringLiteral(", field ") + field;
    throw Error(EINVAL, text + QStringLiteral(": ") + problem);
}

bool isUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more;
        std::uint32_t code;
        if ((c & 0xE0) == 0xC0)
            more = 1, code = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            more = 2, code = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            more = 3, code = c & 0x07;
        else
            return false;
        for (int k = 1; k <= more; ++k) {
            if (i + size_t(k) >= n || (s[i + size_t(k)] & 0xC0) != 0x80) return false;
            code = (code << 6) | (s[i + size_t(k)] & 0x3F);
        }
        static constexpr std::uint32_t Least[] = {0, 0x80, 0x800, 0x10000};
        if (code < Least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += size_t(more) + 1;
    }
    return true;
}

ImportWriter::ImportWriter(engine::Catalogue& db, QString sourceName, Progress& progress,
                           const bool& cancelFlag, const std::function<bool()>& waiting)
    : m_db(db), m_source(std::move(sourceName)), m_progress(progress), m_cancelFlag(cancelFlag) {
    auto appender = std::make_unique<engine::RecordAppender>(db, waiting);
    if (*appender) m_appender = std::move(appender);
}

ImportWriter::~ImportWriter() = default;

QByteArray ImportWriter::stored(std::string_view text, std::int64_t line, const char* field,
                                Field column, bool upper) const {
    if (!isUtf8(text)) malformed(m_source, line, QLatin1String(field), QStringLiteral("not UTF-8"));
    QByteArray value = upper ? upperCase(text) : toBytes(text);
    if (!engine::fitsField(column, value))
        malformed(m_source, line, QLatin1String(field),
                  QStringLiteral("longer than the %1 characters the catalogue takes")
                      .arg(engine::fieldMaxChars(column)));
    return value;
}

void ImportWriter::volume(const ImportedVolume& volume, std::int64_t line) {
    // As the add labels a volume without a label.
    const QByteArray label = volume.label.isEmpty() ? NoVolumeLabel.toUtf8() : volume.label;
    m_volume.label = stored(label.toStdString(), line, "volume", Field::CDVolume, true);
    m_volume.description =
        stored(volume.description.toStdString(), line, "description", Field::CDDescription, true);
    m_volume.keywords =
        stored(volume.keywords.toStdString(), line, "keywords", Field::CDKeywords, true);
    m_volume.location = volume.location;
    m_volume.identity = volume.identity;
    if (m_volume.identity) m_volume.identity->location = volume.location;
    m_volumeOpen = true;
    m_headWritten = false;
    m_lastDirectory.clear();
}

void ImportWriter::file(const ImportedFile& file, std::int64_t line,
                        const ImportedFieldNames& names) {
    if (!m_volumeOpen) malformed(m_source, line, {}, QStringLiteral("a file outside any volume"));
    engine::StoredRecord record;
    record[size_t(Field::CDFile)] = stored(file.file, line, names.file, Field::CDFile, true);
    if (!file.date.empty()) {
        if (!isStoredDate(file.date))
            malformed(m_source, line, QLatin1String(names.date),
                      QStringLiteral("\"%1\" is no date YYYY-MM-DD HH:MM:SS")
                          .arg(QString::fromUtf8(file.date.data(), qsizetype(file.date.size()))));
        record[size_t(Field::CDFileDate)] = toBytes(file.date);
    }
    if (!file.length.empty()) {
        if (!isLength(file.length))
            malformed(
                m_source, line, QLatin1String(names.length),
                QStringLiteral("\"%1\" is no length in bytes")
                    .arg(QString::fromUtf8(file.length.data(), qsizetype(file.length.size()))));
        record[size_t(Field::CDFileLen)] =
            stored(file.length, line, names.length, Field::CDFileLen, false);
    }
    std::optional<engine::Checksum> checksum;
    if (!file.checksum.empty()) {
        checksum = engine::parseChecksum(
            QString::fromUtf8(file.checksum.data(), qsizetype(file.checksum.size())));
        if (!checksum)
            malformed(m_source, line, QLatin1String(names.checksum),
                      QStringLiteral("not 32 hexadecimal digits"));
    }
    const QByteArray keywords =
        stored(file.keywords, line, names.keywords, Field::CDKeywords, true);
    const QByteArray directory = stored(file.directory, line, names.directory, Field::CDPath, true);

    if (!m_headWritten) {
        record[size_t(Field::CDVolume)] = m_volume.label;
        record[size_t(Field::CDDescription)] = m_volume.description;
        record[size_t(Field::CDKeywords)] = m_volume.keywords;
        if (m_volume.identity)
            m_identities.emplace_back(m_records, *m_volume.identity);
        else if (!m_volume.location.isEmpty())
            m_locations.emplace_back(m_records, m_volume.location);
        m_headWritten = true;
        ++m_volumesWritten;
        m_lastDirectory = directory;
        record[size_t(Field::CDPath)] = directory;
    } else {
        // Keywords of its own, where they are not its volume's.
        if (!keywords.isEmpty() && keywords != m_volume.keywords)
            record[size_t(Field::CDKeywords)] = keywords;
        if (directory != m_lastDirectory) {
            record[size_t(Field::CDPath)] = directory;
            m_lastDirectory = directory;
        }
    }
    if (checksum) m_checksums.emplace_back(m_records, *checksum);
    m_appender->append(record);
    if (++m_records % RecordsBetweenReports == 0) {
        m_progress.status(QStringLiteral("%1 records imported").arg(m_records));
        m_progress.letEventsRun();
        if (m_cancelFlag) throw ImportCancelled{};
    }
}

void ImportWriter::commit() {
    m_appender->commit(nullptr, [&](std::int64_t head) {
        for (const auto& [place, identity] : m_identities)
            engine::writeVolumeIdentity(m_db, head + place, identity);
        for (const auto& [place, location] : m_locations)
            engine::writeVolumeLocation(m_db, head + place, location);
        if (m_checksums.empty()) return;
        engine::ChecksumWriter checksums(m_db);
        for (const auto& [place, checksum] : m_checksums)
            checksums.write(head + place, checksum);
    });
    m_progress.status(QStringLiteral("%1 records imported").arg(m_records));
}

} // namespace orvik
