// How the raw database window's navigator moves the shared recordset: like a
// data control, it never leaves the records for a place past either end.
#pragma once

class QString;

namespace orvik {

namespace engine {
class Recordset;
}

enum class RecordMove { First, Previous, Next, Last };

// A move past either end stays on the first or last record; in an empty
// catalogue nothing moves.
void moveRecord(engine::Recordset& records, RecordMove move);

// Puts `records` where the window starts: on `bookmark` when one is given,
// else where it stands; on the first record when the bookmark names no record
// any more or the recordset stands on none. False when there is no record.
bool startOnRecord(engine::Recordset& records, const QString& bookmark);

} // namespace orvik
