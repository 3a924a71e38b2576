// Directory listing with readdir and fstatat: one system call per entry, as
// cheap as a plain walk of the tree; or, for a reader that opens every file,
// with readdir alone, each file examined once it is open.
#pragma once

#include "core/platform/FileSystem.h"

namespace orvik {

class LinuxFileSystem : public FileSystem {
protected:
    std::vector<DirEntry> listEntries(const QString& directory, bool examineFiles) const override;
};

// What opening a file left unexamined found.
struct OpenedEntry {
    int fd = -1;         // open to read; -1 when it cannot be read
    bool gone = false;   // vanished, or no longer a file: left out as list() leaves it
    bool failed = false; // it cannot be examined, which fails a listing
};

// Opens the unexamined file `entry` of the directory open as `directory` and
// fills in its size and date; one that cannot be opened is examined by name.
OpenedEntry openUnexamined(int directory, DirEntry& entry);

} // namespace orvik
