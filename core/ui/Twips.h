// Window lengths in twips (1440 to the inch), the unit of the stored geometry
// and of the layout rules, converted with the screen's logical DPI.
#pragma once

#include <QSize>

class QWidget;

namespace orvik::twips {

constexpr double PerInch = 1440.0;

double dpiX(const QWidget* widget);
double dpiY(const QWidget* widget);
double fromPixelsX(double pixels, const QWidget* widget);
double fromPixelsY(double pixels, const QWidget* widget);
int toPixelsX(double twips, const QWidget* widget);
int toPixelsY(double twips, const QWidget* widget);

// The fewest pixels that measure at least `width` x `height` twips.
QSize sizeHolding(double width, double height, const QWidget* widget);

// The screen's width and height in twips.
double screenWidth(const QWidget* widget);
double screenHeight(const QWidget* widget);

} // namespace orvik::twips
