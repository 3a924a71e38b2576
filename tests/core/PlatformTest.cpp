#include "core/Error.h"
#include "core/platform/DesktopShell.h"
#include "core/platform/FileSystem.h"
#include "core/platform/LinuxDrives.h"
#include "core/platform/LinuxFileSystem.h"
#include "tests/support/FullDisk.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik;
using orvik::test::FullDisk;
using orvik::test::makeFile;

namespace {

const char* MountInfo = "22 1 0:21 / / rw,relatime - overlay overlay rw\n"
                        "23 22 0:22 / /proc rw - proc proc rw\n"
                        "24 22 0:23 / /dev rw - devtmpfs udev rw\n"
                        "25 22 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
                        "26 22 0:40 / /mnt/nas rw - nfs4 server:/export rw\n"
                        "27 22 0:41 / /tmp rw - tmpfs tmpfs rw\n"
                        "28 22 0:42 / /run/user/0 rw - tmpfs tmpfs rw\n"
                        "29 22 0:43 / /media/My\\040Disc ro - udf /dev/sr1 ro\n"
                        "30 22 0:44 / /snap/core/1 ro - squashfs /dev/loop0 ro\n";

QStringList names(const std::vector<DirEntry>& entries, bool directories) {
    QStringList out;
    for (const DirEntry& e : entries)
        if (e.isDirectory == directories) out << e.name;
    out.sort();
    return out;
}

} // namespace

TEST(Platform, mountTableGivesUserDrivesWithTheirTypes) {
    LinuxDrives drives{QString::fromLatin1(MountInfo)};
    EXPECT_EQ(drives.mountPoints(),
              QStringList({"/", "/media/My Disc", "/media/cdrom", "/mnt/nas", "/tmp"}));
    EXPECT_EQ(drives.driveType("/"), DriveFixed);
    EXPECT_EQ(drives.driveType(""), DriveFixed);
    EXPECT_EQ(drives.driveType("/MEDIA/CDROM/"), DriveCdRom);
    EXPECT_EQ(drives.driveType("/media/my disc"), DriveCdRom);
    EXPECT_EQ(drives.driveType("/mnt/nas"), DriveRemote);
    EXPECT_EQ(drives.driveType("/tmp"), DriveRamDisk);
    EXPECT_EQ(drives.driveType("Q:"), DriveNoRootDir);
    EXPECT_EQ(drives.driveType("/proc"), DriveNoRootDir);
    EXPECT_EQ(drives.driveOf("/media/cdrom/GAMES/QUAKE"), "/media/cdrom");
    EXPECT_EQ(drives.driveOf("/media/cdromx"), "/");
}

TEST(Platform, aFolderNoMountEntryCoversIsOnADriveTypedByItsFileSystemWithoutLabel) {
    // A chroot's table: only what was mounted inside it, so not "/".
    const LinuxDrives drives{"48 46 0:21 / /proc rw,relatime - proc proc rw\n"};
    QTemporaryDir dir;
    EXPECT_EQ(drives.mountPoints(), QStringList({SystemDrive}));
    EXPECT_EQ(drives.driveType(SystemDrive), DriveFixed);
    EXPECT_EQ(drives.driveOf(dir.path()), SystemDrive);
    EXPECT_EQ(drives.volumeLabel(dir.path()), "");
    EXPECT_THROW(drives.volumeLabel(dir.path() + "/missing"), Error);

    FullDisk ram(dir.path() + "/ram");
    if (!ram.failure().empty()) GTEST_SKIP() << ram.failure();
    EXPECT_EQ(drives.driveType(dir.path() + "/ram"), DriveRamDisk);
}

TEST(Platform, listingSkipsHiddenSystemAndLinkedDirectories) {
    QTemporaryDir dir;
    const QString root = dir.path();
    // Hidden entries, pipes and names that are no UTF-8 are left to the add's tests.
    makeFile(root + "/plain.txt", 5);
    QDir(root).mkpath("sub/deeper");
    ASSERT_EQ(symlink("plain.txt", QFile::encodeName(root + "/link.txt").constData()), 0);
    ASSERT_EQ(symlink("..", QFile::encodeName(root + "/sub/loop").constData()), 0);
    ASSERT_EQ(symlink("nowhere", QFile::encodeName(root + "/broken").constData()), 0);

    LinuxFileSystem fs;
    const auto entries = fs.list(root);
    EXPECT_EQ(names(entries, true), QStringList({"sub"}));
    EXPECT_EQ(names(entries, false), QStringList({"link.txt", "plain.txt"}));
    for (const DirEntry& e : entries)
        EXPECT_TRUE(e.name != "link.txt" || e.size == 5)
            << "a link to a file stands for its target";
    EXPECT_EQ(names(fs.list(root + "/sub"), true), QStringList({"deeper"}));
    EXPECT_THROW(fs.list(root + "/missing"), Error);
    // /proc is a file system of its own under every root; /etc lies on the root's.
    QHash<QString, bool> elsewhere;
    for (const DirEntry& e : fs.list("/"))
        elsewhere.insert(e.name, e.otherFileSystem);
    EXPECT_TRUE(elsewhere.value("proc"));
    EXPECT_FALSE(elsewhere.value("etc", true));
}

// The add looking inside archives lists names only and examines each file
// as it opens it: whatever has become of the entry meanwhile, it must come
// out as a listing would have it.
TEST(Platform, aFileListedUnexaminedIsExaminedOpenAsAListingExaminesIt) {
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char* name : {"file", "gone", "piped", "linked", "now a directory"})
        makeFile(root + '/' + name, 7, 1000000000);
    makeFile(root + "/target", 3);

    LinuxFileSystem fs;
    std::vector<DirEntry> entries = fs.listUnexamined(root);

    auto path = [&](const char* name) { return QFile::encodeName(root + '/' + name); };
    ASSERT_EQ(::unlink(path("gone")), 0);
    ASSERT_EQ(::unlink(path("piped")), 0);
    ASSERT_EQ(::mkfifo(path("piped"), 0644), 0); // opened, it must not wait for a writer
    ASSERT_EQ(::unlink(path("linked")), 0);
    ASSERT_EQ(symlink("target", path("linked").constData()), 0);
    ASSERT_EQ(::unlink(path("now a directory")), 0);
    ASSERT_EQ(::mkdir(path("now a directory"), 0755), 0);

    const int directory = ::open(QFile::encodeName(root).constData(), O_PATH | O_DIRECTORY);
    const auto closeDirectory = qScopeGuard([directory] { ::close(directory); });
    QHash<QString, DirEntry> kept;
    QStringList gone;
    for (DirEntry& e : entries) {
        if (e.examined) continue;
        const OpenedEntry opened = openUnexamined(directory, e);
        if (opened.fd >= 0) ::close(opened.fd);
        EXPECT_FALSE(opened.failed) << e.name.toStdString();
        if (opened.gone)
            gone << e.name;
        else
            kept.insert(e.name, e);
    }
    gone.sort();
    EXPECT_EQ(gone, QStringList({"gone", "now a directory", "piped"}));
    for (const DirEntry& listed : fs.list(root)) {
        if (listed.isDirectory) continue;
        ASSERT_TRUE(kept.contains(listed.name)) << listed.name.toStdString();
        const DirEntry& examined = kept.value(listed.name);
        EXPECT_TRUE(examined.examined);
        EXPECT_EQ(examined.size, listed.size) << listed.name.toStdString();
        EXPECT_EQ(examined.modified, listed.modified) << listed.name.toStdString();
    }
    EXPECT_EQ(kept.value("linked").size, 3) << "a link stands for its target";
}

TEST(Platform, storedUpperCasePathsResolveToTheRealNamesAndALaunchTellsWhatIsMissing) {
    QTemporaryDir dir;
    makeFile(dir.path() + "/Games/Quake/ReadMe.txt");
    const QString folder = dir.path().toUpper() + "/";
    EXPECT_EQ(resolvePath(folder + "GAMES/QUAKE/README.TXT"),
              dir.path() + "/Games/Quake/ReadMe.txt");
    EXPECT_EQ(resolvePath(folder + "GAMES/DOOM/"), "");
    DesktopShell shell;
    EXPECT_EQ(shell.open(folder + "NONE.TXT", folder), shellresult::FileNotFound);
    EXPECT_EQ(shell.open(folder + "GONE/NONE.TXT", folder + "GONE/"), shellresult::PathNotFound);
}

TEST(Platform, aTmpfsHasNoUuidAndItsPlaceIsTheSameThroughABindMount) {
    QTemporaryDir dir;
    const QString disk = dir.path() + "/disk", bound = dir.path() + "/bound";
    FullDisk tmpfs(disk, 1024 * 1024);
    if (!tmpfs.failure().empty()) GTEST_SKIP() << tmpfs.failure();
    makeFile(disk + "/sub/deeper/a.txt", 1);
    ASSERT_TRUE(QDir().mkpath(bound));
    ASSERT_EQ(::mount(QFile::encodeName(disk + "/sub").constData(),
                      QFile::encodeName(bound).constData(), nullptr, MS_BIND, nullptr),
              0);
    const auto unbind = qScopeGuard([&] { ::umount2(QFile::encodeName(bound).constData(), 0); });

    const LinuxDrives drives;
    const FileSystemFacts top = drives.fileSystemFacts(disk);
    EXPECT_EQ(top.uuid, "");
    EXPECT_EQ(top.type, "tmpfs");
    EXPECT_EQ(top.place, "/");
    EXPECT_EQ(top.totalBytes, 1024 * 1024);
    EXPECT_GT(top.freeBytes, 0);
    EXPECT_EQ(drives.fileSystemFacts(disk + "/sub/deeper/").place, "/sub/deeper");
    EXPECT_EQ(drives.fileSystemFacts(bound + "/deeper").place, "/sub/deeper");
    EXPECT_THROW(drives.fileSystemFacts(disk + "/missing"), Error);
}
