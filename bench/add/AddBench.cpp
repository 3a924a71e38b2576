// Times the add on 100,000 files in 5,000 directories against a plain walk
// that lists and stats the same tree, and reports the peak memory. With
// --cold (root only) the kernel's caches are dropped before each timed run,
// as for a disc just put in.
#include "AppState.h"
#include "Progress.h"
#include "VolumeAdd.h"
#include "platform/LinuxDrives.h"
#include "platform/LinuxFileSystem.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int TopDirectories = 50;
constexpr int SubDirectories = 99; // 50 + 50 * 99 = 5,000 directories
constexpr int FilesPerDirectory = 20;

void makeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

void fillDirectory(const std::string& path) {
    for (int i = 0; i < FilesPerDirectory; ++i) {
        const std::string file = path + "/file" + std::to_string(i) + ".dat";
        const int fd = ::creat(file.c_str(), 0644);
        if (fd < 0 || ::write(fd, "orvik", size_t(i % 6)) < 0) {
            std::perror(file.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
}

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

// The floor: every directory listed and every entry stat'ed once.
long walk(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return 0;
    long files = 0;
    while (const dirent* item = readdir(dir)) {
        if (item->d_name[0] == '.') continue;
        struct stat info {};
        if (fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(info.st_mode))
            files += walk(path + "/" + item->d_name);
        else if (S_ISREG(info.st_mode))
            ++files;
    }
    closedir(dir);
    return files;
}

// Notes when the writing stage starts, so the two stages can be told apart.
class StageProgress : public orvik::Progress {
public:
    std::chrono::steady_clock::time_point writingStarts;
    void status(const QString& text) override {
        if (text.startsWith(QStringLiteral("Writing entries")))
            writingStarts = std::chrono::steady_clock::now();
    }
    void letEventsRun() override {}
};

class ReportingPrompt : public orvik::Prompt {
public:
    orvik::Answer ask(const QString& text, orvik::Buttons, orvik::Icon, const QString&) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return orvik::Answer::Cancel;
    }
};

// Empties the page, dentry and inode caches; false when not allowed.
bool dropCaches() {
    sync();
    FILE* control = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (!control) return false;
    const bool done = std::fputs("3\n", control) >= 0;
    return std::fclose(control) == 0 && done;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tree, home;
    const std::string root = tree.path().toStdString();
    const int directories = buildTree(root);
    const bool cold = argc > 1 && std::string(argv[1]) == "--cold";
    if (cold && !dropCaches()) {
        std::fprintf(stderr, "cannot drop the caches (root only)\n");
        return 1;
    }
    if (!cold) walk(root); // warm the caches for both runs alike

    auto start = std::chrono::steady_clock::now();
    const long files = walk(root);
    const double floor = secondsSince(start);

    orvik::Services services;
    services.drives = std::make_unique<orvik::LinuxDrives>();
    services.fileSystem = std::make_unique<orvik::LinuxFileSystem>();
    services.prompt = std::make_unique<ReportingPrompt>();
    orvik::AppState state(home.path(), home.path() + "/Orvik.ini", std::move(services));
    state.SaveDates = state.SaveLengths = true;
    state.UseFilter = QStringLiteral("False");
    state.CurDescription = QStringLiteral("benchmark");
    StageProgress progress;
    bool busy = false, cancel = false;
    orvik::VolumeAdd add(state, progress, state.prompt(), busy, cancel);

    if (cold) dropCaches();
    start = std::chrono::steady_clock::now();
    const auto result = add.run(tree.path(), QStringLiteral("bench"));
    const double adding = secondsSince(start);
    const double collecting = std::chrono::duration<double>(progress.writingStarts - start).count();
    if (result != orvik::VolumeAdd::Result::Finished || add.FileCount != files) {
        std::fprintf(stderr, "add did not finish: %d of %ld files\n", add.FileCount, files);
        return 1;
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("tree:           %d directories, %ld files, %s caches\n", directories + 1, files,
                cold ? "cold" : "warm");
    std::printf("add:            %.3f s (dates and lengths on)\n", adding);
    std::printf("  collecting:   %.3f s\n", collecting);
    std::printf("  writing:      %.3f s\n", adding - collecting);
    std::printf("walk and stat:  %.3f s\n", floor);
    std::printf("ratio:          %.2f (goal <= 1.5)\n", adding / floor);
    std::printf("records/s:      %.0f\n", add.FileCount / adding);
    std::printf("peak memory:    %.1f MB (goal < 150)\n", usage.ru_maxrss / 1024.0);
    return 0;
}
