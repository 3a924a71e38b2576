#include "tests/support/FakeDrives.h"

#include "core/Error.h"
#include "core/platform/LinuxDrives.h"

#include <QDir>
#include <QFileInfo>

namespace orvik::test {

namespace {
QString trimmed(QString path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path.isEmpty() ? SystemDrive : path;
}
} // namespace

QStringList FakeDrives::mountPoints() const {
    QStringList points = types.keys();
    points.sort();
    return points;
}

int FakeDrives::driveType(const QString& root) const {
    const QString wanted = trimmed(root);
    for (auto it = types.begin(); it != types.end(); ++it)
        if (it.key().compare(wanted, Qt::CaseInsensitive) == 0) return it.value();
    return DriveNoRootDir;
}

QString FakeDrives::driveOf(const QString& path) const {
    QString best = SystemDrive;
    for (const QString& point : types.keys())
        if ((path == point || path.startsWith(point == "/" ? point : point + '/')) &&
            point.size() > best.size())
            best = point;
    return best;
}

QString FakeDrives::volumeLabel(const QString& path) const {
    if (!QFileInfo(path).isDir()) throw Error(2, QStringLiteral("Path not found: ") + path);
    return labels.value(driveOf(path));
}

FileSystemFacts FakeDrives::fileSystemFacts(const QString& path) const {
    FileSystemFacts facts = LinuxDrives().fileSystemFacts(path);
    const QString drive = driveOf(path);
    if (uuids.contains(drive)) {
        facts.uuid = uuids.value(drive);
        facts.place = QDir::cleanPath('/' + path.mid(drive == SystemDrive ? 0 : drive.size()));
    }
    return facts;
}

} // namespace orvik::test
