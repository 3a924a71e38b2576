#include "core/platform/LinuxFileSystem.h"

#include "core/Error.h"
#include "core/platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace orvik {

namespace {

[[noreturn]] void failListing(int code, const QString& path) {
    const QString text = QString::fromLocal8Bit(std::strerror(code)) + QStringLiteral(": ") + path;
    if (code == EACCES || code == EPERM) throw AccessDenied(code, text);
    if (code == ENAMETOOLONG) throw PathTooLong(code, text);
    throw Error(code, text);
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Examines the entry `name` of the directory open as `fd`: a link stands for
// its target file, and one to anything else, or broken, counts as gone.
// 0, or the errno: ENOENT for an entry gone since it was listed.
int examine(int fd, const char* name, struct stat& info) {
    if (fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISLNK(info.st_mode) && (fstatat(fd, name, &info, 0) != 0 || !S_ISREG(info.st_mode)))
        return ENOENT;
    return 0;
}

} // namespace

std::vector<DirEntry> LinuxFileSystem::listEntries(const QString& directory,
                                                   bool examineFiles) const {
    std::unique_ptr<DIR, DirCloser> dir(opendir(encodeFileName(directory).constData()));
    if (!dir) failListing(errno, directory);
    const int fd = dirfd(dir.get());
    struct stat here {};
    if (fstat(fd, &here) != 0) failListing(errno, directory);
    const QString prefix = directory.endsWith('/') ? directory : directory + '/';
    std::vector<DirEntry> entries;
    bool unexamined = false;
    for (;;) {
        errno = 0;
        const dirent* item = readdir(dir.get());
        if (!item) {
            if (errno != 0) failListing(errno, directory);
            break;
        }
        // Hidden entries, and with them "." and "..".
        if (item->d_name[0] == '.') continue;
        const unsigned char type = item->d_type;
        if (type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK) continue;
        if (type == DT_REG && !examineFiles) {
            DirEntry entry{decodeFileName(item->d_name)};
            entry.examined = false;
            entries.push_back(std::move(entry));
            unexamined = true;
            continue;
        }
        struct stat info {};
        if (const int error = examine(fd, item->d_name, info)) {
            if (error == ENOENT) continue;
            failListing(error, prefix + decodeFileName(item->d_name));
        }
        if (S_ISDIR(info.st_mode)) {
            DirEntry entry{decodeFileName(item->d_name), true};
            entry.otherFileSystem = info.st_dev != here.st_dev;
            entries.push_back(std::move(entry));
        } else if (S_ISREG(info.st_mode)) {
            entries.push_back(
                {decodeFileName(item->d_name), false, std::int64_t(info.st_size), info.st_mtime});
        }
    }
    // A directory that cannot be searched fails list() on its first file;
    // its "." is refused alike, so it fails here, in the listings' order,
    // rather than once a file is opened.
    struct stat self {};
    if (unexamined && fstatat(fd, ".", &self, 0) != 0) failListing(errno, directory);
    return entries;
}

OpenedEntry openUnexamined(int directory, DirEntry& entry) {
    const QByteArray name = encodeFileName(entry.name);
    OpenedEntry opened;
    // Not through a link, nor waiting on what has taken a file's place: an
    // entry that is no longer a file is examined by name as list() does.
    opened.fd = ::openat(directory, name.constData(),
                         O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    struct stat info {};
    const int error = opened.fd >= 0 ? (::fstat(opened.fd, &info) == 0 ? 0 : errno)
                                     : examine(directory, name.constData(), info);
    if (error != 0 || !S_ISREG(info.st_mode)) {
        if (opened.fd >= 0) ::close(opened.fd);
        opened.fd = -1;
        (error == 0 || error == ENOENT ? opened.gone : opened.failed) = true;
        return opened;
    }
    entry.size = info.st_size;
    entry.modified = info.st_mtime;
    entry.examined = true;
    return opened;
}

QString formatFileDate(std::int64_t secondsSinceEpoch) {
    const std::time_t time = std::time_t(secondsSinceEpoch);
    std::tm local{};
    localtime_r(&time, &local);
    const int year = local.tm_year + 1900;
    if (year < 0 || year > 9999) {
        char text[64];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        return QString::fromLatin1(text);
    }
    // Written digit by digit: an add formats one date per file.
    char16_t text[19];
    auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = char16_t(u'0' + value % 10);
    };
    put(0, year, 4);
    text[4] = u'-';
    put(5, local.tm_mon + 1, 2);
    text[7] = u'-';
    put(8, local.tm_mday, 2);
    text[10] = u' ';
    put(11, local.tm_hour, 2);
    text[13] = u':';
    put(14, local.tm_min, 2);
    text[16] = u':';
    put(17, local.tm_sec, 2);
    return QString(reinterpret_cast<const QChar*>(text), 19);
}

QString resolvePath(const QString& storedPath) {
    if (!storedPath.startsWith('/')) return {};
    QString real = QStringLiteral("/");
    const QStringList parts = storedPath.split('/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString exact = QDir(real).filePath(part);
        if (QFile::exists(exact)) {
            real = exact;
            continue;
        }
        QString found;
        const QStringList names = QDir(real).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names)
            if (name.toUpper() == part.toUpper()) {
                found = name;
                break;
            }
        if (found.isEmpty()) return {};
        real = QDir(real).filePath(found);
    }
    return real;
}

} // namespace orvik
