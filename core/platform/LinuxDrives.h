// Drives on Linux: the mounted file systems of /proc/self/mountinfo that can
// hold user files, typed from their file system and /sys/block. A path no
// entry covers (a chroot's table lists only what was mounted inside it) is on
// a drive all the same, typed by what statfs tells of its file system.
#pragma once

#include "core/platform/Drives.h"

#include <QString>
#include <vector>

namespace orvik {

class LinuxDrives : public Drives {
public:
    struct Mount {
        QString mountPoint;
        QString fsType;
        QString source;
        QString root;   // the directory of its file system mounted there
        QString device; // "major:minor"
    };

    // Reads the mount table afresh on every call: discs come and go.
    LinuxDrives() = default;
    // For tests: a fixed mount table text in the format of /proc/self/mountinfo.
    explicit LinuxDrives(QString mountInfoText);

    QStringList mountPoints() const override;
    int driveType(const QString& root) const override;
    QString driveOf(const QString& path) const override;
    QString volumeLabel(const QString& path) const override;
    FileSystemFacts fileSystemFacts(const QString& path) const override;

    static std::vector<Mount> parseMountInfo(const QString& text);
    static int typeOf(const Mount& mount);

private:
    QString mountInfoText() const;
    std::vector<Mount> userMounts() const;
    // The mount holding `path` (the longest mount point that covers it); null when none does.
    static const Mount* coveringMount(const std::vector<Mount>& mounts, const QString& path);
    QString m_fixedText;
};

} // namespace orvik
