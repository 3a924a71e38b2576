#include "platform/ReplaceFile.h"

#include "Error.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik {

namespace {

[[noreturn]] void fail(int code) {
    throw Error(code, QString::fromLocal8Bit(std::strerror(code)));
}

// A file of its own beside `target`, created with `mode` (less the umask).
int createBeside(const QByteArray& target, QByteArray& name, mode_t mode) {
    for (;;) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
}

// 0 when all of `contents` went to `fd`, else errno.
int writeAll(int fd, const QByteArray& contents) {
    for (qsizetype done = 0; done < contents.size();) {
        const ssize_t written = ::write(fd, contents.constData() + done, contents.size() - done);
        if (written < 0 && errno != EINTR) return errno;
        if (written > 0) done += written;
    }
    return 0;
}

} // namespace

void replaceFile(const QString& path, const QByteArray& contents) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath(); // empty while the file is missing
    const QByteArray target = encodeFileName(canonical.isEmpty() ? path : canonical);
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0;
    // The rename needs only the folder's permission; the file's own must count.
    if (existed && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0) fail(errno);
    if (!existed) QDir().mkpath(info.absolutePath()); // else creating the file says why not

    QByteArray temporary;
    // Until it has the old file's permissions, the new one is the owner's alone.
    const int fd = createBeside(target, temporary, existed ? 0600 : 0666);
    if (fd < 0) fail(errno);
    int code = writeAll(fd, contents);
    if (code == 0 && existed && ::fchmod(fd, old.st_mode & 07777) != 0) code = errno;
    if (code == 0 && ::fsync(fd) != 0) code = errno;
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code == 0 && ::rename(temporary.constData(), target.constData()) != 0) code = errno;
    if (code == 0) return;
    ::unlink(temporary.constData());
    fail(code);
}

} // namespace orvik
