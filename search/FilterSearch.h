// "Find with Filters": the file match with its filters, a regular expression
// in place of the pattern, and every catalogue at once, as the filter dialog
// sets it up; its lines fill the search list as a file match's do.
#pragma once

#include "core/records/FileFilters.h"
#include "search/ResultLine.h"

#include <QString>
#include <QStringList>

namespace orvik {

class AppState;
class Progress;
class ResultListModel;
class SearchQueries;
class Settings;

// The dialog's values as typed; an empty filter is not applied.
struct FilterChoice {
    QString pattern; // the name pattern, or the expression with `regex`
    QString minSize, maxSize, newer, older, extensions, volume, keywords;
    bool regex = false;
    bool everyCatalogue = false;
    bool humanLengths = false; // lengths as "1.2 GB"

    // The texts FileFilters checks: the expression among them with `regex`.
    FilterTexts texts() const;
    // Kept in the settings between runs.
    static FilterChoice saved(const Settings& settings);
    void save(Settings& settings) const;
};

// Runs the file match of `choice`, whose filters have been checked, through
// `queries` into `results`: on the current catalogue, or on every catalogue
// in name order, where the lines of a catalogue other than the current one
// name it. The status ends as a file match's does, with the catalogues that
// could not be read named.
void runFilterSearch(AppState& state, SearchQueries& queries, ResultListModel& results,
                     Progress& progress, const FilterChoice& choice, const QueryWidth& width);

} // namespace orvik
