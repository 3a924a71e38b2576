// A small file system of a test's own, filled up: a tmpfs mounted over a
// folder (root only), unmounted again when it goes.
#pragma once

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace orvik::test {

class FullDisk {
public:
    static constexpr qint64 BlockSize = 4096;

    // Mounts a tmpfs of `size` bytes over `folder`, made when missing;
    // failure() says why not, for the test to skip.
    explicit FullDisk(const QString& folder, qint64 size = 256 * 1024) : m_folder(folder) {
        const std::string options = "size=" + std::to_string(size);
        if (::geteuid() != 0)
            m_failure = "needs root to mount a small file system";
        else if (!QDir().mkpath(folder) || ::mount("tmpfs", QFile::encodeName(folder).constData(),
                                                   "tmpfs", 0, options.c_str()) != 0)
            m_failure = "cannot mount a tmpfs: " + std::string(std::strerror(errno));
    }
    ~FullDisk() {
        if (m_failure.empty()) ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Empty when the disk is mounted.
    const std::string& failure() const { return m_failure; }

    // Fills the disk with a file of its own until only `freeBlocks` blocks are left.
    void fill(int freeBlocks) {
        const QByteArray filler = QFile::encodeName(m_folder + "/filler");
        ::unlink(filler.constData());
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT, 0644);
        const QByteArray block(BlockSize, 'x');
        qint64 size = 0;
        while (::write(fd, block.constData(), BlockSize) == BlockSize)
            size += BlockSize;
        ::ftruncate(fd, size - freeBlocks * BlockSize);
        ::close(fd);
    }
    // Room again: the filler goes.
    void makeRoom() { QFile::remove(m_folder + "/filler"); }

private:
    QString m_folder;
    std::string m_failure;
};

} // namespace orvik::test
