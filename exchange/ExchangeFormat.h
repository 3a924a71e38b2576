// The file formats a catalogue is exported to and imported from, and how a
// file's name tells its format.
#pragma once

#include <QString>
#include <optional>

namespace orvik {

enum class ExchangeFormat { Csv, Json, Html, Efu };

// "csv", "json", "html", "efu"; none for any other name.
std::optional<ExchangeFormat> formatNamed(const QString& name);
// By the file's extension, in any letter case (.htm is HTML too).
std::optional<ExchangeFormat> formatOfFile(const QString& file);
// What the user is told when a format is unknown: the formats known.
QString unknownFormatText(const QString& what, bool forImport);

} // namespace orvik
