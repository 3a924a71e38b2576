#include "core/ui/WindowGeometry.h"

#include "core/Settings.h"
#include "core/ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace orvik {

namespace {

// Enough of a window to take hold of it: half an inch.
constexpr double MinVisible = 720;

double usableLength(double stored, double design, double largest) {
    return std::isfinite(stored) && stored >= design && stored <= largest ? stored : design;
}

double overlap(double start, double length, double areaStart, double areaLength) {
    return std::min(start + length, areaStart + areaLength) - std::max(start, areaStart);
}

bool showsEnoughOn(const WindowPlace& window, const WindowPlace& screen) {
    return window.top >= screen.top &&
           overlap(window.left, window.width, screen.left, screen.width) >=
               std::min(MinVisible, window.width) &&
           overlap(window.top, window.height, screen.top, screen.height) >=
               std::min(MinVisible, window.height);
}

} // namespace

WindowPlace usablePlace(const WindowPlace& stored, const WindowPlace& design,
                        const std::vector<WindowPlace>& screens) {
    if (screens.empty()) return design;
    double left = screens[0].left, top = screens[0].top;
    double right = left + screens[0].width, bottom = top + screens[0].height;
    for (const WindowPlace& s : screens) {
        left = std::min(left, s.left);
        top = std::min(top, s.top);
        right = std::max(right, s.left + s.width);
        bottom = std::max(bottom, s.top + s.height);
    }
    WindowPlace place = stored;
    place.width = usableLength(stored.width, design.width, right - left);
    place.height = usableLength(stored.height, design.height, bottom - top);
    const bool seen = std::isfinite(stored.left) && std::isfinite(stored.top) &&
                      std::any_of(screens.begin(), screens.end(),
                                  [&](const WindowPlace& s) { return showsEnoughOn(place, s); });
    if (!seen) {
        place.left = design.left;
        place.top = design.top;
    }
    return place;
}

WindowPlace windowPlace(const QWidget& window) {
    return {twips::fromPixelsX(window.x(), &window), twips::fromPixelsY(window.y(), &window),
            twips::fromPixelsX(window.width(), &window),
            twips::fromPixelsY(window.height(), &window)};
}

void restoreWindowGeometry(QWidget& window, const WindowPlace& stored) {
    std::vector<WindowPlace> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens.push_back({twips::fromPixelsX(area.x(), &window),
                           twips::fromPixelsY(area.y(), &window),
                           twips::fromPixelsX(area.width(), &window),
                           twips::fromPixelsY(area.height(), &window)});
    }
    const WindowPlace place = usablePlace(stored, windowPlace(window), screens);
    window.resize(twips::toPixelsX(place.width, &window), twips::toPixelsY(place.height, &window));
    const QPoint corner(twips::toPixelsX(place.left, &window),
                        twips::toPixelsY(place.top, &window));
    if (corner != window.pos()) window.move(corner);
}

std::vector<std::pair<QString, QString>> geometryValues(const QString& prefix,
                                                        const QWidget& window) {
    const WindowPlace place = windowPlace(window);
    return {{prefix + QStringLiteral("Height"), Settings::numberText(place.height)},
            {prefix + QStringLiteral("Width"), Settings::numberText(place.width)},
            {prefix + QStringLiteral("Top"), Settings::numberText(place.top)},
            {prefix + QStringLiteral("Left"), Settings::numberText(place.left)}};
}

void saveWindowGeometry(Settings& settings, const QString& prefix, const QWidget& window) {
    settings.save(geometryValues(prefix, window));
}

} // namespace orvik
