// The four queries of the search window: file match, keywords, volume or
// description, and the list of all volumes. They hand each result line with
// its resolved record (its bookmark too) to a sink and report through Progress
// and Prompt, so the window and a command-line tool can run the same queries.
#pragma once

#include "core/records/FileFilters.h"
#include "core/records/RecordResolution.h"
#include "search/ResultLine.h"

#include <QString>
#include <memory>

namespace orvik {

class AppState;
class Progress;
namespace engine {
class Catalogue;
class Recordset;
} // namespace engine

class ResultSink {
public:
    virtual ~ResultSink() = default;
    virtual void clear() = 0;
    virtual void append(const QString& line, const ResolvedRecord& record) = 0;
};

class SearchQueries {
public:
    SearchQueries(AppState& state, ResultSink& sink, Progress& progress);

    // First steps of "Find File&Match": takes the typed text and, when it is
    // empty, asks whether to list all files. False when the user declines.
    bool startFileSearch(const QString& text);
    // The file-match query for SearchText; `width` decides the name column.
    void Query_MyFindFile(const QueryWidth& width);

    // The three volume queries with their button steps; each takes the typed text.
    void searchKeywords(const QString& text);
    void searchDescriptions(const QString& text);
    void listVolumes(const QString& text);
    void Query_MyFindKW();
    void Query_MyFindDesc();
    void Query_MyFindVol();

    // True while the file-match query runs; then a cancel request sets CancelFlag.
    bool Busy = false;
    bool CancelFlag = false;
    // Whether erasing a volume is offered: only right after the volume list.
    bool EraseEnabled = false;
    LastDescription LastDesc;
    // The text the user typed for the last query, and the pattern built from
    // it that the query searched for, which the print-out's heading names.
    QString SearchText, SearchPattern;
    // What the file match's matches must pass besides its pattern; with a
    // regular expression, that stands in for the pattern.
    FileFilters Filters;
    // The file match's lines show lengths as "1.2 GB" rather than digits.
    bool HumanLengths = false;
    std::shared_ptr<engine::Catalogue> SearchDatabase;

private:
    // Opens the catalogue afresh as the shared dynaset.
    std::shared_ptr<engine::Recordset> openRecordset();
    void append(const QString& line, const ResolvedRecord& record);
    // The record the file match stands on passes the expression and the
    // filters on its own fields.
    bool passesOwnFilters(const engine::Recordset& rs) const;
    // The volume queries' common run: status text, opening, scan, final status.
    template <typename Scan>
    void runVolumeQuery(const QString& status, Scan scan, QString (*done)(qsizetype));

    AppState& m_state;
    ResultSink& m_sink;
    Progress& m_progress;
    qsizetype m_lines = 0;
};

} // namespace orvik
