// The catalogue files this process has open, and the connections on each.
// Linux lets an open file be deleted, so deleting a catalogue asks here first
// instead of losing it.
#pragma once

#include <QString>

namespace orvik::engine {
class Catalogue;
}

namespace orvik::engine::OpenFiles {

void add(const QString& absolutePath, Catalogue* connection);
void remove(const QString& absolutePath, Catalogue* connection);
bool isOpen(const QString& path);

} // namespace orvik::engine::OpenFiles
