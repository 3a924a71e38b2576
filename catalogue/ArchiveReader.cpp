#include "catalogue/ArchiveReader.h"

#include "catalogue/ArchiveSignatures.h"
#include "catalogue/FileHasher.h"
#include "core/platform/Descriptor.h"
#include "core/platform/FileNames.h"

#include <QStringList>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik {

namespace {

// Enough for every format's signature, a disc image's at 32 KiB included.
constexpr size_t FirstBlock = 64 * 1024;

struct ArchiveFree {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
using Reader = std::unique_ptr<archive, ArchiveFree>;

// Every format the library reads but these: raw (any file would pass for one),
// empty (a file without bytes) and mtree, a manifest of files lying outside it
// (any text of a word a line passes for one).
Reader newReader() {
    Reader reader(archive_read_new());
    archive* a = reader.get();
    archive_read_support_filter_all(a);
    for (auto support : {archive_read_support_format_7zip, archive_read_support_format_ar,
                         archive_read_support_format_cab, archive_read_support_format_cpio,
                         archive_read_support_format_iso9660, archive_read_support_format_lha,
                         archive_read_support_format_rar, archive_read_support_format_rar5,
                         archive_read_support_format_tar, archive_read_support_format_warc,
                         archive_read_support_format_xar, archive_read_support_format_zip})
        support(a);
    return reader;
}

QString failureOf(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

// Reads at most `wanted` bytes: a file's size, known from its listing, spares
// the read that would find its end.
size_t readFirstBlock(int fd, char* block, size_t wanted) {
    size_t got = 0;
    while (got < wanted) {
        const ssize_t n = ::read(fd, block + got, wanted - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += size_t(n);
    }
    return got;
}

// The archive's file as libarchive reads it after its first block, through
// callbacks as those of archive_read_open_fd but that every read asks
// `stopped` first: passing over a compressed member means decompressing it,
// which for one of terabytes takes hours, and the stop is asked otherwise
// only between members.
struct FileSource {
    int fd;
    char* block;
    const std::function<bool()>& stopped;
};

la_ssize_t readSource(archive* a, void* data, const void** block) {
    const auto* source = static_cast<const FileSource*>(data);
    if (source->stopped && source->stopped()) {
        archive_set_error(a, ECANCELED, "Cancelled");
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(source->fd, source->block, FirstBlock);
        if (n >= 0) {
            *block = source->block;
            return n;
        }
        if (errno != EINTR) {
            archive_set_error(a, errno, "%s", std::strerror(errno));
            return -1;
        }
    }
}

// A member stored without compression is passed over by seeking, but never
// past the file's end, where a seek succeeds as well: libarchive reads the
// rest and finds an archive cut short, rather than its end.
la_int64_t skipSource(archive*, void* data, la_int64_t request) {
    const int fd = static_cast<const FileSource*>(data)->fd;
    struct stat file {};
    const off_t from = ::lseek(fd, 0, SEEK_CUR);
    if (from < 0 || ::fstat(fd, &file) != 0) return 0;
    const off_t skip = std::min<off_t>(off_t(request), file.st_size - from);
    const off_t to = skip <= 0 ? -1 : ::lseek(fd, skip, SEEK_CUR);
    // Not skipped: libarchive reads on instead.
    return to < 0 ? 0 : to - from;
}

// A zip is read from its directory at its end.
la_int64_t seekSource(archive* a, void* data, la_int64_t offset, int whence) {
    const off_t to = ::lseek(static_cast<const FileSource*>(data)->fd, off_t(offset), whence);
    if (to >= 0) return to;
    archive_set_error(a, errno, "%s", std::strerror(errno));
    return ARCHIVE_FATAL;
}

// The member's path from the archive's top: no ".", "..", empty or leading
// parts, so it cannot climb out of the archive. Empty for a hidden member
// (a part beginning with "."), which is skipped as on a disc, and for the top.
QString memberPath(archive_entry* entry) {
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const QString spelt =
        utf8 ? QString::fromUtf8(utf8)
             : decodeFileName(archive_entry_pathname(entry) ? archive_entry_pathname(entry) : "");
    QStringList parts;
    for (const QString& part : spelt.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String("..")) continue;
        if (part.startsWith(u'.')) return {};
        parts << part;
    }
    return parts.join(u'/');
}

// The checksum of the content of the member just read on; none when the
// content cannot be read, or when stopped: a member may take minutes to read.
std::optional<engine::Checksum> hashMember(archive* a, const std::function<bool()>& stopped) {
    ContentHash hash;
    for (;;) {
        if (stopped && stopped()) return std::nullopt;
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(a, &block, &size, &offset);
        if (result == ARCHIVE_EOF) return hash.digest();
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN) return std::nullopt;
        hash.update(block, size);
    }
}

// Appends the member `entry` is, when it is a directory or a file; false
// when it is not appended.
bool takeMember(archive_entry* entry, std::vector<ArchiveMember>& members) {
    const mode_t type = archive_entry_filetype(entry);
    const bool directory = type == AE_IFDIR;
    // Devices, FIFOs and sockets are system entries; 0 is a format without types.
    if (!directory && type != AE_IFREG && type != AE_IFLNK && type != 0) return false;
    QString path = memberPath(entry);
    if (path.isEmpty()) return false;
    members.push_back({std::move(path), directory,
                       archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0,
                       archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0,
                       std::nullopt});
    return true;
}

// Reads the members from the header already read on; `result` is that read's.
void readMembers(archive* a, archive_entry* entry, int result, ArchiveContents& contents,
                 const std::function<bool()>& stopped, bool checksums) {
    for (;;) {
        if (result == ARCHIVE_EOF) return;
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN) {
            if (!(stopped && stopped())) contents.failure = failureOf(a);
            return;
        }
        // A link's content is its target's, elsewhere in the archive.
        if (takeMember(entry, contents.members) && checksums &&
            !contents.members.back().isDirectory && archive_entry_filetype(entry) != AE_IFLNK &&
            !archive_entry_hardlink(entry)) {
            contents.members.back().checksum = hashMember(a, stopped);
            if (stopped && stopped()) return;
            if (!contents.members.back().checksum) {
                contents.failure = failureOf(a);
                return;
            }
        }
        if (stopped && stopped()) return;
        result = archive_read_next_header(a, &entry);
    }
}

} // namespace

ArchiveContents readArchive(const QString& path, std::int64_t size,
                            const std::function<bool()>& stopped, bool checksums) {
    return readArchiveAt(AT_FDCWD, path, size, stopped, checksums);
}

ArchiveContents readArchiveAt(int directory, const QString& path, std::int64_t size,
                              const std::function<bool()>& stopped, bool checksums) {
    ArchiveContents contents;
    if (size < SmallestArchive) return contents;
    const Descriptor file(
        ::openat(directory, encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC));
    // A file that cannot be read is catalogued as a file, as without the option.
    if (file.fd < 0) return contents;
    return readArchiveFile(file.fd, size, stopped, checksums);
}

ArchiveContents readArchiveFile(int fd, std::int64_t size, const std::function<bool()>& stopped,
                                bool checksums) {
    ArchiveContents contents;
    if (size < SmallestArchive) return contents;
    thread_local std::unique_ptr<char[]> block(new char[FirstBlock]);
    const size_t got =
        readFirstBlock(fd, block.get(), size_t(std::min<std::int64_t>(size, FirstBlock)));

    if (!mayBeArchive(block.get(), got)) return contents;
    Reader reader = newReader();
    archive_entry* entry = nullptr;
    if (archive_read_open_memory(reader.get(), block.get(), got) != ARCHIVE_OK) return contents;
    int result = archive_read_next_header(reader.get(), &entry);
    // No format took the first block: no archive.
    if (archive_format(reader.get()) == 0) return contents;
    contents.isArchive = true;
    FileSource source{fd, block.get(), stopped};
    if (std::int64_t(got) < size) {
        // Read from the start again, the whole file this time.
        reader = newReader();
        archive* a = reader.get();
        if (::lseek(fd, 0, SEEK_SET) != 0 || archive_read_set_seek_callback(a, seekSource) ||
            archive_read_open2(a, &source, nullptr, readSource, skipSource, nullptr) !=
                ARCHIVE_OK) {
            contents.failure = failureOf(reader.get());
            return contents;
        }
        result = archive_read_next_header(reader.get(), &entry);
    }
    readMembers(reader.get(), entry, result, contents, stopped, checksums);
    return contents;
}

} // namespace orvik
