// Writes what an import reads as the add writes volumes: each volume a run of
// sparse records (its head carries the label, description and keywords, each
// directory's first record its path), all of them in one transaction with
// their identities, locations and checksums. Every field is checked first, as
// the engine would check it, so a bad one is named with its file and line.
#pragma once

#include "core/engine/Checksums.h"
#include "core/engine/RecordAppender.h"
#include "core/engine/VolumeIdentity.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace orvik {

class Progress;

// Throws the one-line error of a malformed input: "FILE, line N, field F: problem".
[[noreturn]] void malformed(const QString& file, std::int64_t line, const QString& field,
                            const QString& problem);
bool isUtf8(std::string_view text);

// Thrown out of an import when its Cancel is seen; nothing is written.
struct ImportCancelled {};

struct ImportedVolume {
    QByteArray label, description, keywords; // UTF-8
    QString location;
    std::optional<engine::VolumeIdentity> identity;
};

// UTF-8; "" is none.
struct ImportedFile {
    std::string_view directory, file, date, length, keywords;
    std::string_view checksum; // 32 hex digits or ""
};

// The names the input gives the fields, for its errors.
struct ImportedFieldNames {
    const char *directory = "directory", *file = "file", *date = "date", *length = "length",
               *keywords = "keywords", *checksum = "checksum";
};

class ImportWriter {
public:
    // Begins the one transaction (waiting as the add does while another
    // program writes); began() is false when waiting() gave up.
    ImportWriter(engine::Catalogue& db, QString sourceName, Progress& progress,
                 const bool& cancelFlag, const std::function<bool()>& waiting);
    ~ImportWriter();
    bool began() const { return bool(m_appender); }

    // The volume the files after it belong to; `line` names where it was read.
    void volume(const ImportedVolume& volume, std::int64_t line);
    void file(const ImportedFile& file, std::int64_t line, const ImportedFieldNames& names = {});
    // Writes it all; a volume without a file leaves nothing behind.
    void commit();

    std::int64_t volumes() const { return m_volumesWritten; }
    std::int64_t records() const { return m_records; }

private:
    QByteArray stored(std::string_view text, std::int64_t line, const char* field,
                      engine::Field column, bool upper) const;

    engine::Catalogue& m_db;
    QString m_source;
    Progress& m_progress;
    const bool& m_cancelFlag;
    std::unique_ptr<engine::RecordAppender> m_appender;
    ImportedVolume m_volume;
    bool m_volumeOpen = false, m_headWritten = false;
    QByteArray m_lastDirectory;
    std::int64_t m_records = 0, m_volumesWritten = 0;
    // By the record's place in the import (0 for the first).
    std::vector<std::pair<std::int64_t, engine::VolumeIdentity>> m_identities;
    std::vector<std::pair<std::int64_t, QString>> m_locations;
    std::vector<std::pair<std::int64_t, engine::Checksum>> m_checksums;
};

} // namespace orvik
