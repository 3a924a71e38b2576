// Launching through the desktop's default application (xdg-open).
#pragma once

#include "core/platform/Shell.h"

namespace orvik {

class DesktopShell : public Shell {
public:
    int open(const QString& file, const QString& directory) override;
};

} // namespace orvik
