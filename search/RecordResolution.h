// Record resolution: turns the record the recordset stands on into the current-
// record fields of AppState, walking back through the sparse catalogue to the
// directory head and volume head that own it, and the per-record steps of the
// four queries (1 = the record counts, 0 = it does not).
#pragma once

#include "engine/CatalogueTable.h"

#include <QString>

namespace orvik {

class AppState;
class OwnerTracker;
class Pattern;
namespace engine {
class Recordset;
}

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

// The record's own fields, each "" where it is Null; the fields of the current record.
void setCurrentFields(AppState& state, const engine::Row& record);
engine::Row currentRow(const engine::Recordset& rs);
// The current-record fields of `record` completed by its owners: the directory
// head at or before it and the nearest record with a description at or before
// that head (each null when there is none).
void applyOwners(AppState& state, const engine::Row& record, const engine::Row* directoryHead,
                 const engine::Row* volumeHead);
// The record's own volume, keywords and description.
void Get_KDV(AppState& state, engine::Recordset& rs);
// The record's fields completed by its owners: the path of its directory head
// and the description, label and (unless the record has its own) keywords of
// its volume head. Reports its own failures; the position is kept.
void Lookup_All_Fields(AppState& state, engine::Recordset& rs);

// The file-match step: resolves the record (through `owners` when a forward
// scan provides one, else by the walk); the path is emptied when paths are not
// displayed. `directory`, when given, receives the path before that.
int FindMyFile(AppState& state, engine::Recordset& rs, QString* directory = nullptr,
               OwnerTracker* owners = nullptr);
// Moves forward from the current record to the next one whose keywords match
// `pattern` and whose file name is present; at the end it stands past the last record.
int FindMyKW(AppState& state, engine::Recordset& rs, const Pattern& pattern);
// 1 for a record with a description unless it repeats, label included, the
// description of the head seen just before it in this scan.
int FindMyDesc(AppState& state, engine::Recordset& rs, LastDescription& LastDesc);
// 1 for a volume head (its volume fields loaded), else 0.
int FindMyVol(AppState& state, engine::Recordset& rs);

// Puts the recordset past its last record, where a forward scan ends.
void moveToEnd(engine::Recordset& rs);

} // namespace orvik
