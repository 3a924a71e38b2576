#include "search/SearchQueries.h"

#include "core/AppState.h"
#include "core/Error.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Pattern.h"
#include "core/engine/Recordset.h"
#include "core/records/ByteSizes.h"
#include "core/records/OwnerTracker.h"
#include "search/ResultLine.h"

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

void SearchQueries::append(const QString& line, const ResolvedRecord& record) {
    m_sink.append(line, record);
    ++m_lines;
}

bool SearchQueries::startFileSearch(const QString& text) {
    EraseEnabled = false;
    CancelFlag = false;
    SearchText = text;
    // The plain file match: no filter dialog's choices.
    Filters = {};
    HumanLengths = false;
    if (text.isEmpty() && m_state.prompt().ask(QStringLiteral("Do you want to list all Files?"),
                                               Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
        return false;
    m_sink.clear();
    return true;
}

void SearchQueries::Query_MyFindFile(const QueryWidth& columns) {
    const float width = columns.nameColumn(m_state.Options.DisplayPaths);
    const QString typed = SearchText;
    const std::optional<NameRegex>& regex = Filters.regex();
    // An expression is searched for through the pattern its matches all match.
    SearchPattern = regex ? regex->text() : fileMatchPattern(typed);
    const QString findPattern = regex ? regex->candidatePattern() : SearchPattern;
    m_progress.status(QStringLiteral("Searching for ") + SearchPattern + QStringLiteral(" ..."));
    m_lines = 0;
    try {
        if (!regex) checkTypedPattern(typed);
        SearchDatabase = m_state.workspace().OpenDatabase(m_state.catalogueFile());
        // The scan keeps its read lock between finds, and gives it up whenever
        // the user may act: every 20th line, and at least every 50 ms of
        // scanning, so Cancel is seen even where little matches. Held from
        // the start, the opening reads and the first find share one read.
        engine::ReadHold hold(*SearchDatabase);
        const auto rs = openRecordset();
        const auto criterion = Criterion::FileOrPathLike(findPattern, Filters.bounds());
        OwnerTracker owners(SearchDatabase);
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
            bool listed = false;
            // The record's own fields first: a match they rule out is never resolved.
            if (passesOwnFilters(*rs)) {
                const auto record = FindMyFile(*rs, m_state.prompt(), &owners);
                if (record && Filters.passesOwners(*record)) {
                    // The line shows the path only when paths are displayed.
                    const QString path =
                        m_state.Options.DisplayPaths ? record->directory : QString();
                    const QString length =
                        HumanLengths ? readableLength(record->length) : record->length;
                    append(composeFileLine(path, record->file, width, record->date, length,
                                           record->volume, record->description),
                           *record);
                    listed = true;
                }
            }
            rs->FindNext(criterion);
            if ((listed && m_lines % 20 == 0) || sinceYield.elapsed() >= YieldMs) yield();
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

bool SearchQueries::passesOwnFilters(const Recordset& rs) const {
    if (!Filters.any()) return true;
    auto field = [&rs](Field f) { return rs.Fields(f).value_or(QString()); };
    const QString file = field(Field::CDFile);
    if (!Filters.passesOwnFields(file, field(Field::CDFileDate), field(Field::CDFileLen)))
        return false;
    const std::optional<NameRegex>& regex = Filters.regex();
    return !regex || regex->matches(file, field(Field::CDPath));
}

void SearchQueries::searchKeywords(const QString& text) {
    m_sink.clear();
    EraseEnabled = false;
    SearchText = text;
    Query_MyFindKW();
}

void SearchQueries::searchDescriptions(const QString& text) {
    EraseEnabled = false;
    m_sink.clear();
    SearchText = text;
    Query_MyFindDesc();
}

void SearchQueries::listVolumes(const QString& text) {
    m_sink.clear();
    SearchText = text;
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
    SearchPattern = volumePattern(SearchText);
    runVolumeQuery(
        QStringLiteral("Searching Keywords for ") + SearchPattern + QStringLiteral("..."),
        [this](Recordset& rs) {
            checkTypedPattern(SearchText);
            const Pattern pattern(SearchPattern);
            QString MatchKeywords;
            while (FindMyKW(rs, pattern, MatchKeywords) == 1) {
                const QString bookmark = rs.Bookmark();
                ResolvedRecord record = Lookup_All_Fields(rs, m_state.prompt());
                record.bookmark = bookmark;
                restorePosition(rs, bookmark);
                append(composeVolumeLine(record.volume, record.description, MatchKeywords), record);
                if (!rs.Eof()) rs.MoveNext();
            }
        },
        matchesFound);
}

void SearchQueries::Query_MyFindDesc() {
    LastDesc.startScan();
    SearchPattern = volumePattern(SearchText);
    runVolumeQuery(
        QStringLiteral("Searching Descriptions for ") + SearchPattern + QStringLiteral(" ..."),
        [this](Recordset& rs) {
            checkTypedPattern(SearchText);
            const Pattern pattern(SearchPattern);
            forEachCarrying(rs, Field::CDDescription, [&] {
                if (FindMyDesc(rs, LastDesc) != 1) return;
                // A volume head resolves to its own fields: it is its directory's head too.
                const ResolvedRecord head = ownFields(rs);
                if (pattern.matches(head.volume + head.description))
                    append(composeVolumeLine(head.volume, head.description, head.keywords), head);
            });
        },
        matchesFound);
}

void SearchQueries::Query_MyFindVol() {
    LastDesc.startScan();
    SearchPattern = SearchText; // the list takes every volume, whatever was typed
    runVolumeQuery(
        QStringLiteral("Searching catalogue for CD Volumes ..."),
        [this](Recordset& rs) {
            forEachCarrying(rs, Field::CDVolume, [&] {
                if (FindMyVol(rs) != 1) return;
                const ResolvedRecord head = ownFields(rs);
                append(composeVolumeLine(head.volume, head.description, head.keywords), head);
            });
        },
        volumesFound);
}

} // namespace orvik
