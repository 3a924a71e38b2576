#include "RecordResolution.h"

#include "AppState.h"
#include "Error.h"
#include "OwnerTracker.h"
#include "engine/Pattern.h"
#include "engine/Recordset.h"

#include <optional>

namespace orvik {

using engine::Criterion;
using engine::Field;
using engine::Recordset;

namespace {

QString text(const Recordset& rs, Field field) {
    return rs.Fields(field).value_or(QString());
}

QString text(const engine::Row& row, Field field) {
    return row[size_t(field)].value_or(QString());
}

// Walks back from the current record to the nearest one (itself included) whose
// field holds a value, one indexed find per step; that record's fields, or
// nullopt with the recordset left where the failed find left it. Only this
// walk's own finds can end it for want of a match: a NoMatch left by an
// earlier find must not.
std::optional<engine::Row> walkBackTo(Recordset& rs, Field field) {
    bool noMatch = false;
    while (!rs.BOF() && !noMatch) {
        if (rs.Fields(field)) return currentRow(rs);
        rs.FindPrevious(Criterion::NotNull(field));
        noMatch = rs.NoMatch();
    }
    return std::nullopt;
}

} // namespace

engine::Row currentRow(const Recordset& rs) {
    engine::Row row;
    for (Field field : engine::AllFields)
        row[size_t(field)] = rs.Fields(field);
    return row;
}

void setCurrentFields(AppState& state, const engine::Row& record) {
    state.CurFile = text(record, Field::CDFile);
    state.CurVolume = text(record, Field::CDVolume);
    state.CurKeywords = text(record, Field::CDKeywords);
    state.CurDescription = text(record, Field::CDDescription);
    state.CurFileDate = text(record, Field::CDFileDate);
    state.CurFileLen = text(record, Field::CDFileLen);
    state.CurPath = text(record, Field::CDPath);
}

void Get_KDV(AppState& state, Recordset& rs) {
    state.CurVolume = text(rs, Field::CDVolume);
    state.CurKeywords = text(rs, Field::CDKeywords);
    state.CurDescription = text(rs, Field::CDDescription);
}

void applyOwners(AppState& state, const engine::Row& record, const engine::Row* directoryHead,
                 const engine::Row* volumeHead) {
    setCurrentFields(state, record);
    state.CurPath = directoryHead ? text(*directoryHead, Field::CDPath) : QString();
    state.CurDescription = volumeHead ? text(*volumeHead, Field::CDDescription) : QString();
    // The walks end on the volume head, else on the directory head, else on
    // the record itself; the label and keywords of that record count.
    const engine::Row& last = volumeHead ? *volumeHead : directoryHead ? *directoryHead : record;
    if (const auto& volume = last[size_t(Field::CDVolume)]) state.CurVolume = *volume;
    // Keywords of the record itself win over those of its volume run.
    if (state.CurKeywords.isEmpty())
        if (const auto& keywords = last[size_t(Field::CDKeywords)]) state.CurKeywords = *keywords;
}

void Lookup_All_Fields(AppState& state, Recordset& rs) {
    try {
        const QString kept = rs.Bookmark();
        const engine::Row record = currentRow(rs);
        setCurrentFields(state, record);
        state.CurPath.clear(); // a walk that fails half-way leaves it empty
        const auto directoryHead = walkBackTo(rs, Field::CDPath);
        const auto volumeHead = walkBackTo(rs, Field::CDDescription);
        applyOwners(state, record, directoryHead ? &*directoryHead : nullptr,
                    volumeHead ? &*volumeHead : nullptr);
        rs.setBookmark(kept);
    } catch (const Error&) {
        state.prompt().tell(QStringLiteral("Error in Lookup_all_Fields!"));
    }
}

int FindMyFile(AppState& state, Recordset& rs, QString* directory, OwnerTracker* owners) {
    try {
        if (rs.Eof()) return 0;
        if (owners)
            owners->resolve(state, rs);
        else
            Lookup_All_Fields(state, rs);
        if (directory) *directory = state.CurPath;
        if (!state.DisplayPaths) state.CurPath.clear();
        return 1;
    } catch (const Error& error) {
        state.prompt().reportError(error, QStringLiteral("Error in SQL search of catalogue."));
        return 0;
    }
}

int FindMyKW(AppState& state, Recordset& rs, const Pattern& pattern) {
    state.MatchKeywords.clear();
    while (!rs.Eof()) {
        const auto keywords = rs.Fields(Field::CDKeywords);
        if (keywords && !keywords->isEmpty()) {
            Get_KDV(state, rs);
            if (!text(rs, Field::CDFile).isEmpty()) {
                state.MatchKeywords = *keywords;
                if (pattern.matches(state.MatchKeywords)) return 1;
            }
        }
        // Records without keywords are passed over through the keyword index.
        rs.FindNext(Criterion::NotNull(Field::CDKeywords));
        if (rs.NoMatch()) moveToEnd(rs);
    }
    return 0;
}

int FindMyDesc(AppState& state, Recordset& rs, LastDescription& LastDesc) {
    if (rs.Eof()) return 0;
    const QString description = text(rs, Field::CDDescription);
    if (description.isEmpty()) return 0;
    state.CurDescription = description;
    state.CurVolume = text(rs, Field::CDVolume);
    const QString keywords = text(rs, Field::CDKeywords);
    if (!keywords.isEmpty()) state.CurKeywords = keywords;
    const QString key = state.CurDescription + state.CurVolume;
    if (LastDesc.scanStart || key.compare(LastDesc.key, Qt::CaseInsensitive) != 0) {
        LastDesc.key = key;
        LastDesc.scanStart = false;
        return 1;
    }
    return 0;
}

int FindMyVol(AppState& state, Recordset& rs) {
    if (rs.Eof() || !rs.Fields(Field::CDVolume)) return 0;
    Get_KDV(state, rs);
    return 1;
}

void moveToEnd(Recordset& rs) {
    if (rs.Eof()) return;
    rs.MoveLast();
    rs.MoveNext();
}

} // namespace orvik
