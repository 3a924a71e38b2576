#include "search/EveryCatalogue.h"

#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/engine/Recordset.h"

#include <QScopeGuard>

namespace orvik {

namespace {

// Why the catalogue that `state` names cannot be read, or empty when it can:
// opening it reads its schema, and a recordset its first record.
QString unreadable(AppState& state) {
    if (const QString problem = catalogueNameProblem(state.CatalogueName); !problem.isEmpty())
        return problem;
    try {
        state.CatalogueDatabase = state.workspace().OpenDatabase(state.catalogueFile());
        engine::Recordset probe(state.CatalogueDatabase, engine::RecordsetType::Dynaset);
        return {};
    } catch (const Error& error) {
        return error.message();
    }
}

} // namespace

bool queryEveryCatalogue(
    AppState& state, const std::function<bool(const QString& name)>& query,
    const std::function<void(const QString& name, const QString& reason)>& skipped) {
    const auto restore = qScopeGuard([&state, current = state.CatalogueName,
                                      database = std::move(state.CatalogueDatabase),
                                      recordset = std::move(state.CatalogueRecordset)] {
        state.CatalogueName = current;
        state.CatalogueDatabase = database;
        state.CatalogueRecordset = recordset;
    });
    const QStringList names = catalogueNames(state.appFolder());
    QString previous;
    for (const QString& name : names) {
        // NAME.mdb and name.mdb are one catalogue to the program: the one it opens.
        if (name.toUpper() == previous) continue;
        previous = state.CatalogueName = name.toUpper();
        const QString reason = unreadable(state);
        if (!reason.isEmpty())
            skipped(state.CatalogueName, reason);
        else if (!query(state.CatalogueName))
            break;
        // One catalogue open at a time: this one closes before the next opens.
        state.CatalogueRecordset.reset();
        state.CatalogueDatabase.reset();
    }
    return !names.isEmpty();
}

} // namespace orvik
