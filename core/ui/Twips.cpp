#include "core/ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace orvik::twips {

namespace {
const QScreen* screenOf(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}
} // namespace

double dpiX(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

double fromPixelsX(double pixels, const QWidget* widget) {
    return pixels * PerInch / dpiX(widget);
}
double fromPixelsY(double pixels, const QWidget* widget) {
    return pixels * PerInch / dpiY(widget);
}
int toPixelsX(double twips, const QWidget* widget) {
    return int(std::lround(twips * dpiX(widget) / PerInch));
}
int toPixelsY(double twips, const QWidget* widget) {
    return int(std::lround(twips * dpiY(widget) / PerInch));
}

QSize sizeHolding(double width, double height, const QWidget* widget) {
    return {int(std::ceil(width * dpiX(widget) / PerInch)),
            int(std::ceil(height * dpiY(widget) / PerInch))};
}

double screenWidth(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return screen ? fromPixelsX(screen->geometry().width(), widget) : 0;
}

double screenHeight(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return screen ? fromPixelsY(screen->geometry().height(), widget) : 0;
}

} // namespace orvik::twips
