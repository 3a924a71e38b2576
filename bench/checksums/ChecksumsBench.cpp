// Times a whole `orvik-cli add --checksums` of a tree holding 2 GB in files of
// 1 to 100 MB beside the add benchmark's 100,000 small files, against its
// floor in the same run: `xxh128sum` of the same files plus a whole
// `orvik-cli add` of the tree without checksums. The tree lies under /var/tmp
// (/tmp may be a small tmpfs) and is removed at the end. Warm: every file is
// read once before the runs, so both sides read from the page cache. The
// sides alternate, the best of three of each counts; the ratio is the figure
// (goal: at most 1.3).
#include "bench/support/BenchProcess.h"
#include "bench/support/BenchTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace orvik::bench;

namespace {

constexpr int Repeats = 3;
constexpr std::int64_t MiB = 1 << 20;
constexpr std::int64_t LargeBytes = 2048 * MiB;

// Files of 1 to 100 MB of pseudo-random bytes until `LargeBytes` are written;
// their number.
int writeLargeFiles(const std::string& directory) {
    std::uint64_t state = 0x9e3779b97f4a7c15ULL;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::vector<std::uint64_t> block(MiB / sizeof(std::uint64_t));
    int files = 0;
    for (std::int64_t written = 0; written < LargeBytes; ++files) {
        const std::int64_t size =
            std::min<std::int64_t>(LargeBytes - written, std::int64_t(1 + next() % 100) * MiB);
        const std::string path = directory + "/large" + std::to_string(files) + ".bin";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) fail(path);
        for (std::int64_t left = size; left > 0; left -= MiB) {
            for (std::uint64_t& word : block)
                word = next();
            if (::write(fd, block.data(), size_t(std::min(left, MiB))) != std::min(left, MiB))
                fail(path);
        }
        ::close(fd);
        written += size;
    }
    return files;
}

// The tree goes however the benchmark ends: fail() exits without unwinding.
QString benchFolder;
void removeBenchFolder() {
    if (!benchFolder.isEmpty()) QDir(benchFolder).removeRecursively();
}

void removeCatalogue(const std::string& home) {
    for (const char* suffix : {"", "-journal"})
        QFile::remove(QString::fromStdString(home) + "/ORVIK.mdb" + QLatin1String(suffix));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder(QStringLiteral("/var/tmp/orvik-checksums-bench-XXXXXX"));
    if (!folder.isValid()) fail("/var/tmp");
    benchFolder = folder.path();
    std::atexit(removeBenchFolder);
    const std::string base = folder.path().toStdString();
    const std::string tree = base + "/tree", large = tree + "/large", small = tree + "/small";
    const std::string hashing = base + "/hashing", plain = base + "/plain";
    for (const std::string& directory : {tree, large, small, hashing, plain})
        if (!QDir().mkpath(QString::fromStdString(directory))) fail(directory);
    const std::string errors = base + "/errors";
    const int largeFiles = writeLargeFiles(large);
    buildTree(small);
    std::printf("tree: %d files of 1-100 MB (%lld MB) and %ld small files\n", largeFiles,
                static_cast<long long>(LargeBytes / MiB), TreeFiles);

    const std::vector<std::string> add{ORVIK_CLI, "add",         tree,         "--description",
                                       "bench",   "--no-filter", "--checksums"};
    std::vector<std::string> addPlain = add;
    addPlain.back() = "--no-checksums";
    // xxh128sum of every file, as a shell runs it: find hands them over in bulk.
    const std::vector<std::string> sums{
        "/bin/sh", "-c", "find '" + tree + "' -type f -print0 | xargs -0 xxh128sum > /dev/null"};
    runProcess(sums, base, errors); // warms the page cache for both sides

    double withChecksums = 1e300, xxh = 1e300, without = 1e300;
    for (int r = 0; r < Repeats; ++r) {
        removeCatalogue(hashing);
        withChecksums = std::min(withChecksums, runProcess(add, hashing, errors).ms);
        xxh = std::min(xxh, runProcess(sums, base, errors).ms);
        removeCatalogue(plain);
        without = std::min(without, runProcess(addPlain, plain, errors).ms);
    }
    std::printf("orvik-cli add --checksums:        %9.1f ms (best of %d)\n", withChecksums,
                Repeats);
    std::printf("xxh128sum of the same files:      %9.1f ms (best of %d)\n", xxh, Repeats);
    std::printf("orvik-cli add --no-checksums:     %9.1f ms (best of %d)\n", without, Repeats);
    std::printf("add --checksums / (xxh128sum + add): %6.2f   (goal <= 1.3)\n",
                withChecksums / (xxh + without));
    return 0;
}
