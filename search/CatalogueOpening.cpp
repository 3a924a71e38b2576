#include "CatalogueOpening.h"

#include "AppState.h"
#include "CatalogueFiles.h"
#include "engine/Database.h"
#include "engine/Recordset.h"

namespace orvik {

std::shared_ptr<engine::Database> openCurrentCatalogue(AppState& state) {
    if (!catalogueExists(state.catalogueFile())) {
        int status = 1;
        CreateCatalogue(state, status);
    }
    auto database = state.workspace().OpenDatabase(state.catalogueFile());
    state.CatalogueRecordset =
        std::make_shared<engine::Recordset>(database, engine::RecordsetType::Dynaset);
    return database;
}

} // namespace orvik
