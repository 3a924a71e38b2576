// The one table of a catalogue, CDTable: seven fields in a fixed order, each
// of them nullable text (the date as local "YYYY-MM-DD HH:MM:SS").
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace orvik::engine {

class Database;

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
// rowids (bookmarks) from being used twice, and the file index (FileIndex.h).
void createCatalogueTable(Database& db);
// Adds what createCatalogueTable makes to an older catalogue that lacks it.
// Called before a catalogue's first write, never by a reader: a query leaves
// the file as it found it.
void prepareForWriting(Database& db);
// Whether CDTable is this program's own, with exactly its CHECKs: those
// fieldMaxChars() tells. One of another make may check otherwise.
bool hasOwnChecks(Database& db);
// Appends a record: ?1..?7 are the seven fields in order, ?8 its rowid.
extern const char* const InsertRecordSql;
// The rowid for the next record: above every rowid the table ever held.
extern const char* const NextRowidSql;

} // namespace orvik::engine
