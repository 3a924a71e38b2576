#include "bench/support/BenchWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace orvik::bench {

long statWalk(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return 0;
    long files = 0;
    while (const dirent* item = readdir(dir)) {
        if (item->d_name[0] == '.') continue;
        struct stat info {};
        if (fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(info.st_mode))
            files += statWalk(path + "/" + item->d_name);
        else if (S_ISREG(info.st_mode))
            ++files;
    }
    closedir(dir);
    return files;
}

} // namespace orvik::bench
