#include "ui/WindowGeometry.h"

#include "Settings.h"
#include "ui/Twips.h"

#include <QWidget>

namespace orvik {

void saveWindowGeometry(Settings& settings, const QString& prefix, const QWidget& window) {
    settings.saveNumber(prefix + QStringLiteral("Height"),
                        twips::fromPixelsY(window.height(), &window));
    settings.saveNumber(prefix + QStringLiteral("Width"),
                        twips::fromPixelsX(window.width(), &window));
    settings.saveNumber(prefix + QStringLiteral("Top"), twips::fromPixelsY(window.y(), &window));
    settings.saveNumber(prefix + QStringLiteral("Left"), twips::fromPixelsX(window.x(), &window));
}

} // namespace orvik
