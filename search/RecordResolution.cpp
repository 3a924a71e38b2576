#include "RecordResolution.h"

#include "AppState.h"
#include "Error.h"
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

// Walks back from the current record to the nearest one (itself included) whose
// field holds a value, one indexed find per step. Only this walk's own finds can
// end it for want of a match: a NoMatch left by an earlier find must not.
std::optional<QString> walkBackTo(Recordset& rs, Field field) {
    bool noMatch = false;
    while (!rs.BOF() && !noMatch) {
        if (auto value = rs.Fields(field)) return value;
        rs.FindPrevious(Criterion::NotNull(field));
        noMatch = rs.NoMatch();
    }
    return std::nullopt;
}

} // namespace

void Get_All_Current_Fields(AppState& state, Recordset& rs) {
    state.CurFile = text(rs, Field::CDFile);
    state.CurVolume = text(rs, Field::CDVolume);
    state.CurKeywords = text(rs, Field::CDKeywords);
    state.CurDescription = text(rs, Field::CDDescription);
    state.CurFileDate = text(rs, Field::CDFileDate);
    state.CurFileLen = text(rs, Field::CDFileLen);
    state.CurPath = text(rs, Field::CDPath);
}

void Get_KDV(AppState& state, Recordset& rs) {
    state.CurVolume = text(rs, Field::CDVolume);
    state.CurKeywords = text(rs, Field::CDKeywords);
    state.CurDescription = text(rs, Field::CDDescription);
}

void Lookup_All_Fields(AppState& state, Recordset& rs) {
    try {
        const QString kept = rs.Bookmark();
        Get_All_Current_Fields(state, rs);
        state.CurPath.clear();
        state.CurPath = walkBackTo(rs, Field::CDPath).value_or(QString());
        state.CurDescription.clear();
        state.CurDescription = walkBackTo(rs, Field::CDDescription).value_or(QString());
        // The walk stands on the volume head now, or where its last find failed.
        if (auto volume = rs.Fields(Field::CDVolume)) state.CurVolume = *volume;
        // Keywords of the record itself win over those of its volume run.
        if (state.CurKeywords.isEmpty())
            if (auto keywords = rs.Fields(Field::CDKeywords)) state.CurKeywords = *keywords;
        rs.setBookmark(kept);
    } catch (const Error&) {
        state.prompt().tell(QStringLiteral("Error in Lookup_all_Fields!"));
    }
}

int FindMyFile(AppState& state, Recordset& rs, QString* directory) {
    try {
        if (rs.Eof()) return 0;
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
