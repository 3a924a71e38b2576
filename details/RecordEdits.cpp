#include "details/RecordEdits.h"

#include "core/AppState.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"

namespace orvik {

using engine::Criterion;
using engine::Field;
using engine::Recordset;

namespace {

// Edits the current record; a refusal is reported and the edit dropped. In a
// transaction of its own: while another write of the program (an add) is
// open on the catalogue it is refused, never made part of that one.
template <typename Change> void editRecord(AppState& state, Recordset& rs, Change change) {
    try {
        rs.Edit(); // throws when the recordset is closed
        change();
        engine::Transaction transaction(*rs.database());
        rs.Update();
        transaction.commit();
    } catch (const Error& error) {
        rs.CancelUpdate();
        state.prompt().tell(error.message(), Icon::Exclamation);
    }
}

} // namespace

void storeKeywords(AppState& state, Recordset& rs, const QString& keywords) {
    const bool runHead = rs.Fields(Field::CDDescription).has_value();
    if (runHead && keywords != rs.Fields(Field::CDKeywords).value_or(QString()) &&
        state.prompt().ask(QStringLiteral("Warning: This Keyword entry is for the whole Volume"),
                           Buttons::OkCancel, Icon::None) == Answer::Cancel)
        return;
    editRecord(state, rs, [&] {
        rs.setField(Field::CDKeywords, keywords.toUpper()); // empty text is stored as Null
    });
}

void storeDescription(AppState& state, Recordset& rs, const QString& description) {
    if (description.isEmpty()) {
        state.prompt().tell(QStringLiteral("Sorry you cannot delete a description!"));
    } else {
        if (!rs.Fields(Field::CDDescription))
            rs.FindPrevious(Criterion::NotNull(Field::CDDescription));
        // A catalogue without a description before the record has no run to
        // describe; the record itself is not made into a volume head.
        if (rs.Fields(Field::CDDescription))
            editRecord(state, rs,
                       [&] { rs.setField(Field::CDDescription, description.toUpper()); });
    }
    rs.setBookmark(state.CurrentPosition);
}

} // namespace orvik
