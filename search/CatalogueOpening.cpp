#include "search/CatalogueOpening.h"

#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"

namespace orvik {

std::shared_ptr<engine::Catalogue> openCurrentCatalogue(AppState& state) {
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
