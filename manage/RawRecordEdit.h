// What the raw database window writes back as it leaves a record: the
// keywords typed there, and a new description for a record that carries one.
#pragma once

class QString;

namespace orvik {

namespace engine {
class Recordset;
}

// On the record `records` stands on: when `save` is set (the user changed a
// box) the keywords become `keywords` in upper case, or Null when it is empty;
// a record that carries a description takes `description` in upper case
// unless it is empty, so a description is never cleared here. Nothing else
// typed is kept: `save` ends false. Only a value that differs from the stored
// one is written, so paging through a catalogue that cannot be written never
// fails. Does nothing in an empty catalogue. Throws orvik::Error when the
// engine refuses the write; the record is then unchanged.
void storeRawEdits(engine::Recordset& records, bool& save, const QString& keywords,
                   const QString& description);

} // namespace orvik
