#include "bench/support/BenchTree.h"

#include "bench/support/BenchProcess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik::bench {

namespace {

void makeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0) fail(path);
}

void fillDirectory(const std::string& path) {
    for (int i = 0; i < FilesPerDirectory; ++i) {
        const std::string file = path + "/file" + std::to_string(i) + ".dat";
        const int fd = ::creat(file.c_str(), 0644);
        if (fd < 0 || ::write(fd, "orvik", size_t(i % 6)) < 0) fail(file);
        ::close(fd);
    }
}

} // namespace

int buildTree(const std::string& root) {
    int directories = 0;
    for (int t = 0; t < TopDirectories; ++t) {
        const std::string top = root + "/Top" + std::to_string(t);
        makeDirectory(top);
        fillDirectory(top);
        ++directories;
        for (int s = 0; s < SubDirectories; ++s) {
            const std::string sub = top + "/Sub " + std::to_string(s);
            makeDirectory(sub);
            fillDirectory(sub);
            ++directories;
        }
    }
    return directories;
}

} // namespace orvik::bench
