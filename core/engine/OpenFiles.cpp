#include "core/engine/OpenFiles.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <mutex>

namespace orvik::engine::OpenFiles {

namespace {
std::mutex guard;
QHash<QString, std::vector<Catalogue*>>& connections() {
    static QHash<QString, std::vector<Catalogue*>> open;
    return open;
}
} // namespace

void add(const QString& absolutePath, Catalogue* connection) {
    std::lock_guard lock(guard);
    connections()[absolutePath].push_back(connection);
}

void remove(const QString& absolutePath, Catalogue* connection) {
    std::lock_guard lock(guard);
    auto it = connections().find(absolutePath);
    if (it == connections().end()) return;
    std::erase(it.value(), connection);
    if (it.value().empty()) connections().erase(it);
}

bool isOpen(const QString& path) {
    std::lock_guard lock(guard);
    return connections().contains(QFileInfo(path).absoluteFilePath());
}

} // namespace orvik::engine::OpenFiles
