#include "core/platform/LinuxDrives.h"

#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <linux/magic.h>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace orvik {

namespace {

const QSet<QString> PseudoFileSystems = {
    "proc",       "sysfs",    "devtmpfs", "devpts",    "cgroup",      "cgroup2",
    "securityfs", "pstore",   "bpf",      "tracefs",   "debugfs",     "mqueue",
    "hugetlbfs",  "configfs", "fusectl",  "autofs",    "binfmt_misc", "efivarfs",
    "rpc_pipefs", "nsfs",     "squashfs", "selinuxfs", "fuse.portal", "fuse.gvfsd-fuse"};
const QSet<QString> RemoteFileSystems = {"nfs",       "nfs4",        "cifs",  "smb3",       "smbfs",
                                         "sshfs",     "fuse.sshfs",  "9p",    "afs",        "ceph",
                                         "glusterfs", "fuse.rclone", "davfs", "fuse.davfs2"};

// mountinfo escapes blanks and backslashes as octal.
QString unescape(const QString& field) {
    QString out;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool underSystemFolder(const QString& mountPoint) {
    for (const char* folder : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"}) {
        const QString f = QString::fromLatin1(folder);
        if (mountPoint == f || mountPoint.startsWith(f + '/'))
            return !mountPoint.startsWith(QStringLiteral("/run/media/"));
    }
    return false;
}

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path.isEmpty() ? SystemDrive : path;
}

bool isRemovableDevice(const QString& source) {
    if (!source.startsWith(QStringLiteral("/dev/"))) return false;
    const QString name = QFileInfo(source).canonicalFilePath().section('/', -1);
    QString block = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (block.isEmpty()) return false;
    // A partition's removable flag lives on its disk.
    if (QFileInfo::exists(block + QStringLiteral("/partition"))) block = QFileInfo(block).path();
    QFile flag(block + QStringLiteral("/removable"));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

// The type of the drive holding `path` from its file system's magic number,
// fixed unless that tells otherwise; nullopt when the path cannot be reached.
std::optional<int> statfsType(const QString& path) {
    struct statfs info {};
    if (::statfs(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    switch (std::uint32_t(info.f_type)) {
    case ISOFS_SUPER_MAGIC:
    case UDF_SUPER_MAGIC:
        return DriveCdRom;
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
        return DriveRamDisk;
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case V9FS_MAGIC:
    case AFS_FS_MAGIC:
    case CEPH_SUPER_MAGIC:
        return DriveRemote;
    default:
        return DriveFixed;
    }
}

// The name in /dev/disk/by-uuid of the block device `device`; "" when none
// names it (a tmpfs, an overlay, a network share).
QString uuidOf(dev_t device) {
    const QString folder = QStringLiteral("/dev/disk/by-uuid/");
    for (const QString& name : QDir(folder).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        struct stat link {};
        if (::stat(QFile::encodeName(folder + name).constData(), &link) == 0 &&
            S_ISBLK(link.st_mode) && link.st_rdev == device)
            return name;
    }
    return {};
}

} // namespace

LinuxDrives::LinuxDrives(QString mountInfoText) : m_fixedText(std::move(mountInfoText)) {}

std::vector<LinuxDrives::Mount> LinuxDrives::parseMountInfo(const QString& text) {
    std::vector<Mount> mounts;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
        const qsizetype dash = fields.indexOf(QStringLiteral("-"));
        if (fields.size() < 5 || dash < 0 || dash + 2 >= fields.size()) continue;
        mounts.push_back({unescape(fields[4]), fields[dash + 1], unescape(fields[dash + 2]),
                          unescape(fields[3]), fields[2]});
    }
    return mounts;
}

int LinuxDrives::typeOf(const Mount& mount) {
    if (RemoteFileSystems.contains(mount.fsType)) return DriveRemote;
    if (mount.fsType == "iso9660" || mount.fsType == "udf" ||
        mount.source.startsWith(QStringLiteral("/dev/sr")))
        return DriveCdRom;
    if (mount.fsType == "tmpfs" || mount.fsType == "ramfs") return DriveRamDisk;
    if (isRemovableDevice(mount.source)) return DriveRemovable;
    return DriveFixed;
}

QString LinuxDrives::mountInfoText() const {
    if (!m_fixedText.isEmpty()) return m_fixedText;
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::vector<LinuxDrives::Mount> LinuxDrives::userMounts() const {
    std::vector<Mount> mounts;
    for (const Mount& m : parseMountInfo(mountInfoText())) {
        if (PseudoFileSystems.contains(m.fsType) || underSystemFolder(m.mountPoint)) continue;
        // Bind mounts of single files (containers do this) are no drives.
        if (m_fixedText.isEmpty() && !QFileInfo(m.mountPoint).isDir()) continue;
        // A later mount on the same point hides the earlier one.
        std::erase_if(mounts, [&](const Mount& o) { return o.mountPoint == m.mountPoint; });
        mounts.push_back(m);
    }
    return mounts;
}

const LinuxDrives::Mount* LinuxDrives::coveringMount(const std::vector<Mount>& mounts,
                                                     const QString& path) {
    const QString target = withoutTrailingSlash(path);
    const Mount* best = nullptr;
    for (const Mount& m : mounts) {
        const QString& point = m.mountPoint;
        const bool inside =
            target.compare(point, Qt::CaseInsensitive) == 0 ||
            (target.startsWith(point == SystemDrive ? point : point + '/', Qt::CaseInsensitive));
        if (inside && (!best || point.size() > best->mountPoint.size())) best = &m;
    }
    return best;
}

QStringList LinuxDrives::mountPoints() const {
    const std::vector<Mount> mounts = userMounts();
    QStringList points;
    for (const Mount& m : mounts)
        points << m.mountPoint;
    if (!coveringMount(mounts, SystemDrive) && statfsType(SystemDrive)) points << SystemDrive;
    points.sort();
    return points;
}

int LinuxDrives::driveType(const QString& root) const {
    const QString wanted = withoutTrailingSlash(root);
    const std::vector<Mount> mounts = userMounts();
    auto exact = std::find_if(mounts.begin(), mounts.end(),
                              [&](const Mount& m) { return m.mountPoint == wanted; });
    if (exact == mounts.end())
        exact = std::find_if(mounts.begin(), mounts.end(), [&](const Mount& m) {
            return m.mountPoint.compare(wanted, Qt::CaseInsensitive) == 0;
        });
    if (exact != mounts.end()) return typeOf(*exact);
    if (coveringMount(mounts, wanted)) return DriveNoRootDir;
    return QFileInfo(wanted).isDir() ? statfsType(wanted).value_or(DriveNoRootDir) : DriveNoRootDir;
}

QString LinuxDrives::driveOf(const QString& path) const {
    const std::vector<Mount> mounts = userMounts();
    const Mount* mount = coveringMount(mounts, path);
    return mount ? mount->mountPoint : SystemDrive;
}

QString LinuxDrives::volumeLabel(const QString& path) const {
    if (!QFileInfo(path).isDir()) throw Error(ENOENT, QStringLiteral("Path not found: ") + path);
    if (!coveringMount(userMounts(), path)) {
        if (!statfsType(path)) throw Error(EIO, QStringLiteral("Device not ready: ") + path);
        return QString(); // a file system the mount table does not name has no label known
    }
    const QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady())
        throw Error(EIO, QStringLiteral("Device not ready: ") + path);
    return storage.name();
}

// The mount is matched by device and mount point, so a file system mounted
// twice or bound elsewhere tells the same place from either.
FileSystemFacts LinuxDrives::fileSystemFacts(const QString& path) const {
    const QString real = QFileInfo(path).canonicalFilePath();
    struct stat info {};
    struct statvfs space {};
    if (real.isEmpty() || ::stat(QFile::encodeName(real).constData(), &info) != 0 ||
        ::statvfs(QFile::encodeName(real).constData(), &space) != 0)
        throw Error(ENOENT, QStringLiteral("Path not found: ") + path);
    FileSystemFacts facts;
    facts.totalBytes = std::int64_t(space.f_blocks) * std::int64_t(space.f_frsize);
    facts.freeBytes = std::int64_t(space.f_bavail) * std::int64_t(space.f_frsize);
    facts.uuid = uuidOf(info.st_dev);
    facts.place = real;
    const QString device = QStringLiteral("%1:%2").arg(major(info.st_dev)).arg(minor(info.st_dev));
    std::vector<Mount> same;
    for (const Mount& m : parseMountInfo(mountInfoText()))
        if (m.device == device) same.push_back(m);
    if (const Mount* mount = coveringMount(same, real)) {
        facts.type = mount->fsType;
        const QString below =
            real.mid(mount->mountPoint == SystemDrive ? 0 : mount->mountPoint.size());
        facts.place = QDir::cleanPath(mount->root + '/' + below);
    }
    return facts;
}

} // namespace orvik
