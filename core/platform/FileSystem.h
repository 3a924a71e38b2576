// Directory listing and file facts as the add and the launch need them.
#pragma once

#include "core/Error.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace orvik {

struct DirEntry {
    QString name;
    bool isDirectory = false;
    std::int64_t size = 0;
    std::int64_t modified = 0; // seconds since the epoch
    // A directory on another file system than the listed one (a mount point).
    bool otherFileSystem = false;
    // False for a file listed by listUnexamined() whose size and date are
    // still to be read.
    bool examined = true;
};

// The system refused a directory for permission: it cannot be listed, or its
// entries cannot be examined. Unlike a medium that cannot be read, trying
// again does not help.
class AccessDenied : public Error {
public:
    using Error::Error;
};

// The system takes no path this long (a tree deeper than it can name).
class PathTooLong : public Error {
public:
    using Error::Error;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The entries of `directory` in the order the file system returns them,
    // without ".", "..", hidden entries (a leading "."), system entries
    // (sockets, FIFOs, devices), broken links and links to directories.
    // A link to a file stands for its target. An entry that vanishes while it
    // is listed is left out; one that cannot be examined fails the listing.
    // Throws AccessDenied, PathTooLong or orvik::Error (errno).
    std::vector<DirEntry> list(const QString& directory) const {
        return listEntries(directory, true);
    }
    // As list(), but regular files may be left unexamined: for a reader that
    // opens every file anyway and examines it open, which spares looking up
    // each name twice.
    std::vector<DirEntry> listUnexamined(const QString& directory) const {
        return listEntries(directory, false);
    }

protected:
    virtual std::vector<DirEntry> listEntries(const QString& directory,
                                              bool examineFiles) const = 0;
};

// Local time as stored in CDFileDate: "YYYY-MM-DD HH:MM:SS".
QString formatFileDate(std::int64_t secondsSinceEpoch);

} // namespace orvik

namespace orvik {

// The real path on disk of a stored (upper-case) path, found component by
// component without regard to case; an exact match wins. Empty when some
// component does not exist.
QString resolvePath(const QString& storedPath);

} // namespace orvik
