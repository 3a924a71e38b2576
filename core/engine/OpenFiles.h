// The catalogue files this process has open, and the connections on each.
// Linux lets an open file be deleted, so deleting a catalogue asks here first
// instead of losing it; a writer asks the other connections on its file to let
// go of their read locks before it needs the file to itself.
#pragma once

#include <QString>
#include <vector>

namespace orvik::engine {
class Database;
}

namespace orvik::engine::OpenFiles {

void add(const QString& absolutePath, Database* connection);
void remove(const QString& absolutePath, Database* connection);
bool isOpen(const QString& path);
// The other connections of this process on the same file.
std::vector<Database*> others(const QString& absolutePath, const Database* connection);

} // namespace orvik::engine::OpenFiles
