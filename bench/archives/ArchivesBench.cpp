// Times the add looking inside archives, whole `orvik-cli add` processes with
// warm caches, each against its floor in the same run (best of three, taken
// in turns; absolute times drift on a shared machine, the ratios are the
// figures):
//   1,000 zip archives of 100 members each against the same 100,000 members
//     unpacked as plain files (goal: at most 2);
//   ten .tar.gz archives of 10,000 members each, read by the add and by the
//     add's reader alone, against `tar -tzf` of each (goal: at most 1.3);
//   those 100,000 plain files, none an archive, of 300 bytes to 3 KB, with
//     the option on against off (goal: at most 1.15 elapsed), elapsed and
//     processor time; against the option's floor in the process: a bare walk
//     that lists the tree and, on as many threads as the add's probers,
//     opens, reads the first block of and closes each file, the least any
//     look at contents asks, against a bare walk that stats each file, all
//     the add without the option asks of the system; from these, the least
//     on/off the machine's cores allow: the add's processor time without the
//     option and the floor's reads, shared by every core; and the reader's
//     probe of each file alone.
#include "bench/support/BenchProcess.h"
#include "bench/support/BenchWalk.h"
#include "catalogue/ArchiveReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/close_range.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace orvik::bench;

namespace {

constexpr int Repeats = 3;
constexpr int Folders = 10, ZipsPerFolder = 100;
constexpr int Parts = 10, FilesPerPart = 10; // a zip's 100 members
constexpr int Tarballs = 10, TarMembers = 10000;
constexpr std::int64_t MemberTime = 1000000000;

// Text of `size` bytes, words of a small vocabulary: it compresses as text does.
std::string text(unsigned seed, size_t size) {
    static const char* const words[] = {
        "catalogue", "disc",      "file", "orvik", "the",  "of",     "archive", "member",
        "volume",    "directory", "and",  "quake", "maps", "readme", "backup",  "photo"};
    std::string out;
    out.reserve(size + 16);
    for (unsigned x = seed * 2654435761u + 1; out.size() < size; x = x * 1664525u + 1013904223u)
        out += std::string(words[(x >> 16) % 16]) + ((x >> 8) % 9 ? " " : "\n");
    out.resize(size);
    return out;
}

size_t memberSize(unsigned seed) {
    return 300 + (seed * 7919u) % 2700;
}

void makeDirectory(const std::string& path) {
    if (!QDir().mkpath(QString::fromStdString(path))) fail(path);
}

void writeFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) fail(path);
    ::close(fd);
}

// Writes an archive of `members` (path and bytes) with libarchive's writer.
void writeArchive(const std::string& path, bool zip,
                  const std::vector<std::pair<std::string, std::string>>& members) {
    archive* a = archive_write_new();
    if (zip) {
        archive_write_set_format_zip(a);
    } else {
        archive_write_set_format_pax_restricted(a);
        archive_write_add_filter_gzip(a);
    }
    if (archive_write_open_filename(a, path.c_str()) != ARCHIVE_OK) fail(path);
    for (const auto& [name, bytes] : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, la_int64_t(bytes.size()));
        archive_entry_set_mtime(entry, MemberTime, 0);
        if (archive_write_header(a, entry) != ARCHIVE_OK ||
            archive_write_data(a, bytes.data(), bytes.size()) != la_ssize_t(bytes.size()))
            fail(path);
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// The zips and, as plain files, their members in directories of the
// archives' names, so both adds store the same paths.
void buildZipsAndPlainFiles(const std::string& zips, const std::string& plain) {
    unsigned seed = 0;
    for (int f = 0; f < Folders; ++f)
        for (int z = 0; z < ZipsPerFolder; ++z) {
            const std::string name =
                "/set" + std::to_string(f) + "/disk" + std::to_string(z) + ".zip";
            std::vector<std::pair<std::string, std::string>> members;
            for (int p = 0; p < Parts; ++p) {
                makeDirectory(plain + name + "/part" + std::to_string(p));
                for (int i = 0; i < FilesPerPart; ++i, ++seed) {
                    const std::string member =
                        "part" + std::to_string(p) + "/file" + std::to_string(i) + ".txt";
                    members.emplace_back(member, text(seed, memberSize(seed)));
                    writeFile(plain + name + '/' + member, members.back().second);
                }
            }
            makeDirectory(zips + "/set" + std::to_string(f));
            writeArchive(zips + name, true, members);
        }
}

void buildTarballs(const std::string& tarballs) {
    makeDirectory(tarballs);
    unsigned seed = 0;
    for (int t = 0; t < Tarballs; ++t) {
        std::vector<std::pair<std::string, std::string>> members;
        for (int i = 0; i < TarMembers; ++i, ++seed)
            members.emplace_back("dir" + std::to_string(i / 100) + "/file" + std::to_string(i) +
                                     ".txt",
                                 text(seed, memberSize(seed)));
        writeArchive(tarballs + "/backup" + std::to_string(t) + ".tar.gz", false, members);
    }
}

std::vector<std::string> addOf(const std::string& tree, bool lookInside) {
    return {ORVIK_CLI,
            "add",
            tree,
            "--description",
            "bench",
            "--no-filter",
            lookInside ? "--archives" : "--no-archives"};
}

void removeCatalogue(const std::string& home) {
    for (const char* suffix : {"", "-journal"})
        QFile::remove(QString::fromStdString(home) + "/ORVIK.mdb" + suffix);
}

// Lists every directory below a path, as the add's lister does, and hands
// each one's files to probers that open, examine, read the first block of
// and close each; the files read.
class ProbeWalk {
public:
    long run(const std::string& top) {
        std::vector<std::thread> probers;
        for (unsigned i = std::max(1u, std::thread::hardware_concurrency()); i > 0; --i)
            probers.emplace_back([this] { probe(); });
        list(top);
        {
            const std::lock_guard lock(m_mutex);
            m_listed = true;
        }
        m_ready.notify_all();
        for (std::thread& prober : probers)
            prober.join();
        return m_files;
    }

private:
    struct Job {
        std::string directory;
        std::vector<std::string> names;
    };

    void list(const std::string& path) {
        DIR* dir = opendir(path.c_str());
        if (!dir) fail(path);
        Job job{path, {}};
        std::vector<std::string> subdirectories;
        while (const dirent* item = readdir(dir)) {
            if (item->d_name[0] == '.') continue;
            if (item->d_type == DT_REG) {
                job.names.emplace_back(item->d_name);
                continue;
            }
            struct stat info {};
            if (fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                fail(item->d_name);
            if (S_ISDIR(info.st_mode)) subdirectories.emplace_back(item->d_name);
        }
        closedir(dir);
        {
            const std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_ready.notify_one();
        for (const std::string& name : subdirectories)
            list(path + "/" + name);
    }

    void probe() {
        // A table of descriptors of its own, as the add's probers have.
        ::close_range(3, ~0U, CLOSE_RANGE_UNSHARE);
        std::vector<char> block(64 * 1024);
        long files = 0;
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_ready.wait(lock, [this] { return !m_jobs.empty() || m_listed; });
            if (m_jobs.empty()) break;
            Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            // Opened in the prober's own table, as the add's probers do.
            const int directory = ::open(job.directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            for (const std::string& name : job.names) {
                const int fd = ::openat(directory, name.c_str(),
                                        O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
                struct stat info {};
                if (fd < 0 || ::fstat(fd, &info) != 0 ||
                    ::read(fd, block.data(), size_t(std::min<off_t>(info.st_size, 64 * 1024))) < 0)
                    fail(name);
                ::close(fd);
                ++files;
            }
            ::close(directory);
        }
        const std::lock_guard lock(m_mutex);
        m_files += files;
    }

    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Job> m_jobs;
    bool m_listed = false;
    long m_files = 0;
};

struct Times {
    double ms, cpuMs;
};

// The processor time of this process so far, every thread's.
double processorMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto msOf = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    return msOf(usage.ru_utime) + msOf(usage.ru_stime);
}

// The best of Repeats of each of `runs`, taken in turns.
std::vector<double> bestOf(const std::vector<std::function<double()>>& runs) {
    std::vector<double> best(runs.size(), 1e300);
    for (int r = 0; r < Repeats; ++r)
        for (size_t i = 0; i < runs.size(); ++i)
            best[i] = std::min(best[i], runs[i]());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const std::string base = folder.path().toStdString();
    const std::string zips = base + "/zips", plain = base + "/plain", tarballs = base + "/tarballs",
                      home = base + "/home", errors = base + "/errors";
    makeDirectory(home);
    std::printf("building the trees ...\n");
    buildZipsAndPlainFiles(zips, plain);
    buildTarballs(tarballs);
    // The trees written out before any timing: their write-back would
    // otherwise run beside the first adds.
    ::sync();
    auto add = [&](const std::string& tree, bool lookInside) {
        return [&, tree, lookInside] {
            removeCatalogue(home);
            return runProcess(addOf(tree, lookInside), home, errors).ms;
        };
    };

    const std::vector<double> zipped = bestOf({add(zips, true), add(plain, false)});
    std::printf("1,000 zips of 100 members, add --archives: %8.1f ms\n", zipped[0]);
    std::printf("the same members as plain files, add:      %8.1f ms\n", zipped[1]);
    std::printf("zips / plain files:                        %8.2f   (goal <= 2)\n",
                zipped[0] / zipped[1]);

    std::vector<std::string> tarballPaths;
    for (int t = 0; t < Tarballs; ++t)
        tarballPaths.push_back(tarballs + "/backup" + std::to_string(t) + ".tar.gz");
    const std::string tar = QStandardPaths::findExecutable("tar").toStdString();
    if (tar.empty()) fail("tar");
    auto tarListing = [&] {
        double ms = 0;
        for (const std::string& tarball : tarballPaths)
            ms += runProcess({tar, "-tzf", tarball}, home, errors).ms;
        return ms;
    };
    auto reading = [&] {
        const auto start = std::chrono::steady_clock::now();
        size_t members = 0;
        for (const std::string& tarball : tarballPaths)
            members += orvik::readArchive(QString::fromStdString(tarball),
                                          QFileInfo(QString::fromStdString(tarball)).size())
                           .members.size();
        if (members != size_t(Tarballs) * TarMembers) fail("the tarballs' members");
        return msSince(start);
    };
    const std::vector<double> tars = bestOf({add(tarballs, true), reading, tarListing});
    std::printf("10 .tar.gz of 10,000 members, add --archives: %8.1f ms\n", tars[0]);
    std::printf("the add's reader alone, in the process:       %8.1f ms\n", tars[1]);
    std::printf("tar -tzf of each:                             %8.1f ms\n", tars[2]);
    std::printf("reader / tar -tzf:                            %8.2f   (goal <= 1.3)\n",
                tars[1] / tars[2]);
    std::printf("add / tar -tzf:                               %8.2f\n", tars[0] / tars[2]);

    std::vector<std::pair<QString, qint64>> plainFiles;
    for (QDirIterator it(QString::fromStdString(plain), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        it.next();
        plainFiles.emplace_back(it.filePath(), it.fileInfo().size());
    }
    auto probing = [&] {
        const auto start = std::chrono::steady_clock::now();
        for (const auto& [path, size] : plainFiles)
            if (orvik::readArchive(path, size).isArchive) fail(path.toStdString());
        return msSince(start);
    };
    const double probeMs = bestOf({probing})[0];

    // Elapsed and processor time of whole adds and of bare walks in the
    // process, best of Repeats each, taken in turns.
    auto addTimes = [&](bool lookInside) {
        return [&, lookInside] {
            removeCatalogue(home);
            const ProcessRun run = runProcess(addOf(plain, lookInside), home, errors);
            return Times{run.ms, run.cpuMs};
        };
    };
    auto walkTimes = [&](auto walk) {
        return [&, walk] {
            const double cpuBefore = processorMs();
            const auto start = std::chrono::steady_clock::now();
            if (walk() != long(plainFiles.size())) fail("the bare walk's files");
            return Times{msSince(start), processorMs() - cpuBefore};
        };
    };
    std::vector<Times> none(4, Times{1e300, 1e300});
    const std::vector<std::function<Times()>> runs = {
        addTimes(true), addTimes(false), walkTimes([&] { return ProbeWalk().run(plain); }),
        walkTimes([&] { return statWalk(plain); })};
    for (int r = 0; r < Repeats; ++r)
        for (size_t i = 0; i < runs.size(); ++i) {
            const Times times = runs[i]();
            none[i] = {std::min(none[i].ms, times.ms), std::min(none[i].cpuMs, times.cpuMs)};
        }
    std::printf("100,000 files, none an archive:                   elapsed  processor\n");
    auto line = [](const char* what, const Times& times) {
        std::printf("%-48s %8.1f ms %8.1f ms\n", what, times.ms, times.cpuMs);
    };
    line("  add --archives", none[0]);
    line("  add --no-archives", none[1]);
    std::printf("  on / off:                                      %8.2f    %8.2f   (goal <= 1.15, "
                "elapsed)\n",
                none[0].ms / none[1].ms, none[0].cpuMs / none[1].cpuMs);
    std::printf("the floor, bare walks in the process:\n");
    line("  reading each file's first block, add's threads", none[2]);
    line("  stat'ing each file", none[3]);
    std::printf("  floor on / off:                                %8.2f    %8.2f\n",
                none[2].ms / none[3].ms, none[2].cpuMs / none[3].cpuMs);
    line("what the option adds: add on - off",
         {none[0].ms - none[1].ms, none[0].cpuMs - none[1].cpuMs});
    line("  the floor's: bare read - bare stat",
         {none[2].ms - none[3].ms, none[2].cpuMs - none[3].cpuMs});
    // Any add with the option does at least the add's work without it and the
    // floor's reads, and no faster than the cores together run it.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const double leastOn = (none[1].cpuMs + none[2].cpuMs - none[3].cpuMs) / cores;
    std::printf("  least on / off %u cores allow:                  %8.2f\n", cores,
                std::max(1.0, leastOn / none[1].ms));
    std::printf("the reader's probe of each file, in the process: %8.1f ms (%.1f us a file)\n",
                probeMs, probeMs * 1000 / double(plainFiles.size()));
    return 0;
}
