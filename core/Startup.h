// The start-up steps before any window exists: built-in defaults, the default
// drive, the current catalogue's name and the extension filter, settled from
// the settings and written back.
#pragma once

namespace orvik {

class AppState;

void settleStartup(AppState& state);

} // namespace orvik
