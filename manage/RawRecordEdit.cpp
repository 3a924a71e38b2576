#include "manage/RawRecordEdit.h"

#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"

namespace orvik {

using engine::Field;
using engine::Value;

void storeRawEdits(engine::Recordset& records, bool& save, const QString& keywords,
                   const QString& description) {
    const bool changed = save;
    save = false;
    if (records.BOF() || records.Eof()) return;

    const Value storedKeywords = records.Fields(Field::CDKeywords);
    const Value storedDescription = records.Fields(Field::CDDescription);
    Value newKeywords = storedKeywords;
    if (changed) newKeywords = keywords.isEmpty() ? Value() : Value(keywords.toUpper());
    Value newDescription = storedDescription;
    if (storedDescription && !description.isEmpty()) newDescription = description.toUpper();
    if (newKeywords == storedKeywords && newDescription == storedDescription) return;

    records.Edit();
    records.setField(Field::CDKeywords, newKeywords);
    records.setField(Field::CDDescription, newDescription);
    try {
        // Its own transaction: refused while another write of the program
        // (an add) is open on the catalogue, never made part of it.
        engine::Transaction transaction(*records.database());
        records.Update();
        transaction.commit();
    } catch (...) {
        records.CancelUpdate(); // the next edit starts from the stored record
        throw;
    }
}

} // namespace orvik
