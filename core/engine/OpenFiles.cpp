#include "engine/OpenFiles.h"

#include <QFileInfo>
#include <QHash>
#include <mutex>

namespace orvik::engine::OpenFiles {

namespace {
std::mutex guard;
QHash<QString, int>& counts() {
    static QHash<QString, int> open;
    return open;
}
} // namespace

void add(const QString& absolutePath) {
    std::lock_guard lock(guard);
    ++counts()[absolutePath];
}

void remove(const QString& absolutePath) {
    std::lock_guard lock(guard);
    auto it = counts().find(absolutePath);
    if (it != counts().end() && --it.value() <= 0)
        counts().erase(it);
}

bool isOpen(const QString& path) {
    std::lock_guard lock(guard);
    return counts().contains(QFileInfo(path).absoluteFilePath());
}

} // namespace orvik::engine::OpenFiles
