// The texts of the search result list: the query patterns made from the typed
// text, and the line composed for each file match or volume head.
#pragma once

#include <QString>

namespace orvik {

// The file-match pattern: upper case, "*" in front unless the text starts with
// "*" or "?", and "*" at the end unless a final "." pins the end of the name.
QString fileMatchPattern(const QString& text);
// The keyword and description pattern: as above, but "*" always goes at the end.
QString volumePattern(const QString& text);

// Width of the name column in characters: 53 (paths shown) or 30 per 9465
// twips of window width, in single precision.
float nameColumnWidth(double windowWidthTwips, bool displayPaths);

// The date and length columns as the file line pads them.
QString dateColumn(const QString& date);
QString lengthColumn(const QString& length);

// One file-match line: the name (path, empty when not shown, then file) with
// its dot leader, date, length, volume, description.
QString composeFileLine(const QString& path, const QString& file, float width, const QString& date,
                        const QString& length, const QString& volume, const QString& description);
// One volume line: "Vol:LABEL  (DESCRIPTION) - [KW=KEYWORDS]".
QString composeVolumeLine(const QString& volume, const QString& description,
                          const QString& keywords);

} // namespace orvik
