#include "core/records/RecordResolution.h"

#include "core/Error.h"
#include "core/Prompt.h"
#include "core/engine/Pattern.h"
#include "core/engine/Recordset.h"
#include "core/records/OwnerTracker.h"

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

namespace {

ResolvedRecord fieldsOf(const engine::Row& record, const QString& bookmark) {
    return {text(record, Field::CDVolume),   text(record, Field::CDDescription),
            text(record, Field::CDKeywords), text(record, Field::CDPath),
            text(record, Field::CDFile),     text(record, Field::CDFileDate),
            text(record, Field::CDFileLen),  bookmark};
}

} // namespace

ResolvedRecord ownFields(const Recordset& rs) {
    return fieldsOf(currentRow(rs), rs.Bookmark());
}

ResolvedRecord withOwners(const engine::Row& record, const engine::Row* directoryHead,
                          const engine::Row* volumeHead, const QString& bookmark) {
    ResolvedRecord resolved = fieldsOf(record, bookmark);
    resolved.directory = directoryHead ? text(*directoryHead, Field::CDPath) : QString();
    resolved.description = volumeHead ? text(*volumeHead, Field::CDDescription) : QString();
    // The walks end on the volume head, else on the directory head, else on
    // the record itself; the label and keywords of that record count.
    const engine::Row& last = volumeHead ? *volumeHead : directoryHead ? *directoryHead : record;
    if (const auto& volume = last[size_t(Field::CDVolume)]) resolved.volume = *volume;
    // Keywords of the record itself win over those of its volume run.
    if (resolved.keywords.isEmpty())
        if (const auto& keywords = last[size_t(Field::CDKeywords)]) resolved.keywords = *keywords;
    return resolved;
}

ResolvedRecord Lookup_All_Fields(Recordset& rs, Prompt& prompt) {
    ResolvedRecord resolved;
    try {
        const QString kept = rs.Bookmark();
        const engine::Row record = currentRow(rs);
        resolved = fieldsOf(record, kept);
        resolved.directory.clear(); // a walk that fails half-way leaves it empty
        const auto directoryHead = walkBackTo(rs, Field::CDPath);
        const auto volumeHead = walkBackTo(rs, Field::CDDescription);
        resolved = withOwners(record, directoryHead ? &*directoryHead : nullptr,
                              volumeHead ? &*volumeHead : nullptr, kept);
        rs.setBookmark(kept);
    } catch (const Error&) {
        prompt.tell(QStringLiteral("Error in Lookup_all_Fields!"));
    }
    return resolved;
}

std::optional<ResolvedRecord> FindMyFile(Recordset& rs, Prompt& prompt, OwnerTracker* owners) {
    try {
        if (rs.Eof()) return std::nullopt;
        return owners ? owners->resolve(rs) : Lookup_All_Fields(rs, prompt);
    } catch (const Error& error) {
        prompt.reportError(error, QStringLiteral("Error in SQL search of catalogue."));
        return std::nullopt;
    }
}

int FindMyKW(Recordset& rs, const Pattern& pattern, QString& MatchKeywords) {
    MatchKeywords.clear();
    // Records without keywords are passed over through the keyword index.
    const bool found = walkCarrying(rs, Field::CDKeywords, [&] {
        const QString keywords = text(rs, Field::CDKeywords);
        if (keywords.isEmpty() || text(rs, Field::CDFile).isEmpty()) return false;
        MatchKeywords = keywords;
        return pattern.matches(MatchKeywords);
    });
    return found ? 1 : 0;
}

int FindMyDesc(const Recordset& rs, LastDescription& LastDesc) {
    if (rs.Eof()) return 0;
    const QString description = text(rs, Field::CDDescription);
    if (description.isEmpty()) return 0;
    const QString key = description + text(rs, Field::CDVolume);
    if (LastDesc.scanStart || key.compare(LastDesc.key, Qt::CaseInsensitive) != 0) {
        LastDesc.key = key;
        LastDesc.scanStart = false;
        return 1;
    }
    return 0;
}

int FindMyVol(const Recordset& rs) {
    return !rs.Eof() && rs.Fields(Field::CDVolume) ? 1 : 0;
}

void moveToEnd(Recordset& rs) {
    if (rs.Eof()) return;
    rs.MoveLast();
    rs.MoveNext();
}

bool walkCarrying(Recordset& rs, Field field, const std::function<bool()>& visit) {
    if (rs.Eof()) return false;
    if (rs.Fields(field) && visit()) return true;
    Recordset heads(rs.database(), engine::RecordsetType::Dynaset);
    heads.setBookmark(rs.Bookmark());
    const Criterion carrying = Criterion::NotNull(field);
    for (heads.FindNext(carrying); !heads.NoMatch(); heads.FindNext(carrying)) {
        rs.setBookmark(heads.Bookmark());
        if (visit()) return true;
    }
    moveToEnd(rs);
    return false;
}

} // namespace orvik
