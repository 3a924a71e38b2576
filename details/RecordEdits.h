// The two edits of the details window: the keywords of the shown record and
// the description of its volume run. A write the catalogue refuses is told
// to the user and changes nothing.
#pragma once

#include <QString>

namespace orvik {

class AppState;
namespace engine {
class Recordset;
}

// Stores `keywords` (upper case, Null when empty) on the shown record. On the
// first record of a volume run a change applies to the whole run, which the
// user confirms first; Cancel stores nothing.
void storeKeywords(AppState& state, engine::Recordset& rs, const QString& keywords);
// Stores `description` in upper case on the first record of the volume run;
// an empty one is refused with a message. Leaves the recordset on CurrentPosition.
void storeDescription(AppState& state, engine::Recordset& rs, const QString& description);

} // namespace orvik
