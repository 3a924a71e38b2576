// The one table of a catalogue, CDTable: seven fields in a fixed order, each
// of them nullable text (the date as local "YYYY-MM-DD HH:MM:SS").
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace orvik::engine {

class Catalogue;

enum class Field { CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, CDKeywords };
constexpr int FieldCount = 7;
constexpr std::array<Field, FieldCount> AllFields = {
    Field::CDVolume, Field::CDDescription, Field::CDFile,    Field::CDFileDate,
    Field::CDPath,   Field::CDFileLen,     Field::CDKeywords};

// Longest text a field takes; a longer value makes the engine refuse the record.
constexpr int FileLenMaxChars = 20;
constexpr int TextMaxChars = 4096;
constexpr int fieldMaxChars(Field field) {
    return field == Field::CDFileLen ? FileLenMaxChars : TextMaxChars;
}

// Whether the UTF-8 `text` fits `field`, its characters counted as SQLite
// counts them. Inline: the add asks it of every field it writes.
inline bool fitsField(Field field, const QByteArray& text) {
    const int most = fieldMaxChars(field);
    if (text.size() <= most) return true;
    qsizetype characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80; // not a continuation byte
    return characters <= most;
}

// A field's value: empty optional is Null, which is never the same as "".
using Value = std::optional<QString>;
using Row = std::array<Value, FieldCount>;

const char* fieldName(Field field);

// Defines CDTable, the partial indexes that let a reader jump to the previous
// directory or volume head without scanning, the bookkeeping that keeps
// rowids (bookmarks) from being used twice, the file index (FileIndex.h) and
// the volumes' identities (VolumeIdentity.h).
void createCatalogueTable(Catalogue& db);
// The schema version this program writes, kept in the catalogue's header
// (PRAGMA user_version). 0 is a catalogue from before versions: one of an
// earlier release, which may lack the indexes, or of another make.
// Version 2 adds each volume's identity (VolumeIdentity.h), version 3 whether
// its add looked inside archives, version 4 the files' checksums (Checksums.h).
constexpr int SchemaVersion = 4;
int schemaVersion(Catalogue& db);
// Why a catalogue cannot be written by this program, or empty when it can:
// a newer version than it knows is opened read-only.
QString readOnlyReason(int version);
// Brings a catalogue of an older version up to SchemaVersion, one numbered
// step at a time, each in a transaction of its own (a savepoint inside a
// transaction already begun), then readies the file index for the writes.
// Called before a catalogue's first write, never by a reader: a query leaves
// the file as it found it.
void prepareForWriting(Catalogue& db);
// Whether CDTable is this program's own, with exactly its CHECKs: those
// fieldMaxChars() tells. One of another make may check otherwise. The
// catalogue's header says so (PRAGMA application_id): set when this program
// creates the table, or when the first versioned step finds the table an
// earlier release of it made.
bool hasOwnChecks(Catalogue& db);
// Deletes the records from rowid `first` to `last` in one statement; how many.
// The file index keeps their names until a compaction finds them many.
int deleteRecords(Catalogue& db, std::int64_t first, std::int64_t last);
// For a writer whose triggers are off (RecordAppender): deletes the records
// `first` to `last` and does at once what CDTable's delete triggers would do
// record by record (the file index's notes, the identities of deleted heads,
// the highest rowid); a third of the cost. Every delete trigger is mirrored
// here (DeleteTriggers), and a test holds the two deletions equal.
int deleteRecordsInBulk(Catalogue& db, std::int64_t first, std::int64_t last);
// The names of CDTable's delete triggers that deleteRecordsInBulk() mirrors.
inline constexpr const char* DeleteTriggers[] = {"CDTable_DropChecksum",
                                                 "CDTable_DropVolumeIdentity",
                                                 "CDTable_IndexDelete", "CDTable_KeepRowids"};
// Appends a record: ?1..?7 are the seven fields in order, ?8 its rowid.
extern const char* const InsertRecordSql;
// The rowid for the next record: above every rowid the table ever held.
extern const char* const NextRowidSql;

} // namespace orvik::engine
