// The filters benchmark: whole `orvik-cli find` processes with filters and a
// regular expression on a catalogue of 1,000,000 records, against SQLite's
// own LIKE scan of the same file (the sqlite3 program), in the same run.
//
// Goals: a size filter alone (--min-size 1G, every record examined) at most
// 1.2 times the scan; a selective name with a size filter through the file
// index under 30 ms; an expression with a literal run through the index at
// most 0.3 times the scan.
#include "bench/support/BenchCatalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace orvik::bench;

namespace {

constexpr int Count = 1'000'000, RunRecords = 100'000, PerDirectory = 30;
constexpr int Repeats = 7; // best of

// One record in a thousand is 1 GB or more, one in a hundred holds neither a
// length nor a date; ten are UNIQUE, the rest FILE or PHOTO; dates spread
// over 1995 to 2024.
BenchRecord record(int i) {
    const int run = i / RunRecords, inRun = i % RunRecords;
    BenchRecord r;
    if (inRun == 0) {
        r.volume = QStringLiteral("CD%1").arg(run);
        r.description = QStringLiteral("DISC NUMBER %1").arg(run);
        r.keywords = QStringLiteral("KEY%1").arg(run);
    }
    if (i % (Count / 10) == 52345)
        r.file = QStringLiteral("UNIQUE%1.TXT").arg(i);
    else
        r.file = QString::fromLatin1(i % 10 == 3 ? "PHOTO%1.JPG" : "FILE%1.DAT").arg(i);
    if (inRun % PerDirectory == 0)
        r.path = QStringLiteral("/MEDIA/CD%1/DIR%2/").arg(run).arg(inRun / PerDirectory);
    if (i % 100 != 1) {
        r.date = QStringLiteral("%1-%2-%3 12:00:00")
                     .arg(1995 + i % 30)
                     .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                     .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        r.length = QString::number(i % 1000 == 7 ? (qint64(1) << 30) + i : qint64(i % 5000000));
    }
    return r;
}

struct Times {
    double elapsed = 1e300, processor = 1e300; // the best of the runs, ms
    qsizetype lines = 0;
};

// Runs `arguments` (the program first) as a whole process with `home` as
// ORVIK_HOME, its output into `out`; keeps its times in `best` when faster.
void runProcess(const QStringList& arguments, const QString& home, const QString& out,
                Times& best) {
    std::vector<QByteArray> words;
    for (const QString& word : arguments)
        words.push_back(word.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    qputenv("ORVIK_HOME", home.toLocal8Bit());
    const int output =
        ::open(QFile::encodeName(out).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int quiet = ::open("/dev/null", O_WRONLY);
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    ::close(output);
    ::close(quiet);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
    auto ms = [](const timeval& time) { return double(time.tv_sec) * 1e3 + time.tv_usec / 1e3; };
    best.elapsed = std::min(best.elapsed, elapsed);
    best.processor = std::min(best.processor, ms(usage.ru_utime) + ms(usage.ru_stime));
    QFile lines(out);
    best.lines = lines.open(QIODevice::ReadOnly) ? lines.readAll().count('\n') : 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) {
        std::fputs("needs the sqlite3 program (package sqlite3) for the LIKE scan\n", stderr);
        return 1;
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("BENCH.mdb"));
    std::printf("building a catalogue of %d records ...\n", Count);
    std::fflush(stdout);
    buildCatalogue(file, Count, record);

    const QStringList scan = {
        sqlite, file,
        QStringLiteral("SELECT CDFile, CDPath FROM CDTable WHERE CDFile LIKE '%UNIQUE%' OR "
                       "CDPath LIKE '%UNIQUE%'")};
    const struct {
        const char* what;
        QStringList arguments;
        const char* goal;
        double most; // ms, or times the scan when `ratio`
        bool ratio;
    } probes[] = {
        {"find --min-size 1G", {"--min-size", "1G"}, "<= 1.2x the scan", 1.2, true},
        {"find unique --min-size 1K", {"unique", "--min-size", "1K"}, "< 30 ms", 30, false},
        {"find --regex 'unique\\d+\\.txt$'",
         {"--regex", "unique\\d+\\.txt$"},
         "<= 0.3x the scan",
         0.3,
         true},
    };
    // In turns, so that other work on the machine weighs on each alike.
    const QString out = folder.filePath(QStringLiteral("out.txt"));
    Times scanTimes, found[std::size(probes)];
    for (int i = 0; i < Repeats; ++i) {
        runProcess(scan, folder.path(), out, scanTimes);
        for (size_t p = 0; p < std::size(probes); ++p)
            runProcess(QStringList{ORVIK_CLI, "find", "--catalogue", "BENCH"} + probes[p].arguments,
                       folder.path(), out, found[p]);
    }
    std::printf("whole processes on %d records, best of %d taken in turns: elapsed and "
                "processor (user + system) ms, each as a ratio to the scan's\n",
                Count, Repeats);
    std::printf("  %-36s %8.1f %8.1f\n", "LIKE scan (sqlite3, '%UNIQUE%')", scanTimes.elapsed,
                scanTimes.processor);
    for (size_t p = 0; p < std::size(probes); ++p) {
        const auto& probe = probes[p];
        const Times& t = found[p];
        const double ratio = t.elapsed / scanTimes.elapsed;
        std::printf("  %-36s %8.1f %8.1f %7lld lines  ratios %.2f %.2f  (goal %s: %s)\n",
                    probe.what, t.elapsed, t.processor, qlonglong(t.lines), ratio,
                    t.processor / scanTimes.processor, probe.goal,
                    (probe.ratio ? ratio : t.elapsed) <= probe.most ? "met" : "MISSED");
    }
    return 0;
}
