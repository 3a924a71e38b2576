#include "details/CatalogueMoves.h"

#include "core/engine/Recordset.h"

namespace orvik {

using engine::Criterion;
using engine::Field;
using engine::Recordset;

bool moveToFirstRecord(Recordset& rs) {
    if (rs.BOF()) return false;
    rs.MoveFirst();
    return true;
}

bool moveToLastRecord(Recordset& rs) {
    if (rs.Eof()) return false;
    rs.MoveLast();
    return true;
}

bool moveToNextFile(Recordset& rs) {
    if (!rs.Eof()) rs.MoveNext();
    if (rs.Eof() && !rs.BOF()) {
        rs.MovePrevious();
        return false;
    }
    return true;
}

bool moveToPreviousFile(Recordset& rs) {
    if (rs.BOF()) return false;
    rs.MovePrevious();
    if (rs.BOF() && !rs.Eof()) {
        rs.MoveNext();
        return false;
    }
    return true;
}

namespace {

enum class Way { Forward, Backward };

// Both seeking moves: leave a head, then find the next record carrying `field`.
// A NoMatch left by an earlier find ends the search before its first step.
void seekCarrying(Recordset& rs, Field field, const QString& currentPosition, Way way) {
    const bool forward = way == Way::Forward;
    auto atEdge = [&] { return forward ? rs.Eof() : rs.BOF(); };
    auto carries = [&] { return rs.Fields(field).has_value(); };
    if (!atEdge() && carries()) forward ? rs.MoveNext() : rs.MovePrevious();
    const Criterion criterion = Criterion::NotNull(field);
    bool found = false;
    while (!found && !atEdge() && !rs.NoMatch()) {
        if (carries())
            found = true;
        else
            forward ? rs.FindNext(criterion) : rs.FindPrevious(criterion);
    }
    if (atEdge()) rs.setBookmark(currentPosition);
    if (!carries()) rs.setBookmark(currentPosition);
}

} // namespace

void seekNextCarrying(Recordset& rs, Field field, const QString& currentPosition) {
    seekCarrying(rs, field, currentPosition, Way::Forward);
}

void seekPreviousCarrying(Recordset& rs, Field field, const QString& currentPosition) {
    seekCarrying(rs, field, currentPosition, Way::Backward);
}

void moveByRows(Recordset& rs, int rows) {
    for (; rows < 0; ++rows)
        if (!rs.BOF()) rs.MovePrevious();
    for (; rows > 0; --rows)
        if (!rs.Eof()) rs.MoveNext();
}

} // namespace orvik
