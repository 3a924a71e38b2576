// Drives set up by a test: "a fixed root and CD-ROMs at two mount points"
// without real hardware. Labels come from the map; unknown paths fall back to "".
#pragma once

#include "core/platform/Drives.h"

#include <QMap>

namespace orvik::test {

class FakeDrives : public Drives {
public:
    QMap<QString, int> types;      // mount point -> drive type
    QMap<QString, QString> labels; // mount point -> label
    // mount point -> UUID in place of the real file system's; its place is
    // then the path below that mount point
    QMap<QString, QString> uuids;

    QStringList mountPoints() const override;
    int driveType(const QString& root) const override;
    QString driveOf(const QString& path) const override;
    QString volumeLabel(const QString& path) const override;
    FileSystemFacts fileSystemFacts(const QString& path) const override;
};

} // namespace orvik::test
