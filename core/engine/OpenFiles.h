// The catalogue files this process has open. Linux lets an open file be
// deleted, so deleting a catalogue asks here first instead of losing it.
#pragma once

#include <QString>

namespace orvik::engine::OpenFiles {

void add(const QString& absolutePath);
void remove(const QString& absolutePath);
bool isOpen(const QString& path);

} // namespace orvik::engine::OpenFiles
