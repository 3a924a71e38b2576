// The moves of the details window over the shared recordset: one file, one
// directory, one volume run, or to either end of the catalogue. Each says
// whether the window lands on the record the recordset then stands on.
#pragma once

#include "core/engine/CatalogueTable.h"

class QString;

namespace orvik {

namespace engine {
class Recordset;
}

bool moveToFirstRecord(engine::Recordset& rs);
bool moveToLastRecord(engine::Recordset& rs);
// At the last (first) record the recordset steps back onto it and nothing lands.
bool moveToNextFile(engine::Recordset& rs);
bool moveToPreviousFile(engine::Recordset& rs);

// "Dir >" over CDPath and "Vol >" over CDVolume: the next record that carries
// `field`, leaving the head the window stands on. Where there is none the
// recordset goes back on `currentPosition`. Always lands.
void seekNextCarrying(engine::Recordset& rs, engine::Field field, const QString& currentPosition);
// "< Dir" and "< Vol": the head of the own directory or volume run, or of the
// previous one when standing on a head.
void seekPreviousCarrying(engine::Recordset& rs, engine::Field field,
                          const QString& currentPosition);

// Moves record by record, forwards for positive `rows`, staying inside the catalogue.
void moveByRows(engine::Recordset& rs, int rows);

} // namespace orvik
