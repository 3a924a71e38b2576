// Opening the current catalogue for the search window: an empty catalogue is
// created when its file is missing, then the shared dynaset is opened.
#pragma once

#include <memory>

namespace orvik {

class AppState;
namespace engine {
class Database;
}

// Throws orvik::Error when the catalogue cannot be opened.
std::shared_ptr<engine::Database> openCurrentCatalogue(AppState& state);

} // namespace orvik
