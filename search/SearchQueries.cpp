#include "SearchQueries.h"

#include "AppState.h"
#include "Error.h"
#include "OwnerTracker.h"
#include "Progress.h"
#include "ResultLine.h"
#include "engine/Database.h"
#include "engine/Pattern.h"
#include "engine/Recordset.h"

#include <QElapsedTimer>

namespace orvik {

using engine::Criterion;
using engine::Field;
using engine::Recordset;

namespace {

constexpr qint64 YieldMs = 50;

const QString CantOpenTable = QStringLiteral("Can't open table in catalogue database.");

QString matchesFound(qsizetype count) {
    return count == 0 ? QStringLiteral("No matches found")
                      : QStringLiteral("Search completed (") + QString::number(count) +
                            QStringLiteral(" matches)");
}

QString volumesFound(qsizetype count) {
    return count == 0 ? QStringLiteral("No CDS found")
                      : QString::number(count) + QStringLiteral(" CDs found");
}

// Puts the recordset back on the record even when the walk failed half-way, so
// the scan neither loses its place nor meets the record again.
void restorePosition(Recordset& rs, const QString& bookmark) {
    if (rs.BOF() || rs.Eof() || rs.Bookmark() != bookmark) rs.setBookmark(bookmark);
}

// The resolved fields as the current-record fields hold them now.
ResolvedRecord currentRecord(const AppState& state, const QString& directory,
                             const QString& bookmark) {
    return {state.CurVolume, state.CurDescription, state.CurKeywords, directory,
            state.CurFile,   state.CurFileDate,    state.CurFileLen,  bookmark};
}

// A volume head resolves to its own fields: it is its directory's head too.
ResolvedRecord headRecord(const AppState& state, const Recordset& rs) {
    auto text = [&](Field field) { return rs.Fields(field).value_or(QString()); };
    return {state.CurVolume,        state.CurDescription, state.CurKeywords,
            text(Field::CDPath),    text(Field::CDFile),  text(Field::CDFileDate),
            text(Field::CDFileLen), rs.Bookmark()};
}

// Visits, in record order, the records whose `field` holds a value; the
// recordset ends past its last record.
template <typename Visit> void forEachCarrying(Recordset& rs, Field field, Visit visit) {
    walkCarrying(rs, field, [&] {
        visit();
        return false;
    });
}

// A malformed pattern is reported in the words the user typed, before any
// record is read, so an empty catalogue reports it too. The wildcards a query
// adds never make a typed text malformed or mend it.
void checkTypedPattern(const QString& typed) {
    [[maybe_unused]] const Pattern check(typed);
}

} // namespace

SearchQueries::SearchQueries(AppState& state, ResultSink& sink, Progress& progress)
    : m_state(state), m_sink(sink), m_progress(progress) {}

std::shared_ptr<Recordset> SearchQueries::openRecordset() {
    auto rs = std::make_shared<Recordset>(SearchDatabase, engine::RecordsetType::Dynaset);
    m_state.CatalogueRecordset = rs;
    return rs;
}

void SearchQueries::append(const QString& line, ResolvedRecord record) {
    auto& positions = m_state.LinePositions;
    if (qsizetype(positions.size()) <= m_lines) positions.resize(size_t(m_lines) + 1);
    positions[size_t(m_lines)] = record.bookmark;
    m_sink.append(line, record);
    ++m_lines;
    // Grown in steps of 100 so a long result costs one copy per 100 lines.
    if (m_lines % 100 == 0) positions.resize(positions.size() + 100);
}

bool SearchQueries::startFileSearch(const QString& text) {
    EraseEnabled = false;
    CancelFlag = false;
    m_state.SearchText = text;
    if (text.isEmpty() && m_state.prompt().ask(QStringLiteral("Do you want to list all Files?"),
                                               Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
        return false;
    m_sink.clear();
    return true;
}

void SearchQueries::Query_MyFindFile(const QueryWidth& columns) {
    const float width = columns.nameColumn(m_state.DisplayPaths);
    const QString typed = m_state.SearchText;
    m_state.SearchText = fileMatchPattern(typed);
    m_state.CurPath.clear();
    m_state.CurFile.clear();
    m_progress.status(QStringLiteral("Searching for ") + m_state.SearchText +
                      QStringLiteral(" ..."));
    m_lines = 0;
    try {
        checkTypedPattern(typed);
        SearchDatabase = m_state.workspace().OpenDatabase(m_state.catalogueFile());
        const auto rs = openRecordset();
        const auto criterion = Criterion::FileOrPathLike(m_state.SearchText);
        OwnerTracker owners(SearchDatabase);
        // The scan keeps its read lock between finds, and gives it up whenever
        // the user may act: every 20th line, and at least every 50 ms of
        // scanning, so Cancel is seen even where little matches.
        engine::ReadHold hold(*SearchDatabase);
        QElapsedTimer sinceYield;
        sinceYield.start();
        auto yield = [&] {
            hold.pause();
            m_progress.letEventsRun();
            sinceYield.restart();
        };
        rs->setPauseDuringFinds([&] {
            if (sinceYield.elapsed() >= YieldMs) yield();
            return !CancelFlag;
        });
        // The recordset outlives this scan: it must not keep calling into it.
        struct EndPauses {
            Recordset& rs;
            ~EndPauses() { rs.setPauseDuringFinds({}); }
        } endPauses{*rs};
        rs->FindFirst(criterion);
        Busy = true;
        while (!rs->NoMatch() && !CancelFlag) {
            QString directory;
            const bool resolved = FindMyFile(m_state, *rs, &directory, &owners) == 1;
            if (resolved) {
                const QString bookmark = rs->Bookmark();
                const QString line =
                    composeFileLine(m_state.CurPath, m_state.CurFile, width, m_state.CurFileDate,
                                    m_state.CurFileLen, m_state.CurVolume, m_state.CurDescription);
                ResolvedRecord record = currentRecord(m_state, directory, bookmark);
                // The fields keep their padded form until the next resolution.
                m_state.CurFileDate = dateColumn(m_state.CurFileDate);
                m_state.CurFileLen = lengthColumn(m_state.CurFileLen);
                append(line, std::move(record));
            }
            rs->FindNext(criterion);
            if ((resolved && m_lines % 20 == 0) || sinceYield.elapsed() >= YieldMs) yield();
        }
        const QString suffix = CancelFlag ? QStringLiteral(" CANCELLED BY USER") : QString();
        m_progress.status(matchesFound(m_lines) + suffix);
        Busy = false;
        CancelFlag = false;
    } catch (const Error& error) {
        Busy = false;
        m_state.prompt().reportError(error, CantOpenTable);
    }
}

void SearchQueries::searchKeywords(const QString& text) {
    m_sink.clear();
    EraseEnabled = false;
    m_state.SearchText = text;
    Query_MyFindKW();
}

void SearchQueries::searchDescriptions(const QString& text) {
    EraseEnabled = false;
    m_sink.clear();
    m_state.SearchText = text;
    Query_MyFindDesc();
}

void SearchQueries::listVolumes(const QString& text) {
    m_sink.clear();
    m_state.SearchText = text;
    Query_MyFindVol();
    EraseEnabled = true;
}

template <typename Scan>
void SearchQueries::runVolumeQuery(const QString& status, Scan scan, QString (*done)(qsizetype)) {
    m_progress.status(status);
    m_lines = 0;
    try {
        SearchDatabase = m_state.workspace().OpenDatabase(m_state.catalogueFile());
    } catch (const Error& error) {
        m_state.prompt().reportError(error, QStringLiteral("Can't open catalogue database."));
        return;
    }
    try {
        // These queries run to their end without yielding: one read lock for all of it.
        engine::ReadHold hold(*SearchDatabase);
        scan(*openRecordset());
    } catch (const Error& error) {
        m_state.prompt().reportError(error, CantOpenTable);
        return;
    }
    m_progress.status(done(m_lines));
}

void SearchQueries::Query_MyFindKW() {
    const QString typed = m_state.SearchText;
    m_state.SearchText = volumePattern(typed);
    runVolumeQuery(
        QStringLiteral("Searching Keywords for ") + m_state.SearchText + QStringLiteral("..."),
        [this, &typed](Recordset& rs) {
            checkTypedPattern(typed);
            const Pattern pattern(m_state.SearchText);
            m_state.CurVolume.clear();
            while (FindMyKW(m_state, rs, pattern) == 1) {
                const QString bookmark = rs.Bookmark();
                Lookup_All_Fields(m_state, rs);
                restorePosition(rs, bookmark);
                append(composeVolumeLine(m_state.CurVolume, m_state.CurDescription,
                                         m_state.MatchKeywords),
                       currentRecord(m_state, m_state.CurPath, bookmark));
                if (!rs.Eof()) rs.MoveNext();
            }
        },
        matchesFound);
}

void SearchQueries::Query_MyFindDesc() {
    LastDesc.startScan();
    const QString typed = m_state.SearchText;
    m_state.SearchText = volumePattern(typed);
    runVolumeQuery(
        QStringLiteral("Searching Descriptions for ") + m_state.SearchText + QStringLiteral(" ..."),
        [this, &typed](Recordset& rs) {
            checkTypedPattern(typed);
            const Pattern pattern(m_state.SearchText);
            forEachCarrying(rs, Field::CDDescription, [&] {
                if (FindMyDesc(m_state, rs, LastDesc) == 1 &&
                    pattern.matches(m_state.CurVolume + m_state.CurDescription)) {
                    Get_KDV(m_state, rs);
                    append(composeVolumeLine(m_state.CurVolume, m_state.CurDescription,
                                             m_state.CurKeywords),
                           headRecord(m_state, rs));
                }
            });
        },
        matchesFound);
}

void SearchQueries::Query_MyFindVol() {
    LastDesc.startScan();
    runVolumeQuery(
        QStringLiteral("Searching catalogue for CD Volumes ..."),
        [this](Recordset& rs) {
            forEachCarrying(rs, Field::CDVolume, [&] {
                if (FindMyVol(m_state, rs) == 1)
                    append(composeVolumeLine(m_state.CurVolume, m_state.CurDescription,
                                             m_state.CurKeywords),
                           headRecord(m_state, rs));
            });
        },
        volumesFound);
}

} // namespace orvik
