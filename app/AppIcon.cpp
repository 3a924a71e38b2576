#include "app/AppIcon.h"

namespace orvik {

QIcon appIcon() {
    QIcon icon;
    for (const char* size : {"48x48", "64x64", "128x128", "256x256"})
        icon.addFile(
            QStringLiteral(":/orvik/icons/%1/apps/org.orvik.Orvik.png").arg(QLatin1String(size)));
    return icon;
}

} // namespace orvik
