// The one table of a catalogue, CDTable: seven fields in a fixed order, each
// of them nullable text (the date as local "YYYY-MM-DD HH:MM:SS").
#pragma once

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

// A field's value: empty optional is Null, which is never the same as "".
using Value = std::optional<QString>;
using Row = std::array<Value, FieldCount>;

const char* fieldName(Field field);

// Defines CDTable and the partial indexes that let a reader jump to the
// previous directory or volume head without scanning.
void createCatalogueTable(Database& db);
// Adds those indexes to a catalogue that lacks them; silent when the file is read-only.
void ensureHeadIndexes(Database& db);

} // namespace orvik::engine
