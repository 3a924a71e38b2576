// The browse window benchmark: the real FormBrowse, opened offscreen through
// the search window's button, and the expansion of a volume of 100,000 files
// in it, on catalogues of 1,000,000 and 10,000,000 records in 10,000 volumes.
// Each against its floor in the same run: a bare read of the volume heads
// (rowid, label, description) for the opening, a bare read of the volume's
// run for the expansion, both through the same SQLite connection.
//
// The big volume sits in the middle of the catalogue: ten directories that
// hold only subdirectories, a hundred subdirectories each, a hundred files in
// every subdirectory. The other volumes hold directories of 30 files. Every
// volume has its identity, as an add writes it; the catalogues are written by
// the add's own appender (file index included) once and kept in the build
// folder (bench/browse/cache).
//
// Goal: the opening and the expansion each under 200 ms.
#include "bench/support/BenchApp.h"
#include "core/AppState.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/RecordAppender.h"
#include "core/engine/VolumeIdentity.h"
#include "core/engine/Workspace.h"
#include "core/records/VolumeBrowse.h"
#include "search/FormBrowse.h"
#include "search/FormSearch.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <cstdio>

using namespace orvik;

namespace {

constexpr int Repeats = 5; // best of
constexpr int Volumes = 10'000;
constexpr int BigVolume = Volumes / 2;
constexpr int TopDirectories = 10, SubDirectories = 100, FilesPerSubDirectory = 100;
constexpr int BigFiles = TopDirectories * SubDirectories * FilesPerSubDirectory;
constexpr int SmallDirectoryFiles = 30;

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

// The catalogue of `records` records at `path`, written whole under another
// name and renamed into place, so an interrupted build is never taken for one.
void buildCatalogue(const QString& path, int records) {
    std::printf("building %s (once) ...\n", qPrintable(path));
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    const QString building = path + QStringLiteral(".building");
    QFile::remove(building);
    {
        engine::Workspace workspace;
        auto db = workspace.CreateDatabase(building, engine::createCatalogueTable);
        engine::RecordAppender appender(*db);
        const int smallFiles = (records - BigFiles) / (Volumes - 1);
        int extra = (records - BigFiles) % (Volumes - 1);
        int number = 0;
        for (int volume = 0; volume < Volumes; ++volume) {
            const QString top = QStringLiteral("/MEDIA/CD%1/").arg(volume, 5, 10, QLatin1Char('0'));
            auto file = [&](const QString& directory, bool directoryHead, bool volumeHead) {
                engine::StoredRecord r;
                if (volumeHead) {
                    r[0] = utf8(QStringLiteral("CD%1").arg(volume, 5, 10, QLatin1Char('0')));
                    r[1] = utf8(QStringLiteral("DISC NUMBER %1").arg(volume));
                }
                r[2] = utf8(QStringLiteral("FILE%1.DAT").arg(number));
                r[3] = "2001-02-03 04:05:06";
                if (directoryHead) r[4] = utf8(directory);
                r[5] = QByteArray::number(1000 + number);
                ++number;
                appender.append(r);
            };
            if (volume == BigVolume) {
                for (int t = 0; t < TopDirectories; ++t)
                    for (int s = 0; s < SubDirectories; ++s)
                        for (int f = 0; f < FilesPerSubDirectory; ++f)
                            file(top + QStringLiteral("TOP%1/SUB%2/").arg(t).arg(s), f == 0,
                                 t == 0 && s == 0 && f == 0);
                continue;
            }
            const int count = smallFiles + (extra-- > 0 ? 1 : 0);
            for (int f = 0; f < count; ++f)
                file(top + QStringLiteral("DIR%1/").arg(f / SmallDirectoryFiles),
                     f % SmallDirectoryFiles == 0, f == 0);
        }
        appender.commit();
        // Each volume's identity, as its add would have written it.
        engine::Transaction transaction(*db);
        int volume = 0;
        for (const VolumeHead& head : readVolumeHeads(*db)) {
            engine::VolumeIdentity identity;
            identity.fsType = QStringLiteral("iso9660");
            identity.topDirectory =
                QStringLiteral("/media/cd%1").arg(volume++, 5, 10, QLatin1Char('0'));
            identity.place = QStringLiteral("/");
            identity.scanned = QStringLiteral("2026-11-02T09:15:00Z");
            engine::writeVolumeIdentity(*db, head.rowid, identity);
        }
        transaction.commit();
    }
    QFile::rename(building, path);
    std::printf("  built in %.1f s, %.0f MB\n", double(clock.elapsed()) / 1000,
                double(QFileInfo(path).size()) / 1e6);
}

// Every byte of every column of every row `select` gives, counted: a read
// that touches what the window reads, and no more.
qint64 readAll(engine::Statement& select) {
    qint64 bytes = 0;
    while (select.step())
        for (int column = 0; column < 5; ++column)
            bytes += qint64(select.utf8(column).size());
    return bytes;
}

struct Figures {
    double openMs, headsFloorMs, expandMs, runFloorMs;
    int shownVolumes, expandedRows;
};

// No box is expected: any is printed and answered.
class PrintingPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons, Icon, const QString&) override {
        std::printf("box: %s\n", qPrintable(text));
        return Answer::Ok;
    }
};

Figures measure(const QString& cache, const QString& name) {
    Services services;
    services.prompt = std::make_unique<PrintingPrompt>();
    auto state = std::make_unique<AppState>(cache, cache + QStringLiteral("/Orvik.ini"),
                                            std::move(services));
    state->CatalogueName = name;
    state->settings().saveBool(QStringLiteral("AutoList"), false); // the search list stays empty
    FormSearch search(*state);
    search.show();
    if (!QTest::qWaitForWindowExposed(&search)) std::exit(2);
    auto* browse = search.findChild<QPushButton*>(QStringLiteral("CmdBrowse"));
    auto db = state->workspace().OpenDatabase(state->catalogueFile());

    Figures figures{};
    figures.headsFloorMs = bench::bestOfMs(
        [&] {
            engine::Statement heads(*db, "SELECT rowid, CDVolume, CDDescription, 0, 0 FROM "
                                         "CDTable WHERE CDVolume IS NOT NULL AND "
                                         "(CDVolume IS NOT NULL)=1 ORDER BY rowid");
            readAll(heads);
        },
        Repeats);
    // A browse window opened by the button, shown and painted.
    auto open = [&] {
        browse->click();
        auto* form = search.findChild<FormBrowse*>();
        if (!form || !QTest::qWaitForWindowExposed(form)) std::exit(2);
        QCoreApplication::processEvents();
        return form;
    };
    auto close = [&](FormBrowse* form) {
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    figures.openMs = bench::bestOfMs(
        [&] {
            FormBrowse* form = open();
            figures.shownVolumes = form->volumes().rowCount();
            close(form);
        },
        Repeats);

    const std::int64_t head = readVolumeHeads(*db)[BigVolume].rowid;
    const std::int64_t end = readVolumeHeads(*db)[BigVolume + 1].rowid;
    figures.runFloorMs = bench::bestOfMs(
        [&] {
            engine::Statement run(*db, "SELECT rowid, CDFile, CDFileDate, CDPath, CDFileLen FROM "
                                       "CDTable WHERE rowid >= ?1 AND rowid < ?2 ORDER BY rowid");
            run.bind(1, head).bind(2, end);
            readAll(run);
        },
        Repeats);
    double best = 1e300;
    for (int i = 0; i < Repeats; ++i) {
        FormBrowse* form = open();
        auto* tree = form->findChild<QTreeView*>(QStringLiteral("TreeVolumes"));
        const QModelIndex volume = form->volumes().index(BigVolume, 0);
        QElapsedTimer clock;
        clock.start();
        tree->expand(volume);
        QCoreApplication::processEvents(); // its rows painted
        best = std::min(best, double(clock.nsecsElapsed()) / 1e6);
        figures.expandedRows = form->volumes().rowCount(volume);
        close(form);
    }
    figures.expandMs = best;
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    const QString cache = QStringLiteral(ORVIK_BROWSE_BENCH_CACHE);
    QDir().mkpath(cache);
    std::printf("%-12s %8s | %9s %10s %6s | %9s %10s %6s\n", "records", "volumes", "open ms",
                "heads ms", "ratio", "expand ms", "run ms", "ratio");
    for (const auto& [records, name] : {std::pair{1'000'000, QStringLiteral("BROWSE1M")},
                                        {10'000'000, QStringLiteral("BROWSE10M")}}) {
        const QString file = cache + u'/' + name + QStringLiteral(".mdb");
        if (!QFileInfo::exists(file)) buildCatalogue(file, records);
        const Figures f = measure(cache, name);
        std::printf("%-12d %8d | %9.1f %10.1f %6.1f | %9.1f %10.1f %6.1f\n", records,
                    f.shownVolumes, f.openMs, f.headsFloorMs, f.openMs / f.headsFloorMs, f.expandMs,
                    f.runFloorMs, f.expandMs / f.runFloorMs);
        if (f.expandedRows != TopDirectories)
            std::printf("the big volume shows %d rows, not %d\n", f.expandedRows, TopDirectories);
    }
    std::printf("open: the search window's \"Bro&wse Volumes...\" until the browse window is "
                "painted; heads: a bare read of every volume head. expand: the volume of %d "
                "files expanded and painted; run: a bare read of its run. Goal: open and expand "
                "each under 200 ms.\n",
                BigFiles);
    return 0;
}
