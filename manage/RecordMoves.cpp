#include "manage/RecordMoves.h"

#include "core/Error.h"
#include "core/engine/Recordset.h"

namespace orvik {

namespace {

bool onRecord(const engine::Recordset& records) {
    return !records.BOF() && !records.Eof();
}

// False when there is no record to move to.
bool moveToEnd(engine::Recordset& records, RecordMove end) {
    try {
        end == RecordMove::First ? records.MoveFirst() : records.MoveLast();
        return true;
    } catch (const Error& error) {
        if (error.number() != errors::NoCurrentRecord) throw;
        return false;
    }
}

} // namespace

void moveRecord(engine::Recordset& records, RecordMove move) {
    if (!onRecord(records)) {
        moveToEnd(records, RecordMove::First);
        return;
    }
    switch (move) {
    case RecordMove::First:
    case RecordMove::Last:
        moveToEnd(records, move);
        break;
    case RecordMove::Next:
        records.MoveNext();
        if (records.Eof()) moveToEnd(records, RecordMove::Last);
        break;
    case RecordMove::Previous:
        records.MovePrevious();
        if (records.BOF()) moveToEnd(records, RecordMove::First);
        break;
    }
}

bool startOnRecord(engine::Recordset& records, const QString& bookmark) {
    if (!bookmark.isEmpty()) {
        try {
            records.setBookmark(bookmark);
            return true;
        } catch (const Error& error) {
            if (error.number() != errors::InvalidBookmark) throw;
            return moveToEnd(records, RecordMove::First);
        }
    }
    return onRecord(records) || moveToEnd(records, RecordMove::First);
}

} // namespace orvik
