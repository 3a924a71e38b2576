// A file catalogued inside an archive on the medium, taken out of the archive
// so that it can be opened like any file. A member's stored path is the
// archive's own path followed by the member's path inside it:
// "/MEDIA/CD/GAMES/QUAKE.ZIP/MAPS/E1M1.BSP".
#pragma once

#include <QString>
#include <optional>

namespace orvik {

struct ArchiveMemberPath {
    QString archive; // the archive's real path on the medium
    QString member;  // the rest of the stored path, as stored
};

// Walks up the stored (upper-case) path to its deepest part that exists,
// matched without regard to case; that part must be a regular file, the
// archive. Nothing when the path exists whole or no such file heads it.
std::optional<ArchiveMemberPath> findArchiveMember(const QString& storedPath);

struct ExtractedMember {
    QString file;   // the extracted copy; empty when there is none
    QString whyNot; // what went wrong otherwise
};

// Extracts the one member of `archive` whose path is `member` (compared
// without regard to case, "./" and doubled slashes aside) into a fresh
// subfolder of the private extraction folder, under the member's base name,
// so that no name inside the archive can place it anywhere else.
ExtractedMember extractArchiveMember(const QString& archive, const QString& member);

// The private folder (mode 0700) extracted members go to, made at first use
// and removed with everything in it when the program ends. Empty when it
// cannot be made.
QString memberExtractionFolder();

} // namespace orvik
