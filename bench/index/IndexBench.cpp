// The file index benchmark: the file match on catalogues made by ten (and,
// with --ten-million, a hundred) adds of a tree of 100,000 files in 5,000
// directories, each add from a folder of its own name (DISC000, DISC001, ...),
// with the index against the same catalogue without it (the scan a catalogue
// of an older make gets) and against SQLite's own LIKE scan; in the process,
// through the search window shown offscreen, and as whole `orvik-cli find`
// processes. Also the catalogue's bytes per record with and without the index
// and the time to index a catalogue of an older make.
//
// The catalogues are built once and kept in the build folder (bench/index/cache).
//
// Goals: a selective match (about 10 lines) under 20 ms in the process on
// 1,000,000 records and at least 5 times faster than the scan, under 100 ms on
// 10,000,000; a 1% match no slower than the scan; the catalogue at most twice
// the size of the one without the index.
#include "bench/support/BenchApp.h"
#include "catalogue/VolumeAdd.h"
#include "core/AppState.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/IndexedFind.h"
#include "core/platform/LinuxDrives.h"
#include "core/platform/LinuxFileSystem.h"
#include "core/ui/Twips.h"
#include "search/FormSearch.h"
#include "search/SearchQueries.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace orvik;

namespace {

constexpr int TreeFiles = 100'000;
constexpr int FilesPerDirectory = 20;
constexpr int TopDirectories = 50, SubDirectories = 99; // 50 + 50 * 99 = 5,000 directories

const char* const Words[] = {"photo",  "readme", "letter", "invoice", "song",   "track", "setup",
                             "report", "notes",  "draft",  "scan",    "backup", "movie", "image",
                             "index",  "data",   "config", "manual",  "budget"};
const char* const Extensions[] = {".jpg", ".txt", ".doc", ".mp3", ".pdf", ".dat", ".exe"};

// File k of the tree: one in a hundred is a HOLIDAY, the rest spread over the
// other words; the number makes every name of the tree unique.
QString fileName(int k) {
    const char* word = k % 100 == 0 ? "holiday" : Words[k % std::size(Words)];
    return QString::fromLatin1(word) + QString::number(k) +
           QString::fromLatin1(Extensions[k % std::size(Extensions)]);
}

void makeTree(const QString& root) {
    int k = 0;
    auto fill = [&](const QString& directory) {
        QDir().mkpath(directory);
        for (int i = 0; i < FilesPerDirectory; ++i) {
            const int fd = ::creat(QFile::encodeName(directory + "/" + fileName(k++)), 0644);
            if (fd >= 0) ::close(fd);
        }
    };
    for (int t = 0; t < TopDirectories; ++t) {
        const QString top = QStringLiteral("%1/Top%2").arg(root).arg(t);
        fill(top);
        for (int s = 0; s < SubDirectories; ++s)
            fill(QStringLiteral("%1/Sub %2").arg(top).arg(s));
    }
}

class ReportingPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons, Icon, const QString&) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return Answer::Yes;
    }
};

std::unique_ptr<AppState> makeState(const QString& home) {
    Services services;
    services.drives = std::make_unique<LinuxDrives>();
    services.fileSystem = std::make_unique<LinuxFileSystem>();
    services.prompt = std::make_unique<ReportingPrompt>();
    auto state = std::make_unique<AppState>(home, home + "/Orvik.ini", std::move(services));
    state->Options.SaveDates = state->Options.SaveLengths = true;
    state->Options.UseFilter = QStringLiteral("False");
    state->Options.DisplayPaths = true;
    return state;
}

// Best of `repeats`, in milliseconds.
double bestOf(int repeats, const std::function<void()>& work) {
    return bench::bestOfMs(work, repeats);
}

double ms(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// `adds` adds of the tree into cache/INDEXEDn.mdb, and a copy without the
// index, compacted, as PLAINn.mdb; kept for the next run.
void buildCatalogues(const QString& cache, const QString& size, int adds) {
    const QString indexed = cache + "/INDEXED" + size + ".mdb",
                  plain = cache + "/PLAIN" + size + ".mdb";
    if (QFileInfo::exists(indexed) && QFileInfo::exists(plain)) return;
    std::printf("building the catalogues of %d adds in %s (once) ...\n", adds, qPrintable(cache));
    std::fflush(stdout);
    QTemporaryDir trees;
    QString root = trees.filePath(QStringLiteral("DISC000"));
    makeTree(root);
    const QString building = QStringLiteral("BUILDING");
    QFile::remove(cache + "/" + building + ".mdb");
    auto state = makeState(cache);
    state->CatalogueName = building;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < adds; ++i) {
        const QString next =
            trees.filePath(QStringLiteral("DISC%1").arg(i, 3, 10, QLatin1Char('0')));
        if (next != root && !QDir().rename(root, next)) std::exit(1);
        root = next;
        SilentProgress progress;
        bool busy = false, cancel = false;
        VolumeAdd add(*state, progress, state->prompt(), busy, cancel);
        add.CurDescription = QStringLiteral("DISC %1").arg(i);
        if (add.run(root, QString()) != VolumeAdd::Result::Finished || add.FileCount != TreeFiles) {
            std::fprintf(stderr, "add %d did not finish\n", i);
            std::exit(1);
        }
    }
    state->workspace().Close();
    state->CatalogueRecordset.reset();
    state->CatalogueDatabase.reset();
    std::printf("  %d adds: %.1f s (%.2f s each)\n", adds, ms(clock) / 1000,
                ms(clock) / 1000 / adds);
    const QString temporaryPlain = cache + "/PLAIN.building";
    QFile::remove(temporaryPlain);
    QFile::copy(cache + "/" + building + ".mdb", temporaryPlain);
    {
        engine::Catalogue db(temporaryPlain);
        db.exec("DROP TRIGGER CDTable_IndexInsert; DROP TRIGGER CDTable_IndexDelete;"
                "DROP TRIGGER CDTable_IndexUpdate; DROP TABLE CDFileIndex;"
                "DROP TABLE CDIndexAdded; DROP TABLE CDIndexRemoved; VACUUM");
    }
    QFile::rename(temporaryPlain, plain);
    QFile::rename(cache + "/" + building + ".mdb", indexed);
}

qint64 recordCount(const QString& file) {
    engine::Catalogue db(file);
    engine::Statement count(db, "SELECT count(*) FROM CDTable");
    count.step();
    return count.integer(0);
}

struct LineSink : ResultSink {
    QStringList lines;
    void clear() override { lines.clear(); }
    void append(const QString& line, const ResolvedRecord&) override { lines.append(line); }
};

struct Probe {
    const char* what;
    QString typed;
    QString like; // the nearest LIKE pattern
};

// A whole process, best of five, its output thrown away.
double processMs(const QString& program, const QStringList& arguments, const QString& home) {
    return bestOf(5, [&] {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ORVIK_HOME"), home);
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        process.waitForFinished(-1);
        if (process.exitCode() != 0)
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                         process.readAllStandardError().constData());
    });
}

void measure(const QString& cache, const QString& size, bool window) {
    const QString indexedName = "INDEXED" + size, plainName = "PLAIN" + size;
    const QString indexedFile = cache + "/" + indexedName + ".mdb";
    const QString plainFile = cache + "/" + plainName + ".mdb";
    const qint64 records = recordCount(indexedFile);
    const double withIndex = double(QFileInfo(indexedFile).size()) / double(records);
    const double without = double(QFileInfo(plainFile).size()) / double(records);
    std::printf("\n== %lld records ==\n", qlonglong(records));
    std::printf("bytes per record: %.1f with the index, %.1f without: %.2fx (goal <= 2)\n",
                withIndex, without, withIndex / without);

    // An older catalogue gets its index at its next write.
    {
        const QString copy = cache + "/OLDER.mdb";
        QFile::remove(copy);
        QFile::copy(plainFile, copy);
        engine::Catalogue db(copy);
        QElapsedTimer clock;
        clock.start();
        {
            engine::Transaction transaction(db);
            engine::prepareForWriting(db);
            transaction.commit();
        }
        std::printf("indexing a catalogue of an older make at its next write: %.0f ms\n",
                    ms(clock));
        db.close();
        QFile::remove(copy);
    }

    auto state = makeState(cache);
    LineSink sink;
    SilentProgress progress;
    SearchQueries queries(*state, sink, progress);
    const QueryWidth width = QueryWidth::characters(53);
    auto fileMatch = [&](const QString& catalogue, const QString& typed) {
        state->CatalogueName = catalogue;
        queries.startFileSearch(typed);
        queries.Query_MyFindFile(width);
        return sink.lines;
    };
    engine::Catalogue plainDb(plainFile), indexedDb(indexedFile);
    engine::Statement like(plainDb, "SELECT count(*) FROM CDTable WHERE CDFile LIKE ?1 OR "
                                    "CDPath LIKE ?1");
    engine::Statement lookup(indexedDb,
                             "SELECT count(*) FROM CDFileIndex WHERE CDFileIndex MATCH ?1");

    const QString name12345 = fileName(12345).section('.', 0, 0);
    const Probe probes[] = {
        {"selective name", name12345, "%" + name12345.toUpper() + "%"},
        {"selective path", "disc007/top17/sub 4", "%DISC007/TOP17/SUB 4%"},
        {"1% (holiday)", "holiday", "%HOLIDAY%"},
        {"14% (.jpg)", ".jpg", "%.JPG%"},
        {"no literal run", "1#3#5", "%1_3_5%"},
    };
    const int repeats = records > 2'000'000 ? 2 : 3;
    std::printf("%-15s %7s %9s %9s %9s %9s %8s %8s  %s\n", "in process", "lines", "index ms",
                "scan ms", "LIKE ms", "lookup ms", "scan/idx", "idx/LIKE", "same lines");
    for (const Probe& probe : probes) {
        QStringList indexedLines, scannedLines;
        const double index =
            bestOf(repeats, [&] { indexedLines = fileMatch(indexedName, probe.typed); });
        const double scan =
            bestOf(repeats, [&] { scannedLines = fileMatch(plainName, probe.typed); });
        const double likeMs = bestOf(repeats, [&] {
            like.bind(1, probe.like);
            like.step();
            like.reset();
        });
        // The index's own answer for the same pattern: the floor of a match through it.
        engine::IndexedFind chosen(indexedDb, true);
        const QString query = chosen.uses(queries.SearchPattern) ? chosen.query() : QString();
        double lookupMs = 0;
        if (!query.isEmpty())
            lookupMs = bestOf(repeats, [&] {
                lookup.bind(1, query);
                lookup.step();
                lookup.reset();
            });
        std::printf("%-15s %7lld %9.1f %9.1f %9.1f %9.2f %8.2f %8.3f  %s\n", probe.what,
                    qlonglong(indexedLines.size()), index, scan, likeMs, lookupMs, scan / index,
                    index / likeMs, indexedLines == scannedLines ? "yes" : "NO");
    }

    if (window) {
        // What the user gets: the search window shown offscreen, the text typed, the button
        // clicked.
        state->CatalogueName = indexedName;
        FormSearch form(*state);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) return;
        auto* text = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* find = form.findChild<QPushButton*>(QStringLiteral("CmdSearchFile"));
        const QueryWidth windowWidth =
            QueryWidth::window(twips::fromPixelsX(form.frameGeometry().width(), &form));
        std::printf("%-15s %7s %9s %9s %8s\n", "window", "lines", "window ms", "query ms", "ratio");
        for (const Probe& probe : {probes[0], probes[2]}) {
            const double shown = bestOf(repeats, [&] {
                text->setText(probe.typed);
                find->click();
                QCoreApplication::processEvents();
            });
            state->CatalogueName = indexedName;
            const double bare = bestOf(repeats, [&] {
                queries.startFileSearch(probe.typed);
                queries.Query_MyFindFile(windowWidth);
            });
            std::printf("%-15s %7lld %9.1f %9.1f %8.2f\n", probe.what,
                        qlonglong(form.results().rowCount()), shown, bare, shown / bare);
        }
    }

    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    std::printf("%-15s %9s %9s %9s %8s%s\n", "whole process", "index ms", "scan ms", "LIKE ms",
                "scan/idx", sqlite.isEmpty() ? "  (no sqlite3 program: no LIKE process)" : "");
    for (const Probe& probe : probes) {
        auto cli = [&](const QString& catalogue) {
            return processMs(
                QStringLiteral(ORVIK_CLI),
                {QStringLiteral("find"), probe.typed, QStringLiteral("--catalogue"), catalogue},
                cache);
        };
        const double index = cli(indexedName), scan = cli(plainName);
        double likeProcess = 0;
        if (!sqlite.isEmpty()) {
            QString sql = QStringLiteral("SELECT CDFile, CDPath FROM CDTable WHERE CDFile LIKE "
                                         "'%1' OR CDPath LIKE '%1'")
                              .arg(probe.like);
            likeProcess = processMs(sqlite, {plainFile, sql}, cache);
        }
        std::printf("%-15s %9.1f %9.1f %9.1f %8.2f", probe.what, index, scan, likeProcess,
                    scan / index);
        if (likeProcess > 0) std::printf("  index/LIKE %.3f", index / likeProcess);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    const bool tenMillion = qt.arguments().contains(QStringLiteral("--ten-million"));
    const QString cache = QStringLiteral(ORVIK_INDEX_BENCH_CACHE);
    QDir().mkpath(cache);
    buildCatalogues(cache, QStringLiteral("1M"), 10);
    if (tenMillion) buildCatalogues(cache, QStringLiteral("10M"), 100);
    measure(cache, QStringLiteral("1M"), true);
    if (tenMillion) measure(cache, QStringLiteral("10M"), false);
    std::printf("\nscan: the same query on the copy without the index; LIKE: SQLite's own scan "
                "for the nearest LIKE pattern (\"#\" as \"_\"); lookup: the index's count of "
                "candidates alone\n");
    return 0;
}
