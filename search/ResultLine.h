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

// Where the width of the name column comes from: the search window's width
// (53 characters per 9465 twips when paths are shown, else 30), or a number of
// characters given outright (a terminal).
class QueryWidth {
public:
    static QueryWidth window(double twips) { return QueryWidth(twips, 0); }
    static QueryWidth characters(float count) { return QueryWidth(0, count); }
    // The column width in characters, in single precision.
    float nameColumn(bool displayPaths) const;

private:
    QueryWidth(double twips, float characters) : m_twips(twips), m_characters(characters) {}
    double m_twips;
    float m_characters;
};

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

// The heading line of a print-out: the search and the catalogue.
QString resultsHeading(const QString& searchText, const QString& catalogueName);
// The heading of a print-out of the results of every catalogue.
QString everyCatalogueResultsHeading(const QString& searchText);

} // namespace orvik
