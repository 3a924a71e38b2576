// Orvik's icon, the one the menu entry shows, for every window of a run.
#pragma once

#include <QIcon>

namespace orvik {

// The icon's PNG sizes, compiled into the program as a Qt resource.
QIcon appIcon();

} // namespace orvik
