// Times orvik-cli as a small tool is timed: whole processes, from fork to the
// end of the wait. A tree of 100,000 files in 1,000 directories, ten of them
// named uniqueNNNNNN.txt, is added with `orvik-cli add`, and plocate's updatedb
// makes a database of the same tree. Then, each the median of many runs taken
// in turns so the machine's other work falls on all alike: `orvik-cli
// --version`, the selective `orvik-cli find unique` (10 lines), `plocate -i
// unique` on the same names (10 lines), a bare QtCore program and a bare
// SQLite open of the catalogue, each with its ratio to plocate: in elapsed
// time, and in processor time (user and system), which the machine's other
// work barely changes. Goal: the find at most 2 times plocate.
//   bench_startup [ORVIK_CLI]   another orvik-cli to time, an older build say
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int Directories = 1000;
constexpr int FilesPerDirectory = 100;
constexpr int UniqueEvery = 10007; // ten of the 100,000 names
constexpr int Runs = 41;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_startup: %s\n", what.c_str());
    std::exit(1);
}

void buildTree(const fs::path& root) {
    int file = 0;
    for (int d = 0; d < Directories; ++d) {
        char directory[64];
        std::snprintf(directory, sizeof directory, "dir%02d/sub%04d", d / 50, d);
        const fs::path folder = root / directory;
        fs::create_directories(folder);
        for (int f = 0; f < FilesPerDirectory; ++f, ++file) {
            char name[64];
            std::snprintf(name, sizeof name,
                          file % UniqueEvery == 0 ? "unique%06d.txt" : "file%06d.dat", file);
            const int fd = ::creat((folder / name).c_str(), 0644);
            if (fd < 0) fail("cannot create " + (folder / name).string());
            ::close(fd);
        }
    }
}

// `name` as found on the PATH, so exec does no search while it is timed.
std::string onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    fail(name + " not found (Debian's plocate package has it; ./build.sh test installs it)");
}

struct Times {
    double elapsed = 0, processor = 0; // milliseconds
};

// Runs `command` with `home` as ORVIK_HOME, standard output to `out`, and
// returns its times; fails unless it exits with `status`.
Times runProcess(const std::vector<std::string>& command, const std::string& home,
                 const std::string& out = "/dev/null", int status = 0) {
    const std::string homeVariable = "ORVIK_HOME=" + home;
    std::vector<char*> argv, envp{const_cast<char*>(homeVariable.c_str())};
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    for (char** variable = environ; *variable; ++variable)
        if (std::string(*variable).rfind("ORVIK_HOME=", 0) != 0) envp.push_back(*variable);
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const int output = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (output < 0 || quiet < 0) fail("cannot open " + out);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) fail("fork");
    if (child == 0) {
        dup2(output, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int result = 0;
    rusage usage{};
    if (wait4(child, &result, 0, &usage) != child) fail("wait4");
    auto ms = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    const Times times{
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
        ms(usage.ru_utime) + ms(usage.ru_stime)};
    ::close(output);
    ::close(quiet);
    if (!WIFEXITED(result) || WEXITSTATUS(result) != status)
        fail(command[0] + " ended with status " + std::to_string(result));
    return times;
}

int lineCount(const std::string& file) {
    FILE* text = std::fopen(file.c_str(), "r");
    if (!text) fail("cannot read " + file);
    int lines = 0;
    for (int c; (c = std::fgetc(text)) != EOF;)
        lines += c == '\n';
    std::fclose(text);
    return lines;
}

double median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

struct Timed {
    const char* label;
    std::vector<std::string> command;
    std::vector<double> elapsed, processor;
};

} // namespace

int main(int argc, char** argv) {
    const std::string cli = argc > 1 ? argv[1] : ORVIK_CLI;
    const std::string plocate = onPath("plocate"), updatedb = onPath("updatedb");
    char folderName[] = "/tmp/bench_startup.XXXXXX";
    if (!mkdtemp(folderName)) fail("mkdtemp");
    const fs::path folder = folderName, tree = folder / "tree", home = folder / "home";
    fs::create_directories(home);
    buildTree(tree);

    double ms =
        runProcess({cli, "add", tree.string(), "--description", "Startup bench", "--no-filter"},
                   home.string())
            .elapsed;
    std::printf("orvik-cli add of %d files:  %7.0f ms\n", Directories * FilesPerDirectory, ms);
    const std::string database = (folder / "plocate.db").string();
    ms = runProcess({updatedb, "--require-visibility", "0", "--database-root", tree.string(),
                     "--output", database},
                    home.string())
             .elapsed;
    std::printf("updatedb of the same tree: %7.0f ms\n", ms);

    const std::string lines = (folder / "lines.txt").string();
    const std::vector<std::string> find{cli, "find", "unique"},
        locate{plocate, "--database", database, "--ignore-case", "unique"};
    runProcess(find, home.string(), lines);
    const int found = lineCount(lines);
    runProcess(locate, home.string(), lines);
    if (found != lineCount(lines) || found != 10)
        fail("orvik-cli found " + std::to_string(found) + " lines, plocate " +
             std::to_string(lineCount(lines)) + ", not 10 each");

    std::vector<Timed> timed{
        {"orvik-cli --version", {cli, "--version"}, {}, {}},
        {"orvik-cli find unique", find, {}, {}},
        {"plocate -i unique", locate, {}, {}},
        {"bare QtCore program", {BARE_QTCORE}, {}, {}},
        {"bare SQLite open", {BARE_SQLITE, (home / "ORVIK.mdb").string()}, {}, {}},
    };
    for (int run = 0; run < Runs + 1; ++run)
        for (Timed& t : timed) {
            const Times took = runProcess(t.command, home.string());
            if (run == 0) continue; // the first run warms the caches
            t.elapsed.push_back(took.elapsed);
            t.processor.push_back(took.processor);
        }
    const double plocateElapsed = median(timed[2].elapsed),
                 plocateProcessor = median(timed[2].processor);
    std::printf("\nwhole processes, medians of %d runs, and ratios to plocate:\n", Runs);
    std::printf("  %-24s %9s %9s %9s %6s %6s\n", "", "elapsed", "fastest", "processor", "ratio",
                "ratio");
    for (const Timed& t : timed) {
        const double elapsed = median(t.elapsed), processor = median(t.processor);
        std::printf("  %-24s %6.2f ms %6.2f ms %6.2f ms %6.2f %6.2f\n", t.label, elapsed,
                    *std::min_element(t.elapsed.begin(), t.elapsed.end()), processor,
                    elapsed / plocateElapsed, processor / plocateProcessor);
    }
    std::printf("goal: find at most 2.00 times plocate\n");
    fs::remove_all(folder);
    return 0;
}
