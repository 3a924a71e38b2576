// Writes a window's place and size to the settings in twips, under the keys
// PREFIXHeight, PREFIXWidth, PREFIXTop and PREFIXLeft.
#pragma once

#include <QString>

class QWidget;

namespace orvik {

class Settings;

void saveWindowGeometry(Settings& settings, const QString& prefix, const QWidget& window);

} // namespace orvik
