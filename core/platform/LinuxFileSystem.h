// Directory listing with readdir and fstatat: one system call per entry, as
// cheap as a plain walk of the tree.
#pragma once

#include "core/platform/FileSystem.h"

namespace orvik {

class LinuxFileSystem : public FileSystem {
public:
    std::vector<DirEntry> list(const QString& directory) const override;
};

} // namespace orvik
