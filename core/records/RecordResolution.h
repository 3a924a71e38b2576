// Record resolution: turns the record the recordset stands on into a
// ResolvedRecord, walking back through the sparse catalogue to the directory
// head and volume head that own it, and the per-record steps of the four
// queries (1 = the record counts, 0 = it does not).
#pragma once

#include "core/engine/CatalogueTable.h"

#include <QString>
#include <functional>
#include <optional>

namespace orvik {

class OwnerTracker;
class Pattern;
class Prompt;
namespace engine {
class Recordset;
}

// Everything resolved for one record, each "" where it is Null; `bookmark`
// names the record.
struct ResolvedRecord {
    QString volume, description, keywords, directory, file, date, length, bookmark;
};

// The description query's memory of the last volume head it looked at: its
// description followed by its label. A scan starts with `scanStart` set, so its
// first head always counts whatever its text.
struct LastDescription {
    QString key;
    bool scanStart = true;
    void startScan() {
        key.clear();
        scanStart = true;
    }
};

engine::Row currentRow(const engine::Recordset& rs);
// The record's own fields, the recordset's current bookmark with them.
ResolvedRecord ownFields(const engine::Recordset& rs);
// `record` completed by its owners: the directory head at or before it and the
// nearest record with a description at or before that head (each null when
// there is none).
ResolvedRecord withOwners(const engine::Row& record, const engine::Row* directoryHead,
                          const engine::Row* volumeHead, const QString& bookmark);
// The record's fields completed by its owners: the path of its directory head
// and the description, label and (unless the record has its own) keywords of
// its volume head. Reports its own failures (then the record's own fields
// without a directory); the position is kept.
ResolvedRecord Lookup_All_Fields(engine::Recordset& rs, Prompt& prompt);

// The file-match step: resolves the record (through `owners` when a forward
// scan provides one, else by the walk); nullopt at the end or on a failure,
// which it reports.
std::optional<ResolvedRecord> FindMyFile(engine::Recordset& rs, Prompt& prompt,
                                         OwnerTracker* owners = nullptr);
// Moves forward from the current record to the next one whose keywords match
// `pattern` and whose file name is present, putting its keywords in
// `MatchKeywords`; at the end it stands past the last record.
int FindMyKW(engine::Recordset& rs, const Pattern& pattern, QString& MatchKeywords);
// 1 for a record with a description unless it repeats, label included, the
// description of the head seen just before it in this scan.
int FindMyDesc(const engine::Recordset& rs, LastDescription& LastDesc);
// 1 for a volume head, else 0.
int FindMyVol(const engine::Recordset& rs);

// Puts the recordset past its last record, where a forward scan ends.
void moveToEnd(engine::Recordset& rs);
// Steps forward from the current record (itself included) through the records
// whose `field` holds a value, the ones a record-by-record walk would stop on,
// until `visit` returns true; false when it never did, past the last record.
// The field's head index is searched by a cursor of its own: `rs` only moves,
// so its NoMatch stays as such a walk leaves it (the details window's seeking
// moves read it).
bool walkCarrying(engine::Recordset& rs, engine::Field field, const std::function<bool()>& visit);

} // namespace orvik
