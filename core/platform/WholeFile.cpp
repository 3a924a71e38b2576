#include "core/platform/WholeFile.h"

#include "core/Error.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik {

namespace {

// Links followed before giving up, as the kernel does.
constexpr int MaxLinks = 40;

[[noreturn]] void fail(int code, const QString& file) {
    throw Error(code, QString::fromLocal8Bit(std::strerror(code)) + QStringLiteral(": ") + file);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// 0, or the errno of the write that failed (a full disk among them).
int writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return ENOSPC;
        done += written;
    }
    return 0;
}

// Makes the rename itself durable; a folder that cannot be synced costs nothing more.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

QString resolvedFile(const QString& file) {
    QByteArray path = QFile::encodeName(file);
    for (int links = 0;; ++links) {
        struct stat info;
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
        if (links == MaxLinks) fail(ELOOP, file);
        char target[PATH_MAX];
        const ssize_t size = ::readlink(path.constData(), target, sizeof target);
        if (size < 0) fail(errno, file);
        const QByteArray link(target, size);
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    if (name.isEmpty() || name == "." || name == "..") fail(EISDIR, file);
    char folder[PATH_MAX];
    if (!::realpath(folderOf(path).constData(), folder)) fail(errno, file);
    const QByteArray resolved(folder);
    return QFile::decodeName(resolved + (resolved.endsWith('/') ? "" : "/") + name);
}

void writeWholeFile(const QString& file, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(resolvedFile(file));
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) fail(EISDIR, file);
    // The rename needs only the folder's permission; the file's own must count.
    if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        fail(errno, file);
    if (exists && !S_ISREG(existing.st_mode)) {
        // Nothing can be renamed over a device or a pipe, and no file is lost there.
        const int fd = ::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) fail(errno, file);
        int code = writeAll(fd, bytes);
        if (::close(fd) != 0 && code == 0) code = errno;
        if (code != 0) fail(code, file);
        return;
    }

    // Hidden, so no list of files shows a print-out that is not whole yet.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray hidden = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = hidden + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) fail(errno, file);
    }
    if (fd < 0) fail(EEXIST, file);
    int code = writeAll(fd, bytes);
    if (code == 0 && exists)
        ::fchmod(fd, existing.st_mode & 07777); // a replaced file keeps its mode
    if (code == 0 && ::fsync(fd) != 0) code = errno;
    struct stat written;
    if (code == 0 && ::fstat(fd, &written) != 0) code = errno;
    if (code == 0 && written.st_size != bytes.size()) code = EIO;
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code == 0 && std::rename(temporary.constData(), target.constData()) != 0) code = errno;
    if (code != 0) {
        ::unlink(temporary.constData());
        fail(code, file);
    }
    syncFolder(folderOf(target));
}

} // namespace orvik
