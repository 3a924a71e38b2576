// Export and import of a named catalogue as the catalogue selection window
// runs them: the format from the file's extension, every outcome told
// through Prompt.
#pragma once

#include <QString>

namespace orvik {

class AppState;
class Progress;
class Prompt;

// True when the file was written whole.
bool exportCatalogueFile(AppState& state, const QString& catalogueName, const QString& file,
                         Progress& progress, Prompt& prompt, const bool& cancelFlag);
// True when the file's records were added to the catalogue.
bool importIntoCatalogue(AppState& state, const QString& catalogueName, const QString& file,
                         Progress& progress, Prompt& prompt, const bool& cancelFlag);

} // namespace orvik
