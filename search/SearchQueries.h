// The four queries of the search window: file match, keywords, volume or
// description, and the list of all volumes. They append result lines to a
// sink, keep LinePositions in step with the lines and report through Progress
// and Prompt, so the window and a command-line tool can run the same queries.
#pragma once

#include "RecordResolution.h"
#include "ResultLine.h"

#include <QString>
#include <memory>

namespace orvik {

class AppState;
class Progress;
namespace engine {
class Database;
class Recordset;
} // namespace engine

// Everything resolved for one result line; `bookmark` names its record.
struct ResolvedRecord {
    QString volume, description, keywords, directory, file, date, length, bookmark;
};

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
    // The file-match query; `width` decides the name column.
    void Query_MyFindFile(const QueryWidth& width);

    // The three volume queries with their button steps.
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
    std::shared_ptr<engine::Database> SearchDatabase;

private:
    // Opens the catalogue afresh as the shared dynaset.
    std::shared_ptr<engine::Recordset> openRecordset();
    void append(const QString& line, ResolvedRecord record);
    // The volume queries' common run: status text, opening, scan, final status.
    template <typename Scan>
    void runVolumeQuery(const QString& status, Scan scan, QString (*done)(qsizetype));

    AppState& m_state;
    ResultSink& m_sink;
    Progress& m_progress;
    qsizetype m_lines = 0;
};

} // namespace orvik
