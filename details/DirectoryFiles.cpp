#include "details/DirectoryFiles.h"

#include "core/AppState.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"

namespace orvik {

using engine::Criterion;
using engine::Field;

DirectoryListing listDirectory(AppState& state, engine::Recordset& rs) {
    if (!rs.Fields(Field::CDPath)) rs.FindPrevious(Criterion::NotNull(Field::CDPath));
    if (rs.BOF()) rs.setBookmark(state.CurrentPosition);
    if (!rs.Fields(Field::CDPath)) rs.setBookmark(state.CurrentPosition);

    DirectoryListing listing;
    {
        // One read of the whole directory, however many files it has.
        engine::ReadHold hold(*rs.database());
        bool nextHead = false;
        while (!nextHead && !rs.Eof()) {
            auto text = [&](Field field) { return rs.Fields(field).value_or(QString()); };
            listing.files.push_back(
                {text(Field::CDFile), text(Field::CDFileDate), text(Field::CDFileLen)});
            // By position, not by name: upper-cased names of one directory can repeat.
            if (rs.Bookmark() == state.CurrentPosition)
                listing.currentRow = int(listing.files.size()) - 1;
            rs.MoveNext();
            nextHead = !rs.Eof() && !text(Field::CDPath).isEmpty();
        }
    }
    rs.setBookmark(state.CurrentPosition);
    return listing;
}

} // namespace orvik
