// Times the add of 100,000 files in 5,000 directories as the user gets it, a
// whole `orvik-cli add` process, against two floors that list and stat the
// same tree: `find -printf` as users know it, and a walk in this process.
// Warm caches first; then cold, each run after the kernel's caches are
// dropped, as for a disc just put in (root only). Then the add inside this
// process in its two stages, and the peak memory of the orvik-cli add.
// Absolute times drift on a shared machine; the ratios are the figures.
#include "bench/support/BenchApp.h"
#include "bench/support/BenchProcess.h"
#include "bench/support/BenchTree.h"
#include "bench/support/BenchWalk.h"
#include "catalogue/VolumeAdd.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/platform/LinuxDrives.h"
#include "core/platform/LinuxFileSystem.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace orvik::bench;

constexpr int WarmRepeats = 3;
constexpr int ColdRepeats = 2; // a cold run costs the whole machine its caches

// Empties the page, dentry and inode caches; false when not allowed.
bool dropCaches() {
    sync();
    FILE* control = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (!control) return false;
    const bool done = std::fputs("3\n", control) >= 0;
    return std::fclose(control) == 0 && done;
}

bool canDropCaches() {
    return access("/proc/sys/vm/drop_caches", W_OK) == 0;
}

// Every row of CDTable in rowid order, fields joined by tabs, Null marked.
QString checksum(const QString& catalogue, long* records) {
    orvik::engine::Catalogue db(catalogue);
    orvik::engine::Statement rows(db, "SELECT CDVolume, CDDescription, CDFile, CDFileDate, "
                                      "CDPath, CDFileLen, CDKeywords FROM CDTable ORDER BY rowid");
    QCryptographicHash md5(QCryptographicHash::Md5);
    *records = 0;
    while (rows.step()) {
        for (int field = 0; field < orvik::engine::FieldCount; ++field) {
            if (field > 0) md5.addData(QByteArrayView("\t"));
            if (rows.isNull(field)) {
                md5.addData(QByteArrayView("\\N"));
            } else {
                const std::string_view text = rows.utf8(field);
                md5.addData(QByteArrayView(text.data(), qsizetype(text.size())));
            }
        }
        md5.addData(QByteArrayView("\n"));
        ++*records;
    }
    return QString::fromLatin1(md5.result().toHex());
}

struct Figures {
    double add = 1e300, find = 1e300, walk = 1e300;
    long peakKb = 0;
    QStringList checksums;
};

// One whole `orvik-cli add` into a fresh ORVIK_HOME; its records are counted
// and summed afterwards, outside the time.
void timeCliAdd(const std::string& tree, bool cold, Figures& figures) {
    QTemporaryDir home;
    const std::string errors = home.filePath(QStringLiteral("errors")).toStdString();
    if (cold) dropCaches();
    const ProcessRun run =
        runProcess({ORVIK_CLI, "add", tree, "--description", "bench", "--no-filter"},
                   home.path().toStdString(), errors);
    long records = 0;
    figures.checksums.append(
        checksum(orvik::catalogueFilePath(home.path(), orvik::AppName), &records));
    if (records != TreeFiles) {
        std::fprintf(stderr, "orvik-cli add wrote %ld records of %ld\n", records, TreeFiles);
        std::exit(1);
    }
    figures.add = std::min(figures.add, run.ms);
    figures.peakKb = std::max(figures.peakKb, run.peakKb);
}

void timeFind(const std::string& find, const std::string& tree, const std::string& scratch,
              bool cold, Figures& figures) {
    if (cold) dropCaches();
    const ProcessRun run =
        runProcess({find, tree, "-printf", "%s %T@ %p\n"}, scratch, scratch + "/find-errors");
    figures.find = std::min(figures.find, run.ms);
}

void timeWalk(const std::string& tree, bool cold, Figures& figures) {
    if (cold) dropCaches();
    const auto start = std::chrono::steady_clock::now();
    if (statWalk(tree) != TreeFiles) {
        std::fprintf(stderr, "the walk did not find all %ld files\n", TreeFiles);
        std::exit(1);
    }
    figures.walk = std::min(figures.walk, msSince(start));
}

// The three side by side in every round, so drift on the machine hits them alike.
Figures measure(const std::string& tree, bool cold, int repeats) {
    const QTemporaryDir scratch;
    const std::string find = QStandardPaths::findExecutable(QStringLiteral("find")).toStdString();
    if (find.empty()) fail("find");
    Figures figures;
    for (int i = 0; i < repeats; ++i) {
        timeCliAdd(tree, cold, figures);
        timeFind(find, tree, scratch.path().toStdString(), cold, figures);
        timeWalk(tree, cold, figures);
    }
    return figures;
}

void printFigures(const char* title, int repeats, const Figures& f, const char* goal) {
    std::printf("\n%s, whole processes, best of %d:\n", title, repeats);
    std::printf("  orvik-cli add             %8.0f ms\n", f.add);
    std::printf("  find -printf >/dev/null   %8.0f ms\n", f.find);
    std::printf("  C walk (in process)       %8.0f ms\n", f.walk);
    std::printf("  add/find                  %8.2f\n", f.add / f.find);
    std::printf("  add/walk                  %8.2f\n", f.add / f.walk);
    std::printf("  goal <= %s\n", goal);
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

struct InProcessAdd {
    double total = 1e300, collecting = 0;
};

// VolumeAdd::run into a fresh catalogue; the best run keeps its stages.
void timeInProcessAdd(const QString& tree, InProcessAdd& best) {
    QTemporaryDir home;
    orvik::Services services;
    services.drives = std::make_unique<orvik::LinuxDrives>();
    services.fileSystem = std::make_unique<orvik::LinuxFileSystem>();
    services.prompt = std::make_unique<ReportingPrompt>();
    orvik::AppState state(home.path(), home.filePath(QStringLiteral("Orvik.ini")),
                          std::move(services));
    state.Options.SaveDates = state.Options.SaveLengths = true;
    state.Options.UseFilter = QStringLiteral("False");
    StageProgress progress;
    bool busy = false, cancel = false;
    orvik::VolumeAdd add(state, progress, state.prompt(), busy, cancel);
    add.CurDescription = QStringLiteral("benchmark");

    const auto start = std::chrono::steady_clock::now();
    const auto result = add.run(tree, QStringLiteral("bench"));
    const double total = msSince(start);
    if (result != orvik::VolumeAdd::Result::Finished || add.FileCount != TreeFiles) {
        std::fprintf(stderr, "add did not finish: %d of %ld files\n", add.FileCount, TreeFiles);
        std::exit(1);
    }
    if (total < best.total)
        best = {total,
                std::chrono::duration<double, std::milli>(progress.writingStarts - start).count()};
}

void printInProcess(const std::string& tree) {
    InProcessAdd add;
    for (int i = 0; i < WarmRepeats; ++i)
        timeInProcessAdd(QString::fromStdString(tree), add);
    const double floor = orvik::bench::bestOfMs([&] { statWalk(tree); }, WarmRepeats);
    std::printf("\nin process, warm caches, best of %d (dates and lengths on):\n", WarmRepeats);
    std::printf("  VolumeAdd::run            %8.0f ms\n", add.total);
    std::printf("    collecting              %8.0f ms\n", add.collecting);
    std::printf("    writing                 %8.0f ms\n", add.total - add.collecting);
    std::printf("  C walk                    %8.0f ms\n", floor);
    std::printf("  add/walk                  %8.2f\n", add.total / floor);
    std::printf("  records/s                 %8.0f\n", TreeFiles / (add.total / 1000));
}

void printChecksums(const QStringList& checksums) {
    std::printf("\nrecords of each orvik-cli add (md5 of CDTable in rowid order):\n");
    for (const QString& sum : checksums)
        std::printf("  %s\n", qPrintable(sum));
    std::printf("same records in every run: %s\n",
                checksums.count(checksums.first()) == checksums.size() ? "yes" : "no");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const std::string tree = folder.path().toStdString();
    const int directories = buildTree(tree);
    std::printf("tree: %d directories, %ld files of 0..5 bytes\n", directories + 1, TreeFiles);
    statWalk(tree); // the tree just written is in the caches; this makes sure of it

    const Figures warm = measure(tree, false, WarmRepeats);
    printFigures("warm caches", WarmRepeats, warm, "1.5");
    long peakKb = warm.peakKb;
    QStringList checksums = warm.checksums;

    if (canDropCaches()) {
        const Figures cold = measure(tree, true, ColdRepeats);
        printFigures("cold caches (sync and drop before each run)", ColdRepeats, cold, "1.4");
        peakKb = std::max(peakKb, cold.peakKb);
        checksums += cold.checksums;
        statWalk(tree); // warm again for the in-process add
    } else {
        std::printf("\ncold: skipped (cannot drop caches)\n");
    }

    std::printf("\npeak memory of orvik-cli add: %.1f MB, largest of %lld runs (goal < 150 MB)\n",
                peakKb / 1024.0, qlonglong(checksums.size()));
    printInProcess(tree);
    printChecksums(checksums);
    return 0;
}
