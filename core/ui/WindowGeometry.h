// A window's place and size in twips: written to the settings under the keys
// PREFIXHeight, PREFIXWidth, PREFIXTop and PREFIXLeft, and read back only
// where the window can be seen and used.
#pragma once

#include <QString>
#include <utility>
#include <vector>

class QWidget;

namespace orvik {

class Settings;

// The frame's top-left corner and the inner size, in twips.
struct WindowPlace {
    double left = 0, top = 0, width = 0, height = 0;
};

// The stored place as far as it can be shown on `screens` (their available
// areas, in twips). A width or height that is no number, below the design's
// (the window's smallest) or beyond all screens together becomes the design's;
// a place that puts the top edge above every screen or leaves less than half
// an inch of the window on each becomes the design place.
WindowPlace usablePlace(const WindowPlace& stored, const WindowPlace& design,
                        const std::vector<WindowPlace>& screens);

WindowPlace windowPlace(const QWidget& window);
// Gives `window` the usable part of `stored`, its current place standing for
// the design. A window left at its design place is placed by the window system.
void restoreWindowGeometry(QWidget& window, const WindowPlace& stored);
// The four keys PREFIXHeight, PREFIXWidth, PREFIXTop and PREFIXLeft of the
// window's place in twips, and their saving.
std::vector<std::pair<QString, QString>> geometryValues(const QString& prefix,
                                                        const QWidget& window);
void saveWindowGeometry(Settings& settings, const QString& prefix, const QWidget& window);

} // namespace orvik
