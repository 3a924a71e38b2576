// Mounted file systems play the part of drives: a drive is named by its mount
// point, and "/" stands for the fixed system disk.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace orvik {

enum DriveType : int {
    DriveUnknown = 0,
    DriveNoRootDir = 1,
    DriveRemovable = 2,
    DriveFixed = 3,
    DriveRemote = 4,
    DriveCdRom = 5,
    DriveRamDisk = 6
};

// The drive that stands for the system disk and every fallback to it.
inline const QString SystemDrive = QStringLiteral("/");
// What stands for the label of a volume that has none.
inline const QString NoVolumeLabel = QStringLiteral("*No_Name*");

// What tells a file system apart from another, for the volume's identity.
struct FileSystemFacts {
    QString uuid;  // from /dev/disk/by-uuid (a FAT serial looks like "1A2B-3C4D"); "" when none
    QString type;  // "ext4", "iso9660", "tmpfs"; "" when the mount table does not name it
    QString place; // the path from the file system's own root: "/" for its root
    std::int64_t totalBytes = 0, freeBytes = 0;
};

class Drives {
public:
    virtual ~Drives() = default;
    // Mount points of the volumes that hold user files, in sorted order.
    virtual QStringList mountPoints() const = 0;
    // Type of the drive whose root is `root`, matched to the mount points
    // without regard to case (a trailing "/" is optional; "" is the system
    // drive). A path inside a drive that is no mount point of its own gives
    // DriveNoRootDir.
    virtual int driveType(const QString& root) const = 0;
    // The mount point of the volume holding `path` (longest matching mount point).
    virtual QString driveOf(const QString& path) const = 0;
    // Label of the file system holding `path`, "" when it has none; throws
    // orvik::Error when the path cannot be reached.
    virtual QString volumeLabel(const QString& path) const = 0;
    // The facts of the file system holding the directory `path`; throws
    // orvik::Error when the path cannot be reached.
    virtual FileSystemFacts fileSystemFacts(const QString& path) const = 0;
};

} // namespace orvik
