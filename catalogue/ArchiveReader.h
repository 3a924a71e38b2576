// What an archive or disc image holds, as the add catalogues it: the paths,
// lengths and dates of its members, read through once with libarchive. A file
// is an archive when libarchive knows its format from its first bytes,
// whatever its name; one that is none costs the read of its first block.
#pragma once

#include "core/engine/Checksums.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orvik {

struct ArchiveMember {
    QString path; // below the archive, "MAPS/E1M1.BSP" as spelt in it
    bool isDirectory = false;
    std::int64_t size = 0;
    std::int64_t modified = 0; // seconds since the epoch
    // Of its content, when asked for and it is a file.
    std::optional<engine::Checksum> checksum = std::nullopt;
};

struct ArchiveContents {
    bool isArchive = false;
    // In the archive's order; those read before a failure are kept.
    std::vector<ArchiveMember> members;
    QString failure; // why it could not be read to its end; "" when it was
};

// Smaller files hold no archive with a member and are not opened.
constexpr std::int64_t SmallestArchive = 32;

// Reads the members of the file `path` of `size` bytes, with `checksums`
// also their contents, each hashed as it is read. `stopped` is asked between
// members, so a long read ends when the add is cancelled.
ArchiveContents readArchive(const QString& path, std::int64_t size,
                            const std::function<bool()>& stopped = {}, bool checksums = false);
// The same of `path` relative to the open directory `directory`, which
// spares looking up the directories above it for each file.
ArchiveContents readArchiveAt(int directory, const QString& path, std::int64_t size,
                              const std::function<bool()>& stopped = {}, bool checksums = false);

// The same of the file open as `fd`, read from its start.
ArchiveContents readArchiveFile(int fd, std::int64_t size,
                                const std::function<bool()>& stopped = {}, bool checksums = false);

} // namespace orvik
