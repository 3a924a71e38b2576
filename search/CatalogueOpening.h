// Opening the current catalogue for the search window: an empty catalogue is
// created when its file is missing, then the shared dynaset is opened.
#pragma once

#include <memory>

namespace orvik {

class AppState;
namespace engine {
class Catalogue;
}

// Throws orvik::Error when the catalogue cannot be opened.
std::shared_ptr<engine::Catalogue> openCurrentCatalogue(AppState& state);

} // namespace orvik
