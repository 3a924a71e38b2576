#include "search/VolumeErase.h"

#include "core/AppState.h"
#include "core/Error.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/Recordset.h"

#include <limits>

namespace orvik {

namespace {

const QString CantDelete =
    QStringLiteral("Can't open table or delete records in catalogue database.");

// The chosen record and every record after it up to the next volume head,
// in one statement over their rowids; the recordset ends on that head.
int deleteRun(AppState& state, engine::Recordset& rs) {
    rs.setBookmark(state.CurrentPosition);
    const std::int64_t first = rs.Bookmark().toLongLong();
    rs.FindNext(engine::Criterion::NotNull(engine::Field::CDVolume));
    const std::int64_t last =
        rs.NoMatch() ? std::numeric_limits<std::int64_t>::max() : rs.Bookmark().toLongLong() - 1;
    return engine::deleteRecords(*rs.database(), first, last);
}

void reopen(AppState& state, std::shared_ptr<engine::Catalogue>& searchDatabase) {
    searchDatabase = state.workspace().OpenDatabase(state.catalogueFile());
    state.CatalogueRecordset =
        std::make_shared<engine::Recordset>(searchDatabase, engine::RecordsetType::Dynaset);
}

} // namespace

int eraseVolume(AppState& state, Progress& progress,
                std::shared_ptr<engine::Catalogue>& searchDatabase,
                const std::function<bool()>& waitingForWriter) {
    progress.status(QStringLiteral("Deleting CD ..."));
    engine::Workspace& workspace = state.workspace();
    int deleted = 0;
    std::shared_ptr<engine::Catalogue> database;
    try {
        if (!state.CatalogueRecordset)
            throw Error(errors::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
        database = state.CatalogueRecordset->database();
        // One transaction: a failure or a kill half-way leaves the run whole.
        // It holds the write lock before it reads, so an add of another
        // program is waited for rather than refused at the first deletion.
        engine::Transaction transaction(*database, waitingForWriter);
        if (!transaction) return -1;
        deleted = deleteRun(state, *state.CatalogueRecordset);
        transaction.commit();
        progress.status(QStringLiteral(" CD deleted from catalogue - now compressing ..."));
        state.CatalogueRecordset.reset();
    } catch (const Error& error) {
        state.prompt().reportError(error, CantDelete);
        return -1;
    }
    try {
        workspace.CompactInPlace(*database);
    } catch (const Error&) {
        // Uncompacted, with the run deleted: the space is given back at a later erase.
    }
    // Every recordset on the catalogue goes; the windows open it afresh.
    workspace.Close();
    try {
        try {
            reopen(state, searchDatabase);
        } catch (const Error&) {
            reopen(state, searchDatabase); // once more, as a medium may need a moment
        }
    } catch (const Error& error) {
        searchDatabase.reset();
        state.prompt().reportError(error, QStringLiteral("Can't open catalogue database."));
    }
    return deleted;
}

} // namespace orvik
