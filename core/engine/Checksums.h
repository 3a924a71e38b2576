// The checksums of files' contents, kept beside CDTable in a table of its own
// keyed by the record's rowid: XXH3's 128-bit hash, its 16 bytes in the order
// xxh128sum prints them. A record without a row has no checksum (its add did
// not compute them, or its file could not be read).
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace orvik::engine {

class Catalogue;
class Statement;

using Checksum = std::array<std::uint8_t, 16>;

// Lower-case hex, as xxh128sum prints it; a text of anything else is none.
QString checksumText(const Checksum& checksum);
std::optional<Checksum> parseChecksum(const QString& text);

// The table, its index by hash, the trigger that takes a row away with its
// record however the record is deleted, and the identity's column that says
// whether a volume's add computed checksums: a schema step of its own.
void addChecksumTable(Catalogue& db);
// For the deletion of the records `first` to `last` with the triggers off:
// their checksums go, as the trigger takes them.
void forgetDeletedChecksums(Catalogue& db, std::int64_t first, std::int64_t last);
// Whether the catalogue has the table (a reader never migrates an older one).
bool hasChecksumTable(Catalogue& db);

// Writes checksums inside the caller's transaction with one prepared statement.
class ChecksumWriter {
public:
    explicit ChecksumWriter(Catalogue& db);
    ~ChecksumWriter();
    ChecksumWriter(const ChecksumWriter&) = delete;
    ChecksumWriter& operator=(const ChecksumWriter&) = delete;
    void write(std::int64_t record, const Checksum& checksum);

private:
    Catalogue& m_db;
    std::unique_ptr<Statement> m_insert;
};

// None for a record without one, and in a catalogue without the table.
std::optional<Checksum> readChecksum(Catalogue& db, std::int64_t record);

} // namespace orvik::engine
