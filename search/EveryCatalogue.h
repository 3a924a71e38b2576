// A query over every catalogue of the application folder at once.
#pragma once

#include <QString>
#include <functional>

namespace orvik {

class AppState;

// Runs `query` for each catalogue of the application folder, in name order,
// with that catalogue current in `state` and open on a connection of its own:
// the queries read it as they read the current catalogue, through its own
// file index. A catalogue that cannot be read (a file the user may not read,
// a file that is no catalogue) is handed to `skipped` with the reason, and
// the rest still run. A query that answers false ends the run. Afterwards the
// current catalogue is the one before, open as it was. False when the folder
// holds no catalogue.
bool queryEveryCatalogue(
    AppState& state, const std::function<bool(const QString& name)>& query,
    const std::function<void(const QString& name, const QString& reason)>& skipped);

} // namespace orvik
