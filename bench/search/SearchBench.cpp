// The search benchmark: builds a catalogue of 1,000,000 records (30 volume
// runs, directories of 30 files, dates and lengths) and prints the times of
// the file-match query against SQLite's own LIKE scan, the volume list, the
// resolution of 30,000 matches in one run against 30,000 spread over 30 runs,
// and filling the result list view with 100,000 lines.
//
// Goals: file match at most 1.5 times the LIKE scan; volume list under 50 ms;
// 30,000 matches in one run at most 1.3 times as slow as in 30 runs.
#include "bench/support/BenchApp.h"
#include "bench/support/BenchCatalogue.h"
#include "core/AppState.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"
#include "core/records/OwnerTracker.h"
#include "core/records/RecordResolution.h"
#include "search/ResultListModel.h"
#include "search/SearchQueries.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace orvik;
using namespace orvik::bench;

namespace {

struct CountingSink : ResultSink {
    qsizetype lines = 0;
    void clear() override { lines = 0; }
    void append(const QString&, const ResolvedRecord&) override { ++lines; }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    BenchApp app;
    AppState& state = app.state();

    const double built = bestOfMs([&] {
        QFile::remove(state.catalogueFile());
        buildCatalogue(state.catalogueFile());
    });
    std::printf("catalogue of %d records built in %.0f ms\n", Records, built);

    CountingSink sink;
    SilentProgress progress;
    SearchQueries queries(state, sink, progress);
    auto fileMatch = [&](const char* text) {
        queries.startFileSearch(QString::fromLatin1(text));
        queries.Query_MyFindFile(QueryWidth::window(9465));
        return sink.lines;
    };

    qsizetype lines = 0;
    const double photo = bestOfMs([&] { lines = fileMatch("photo"); });
    std::printf("file match, about 1%%:       %7.1f ms  (%lld lines)\n", photo, qlonglong(lines));
    const double unique = bestOfMs([&] { lines = fileMatch("unique"); });
    std::printf("file match, 10 records:     %7.1f ms  (%lld lines)\n", unique, qlonglong(lines));
    qint64 rawCount = 0;
    const double raw = bestOfMs([&] {
        engine::Catalogue db(state.catalogueFile());
        engine::Statement scan(db, "SELECT count(*) FROM CDTable WHERE CDFile LIKE ?1 "
                                   "OR CDPath LIKE ?1");
        scan.bind(1, QStringLiteral("%PHOTO%"));
        scan.step();
        rawCount = scan.integer(0);
    });
    std::printf("SQLite LIKE scan:           %7.1f ms  (%lld rows)\n", raw, qlonglong(rawCount));
    std::printf("file match / LIKE scan:     %7.2f (1%%), %.2f (10 records)\n", photo / raw,
                unique / raw);

    const double volumes = bestOfMs([&] { queries.listVolumes(QString()); });
    std::printf("volume list:                %7.1f ms  (%lld lines)\n", volumes,
                qlonglong(sink.lines));

    // 30,000 matches deep inside the first run against the first 1,000 of each
    // of the 30 runs: walking back to the volume head would cost 15 times more
    // in the one run. First the resolution alone, then the whole query.
    auto& rs = *state.CatalogueRecordset;
    rs.MoveFirst();
    const qint64 firstRowid = rs.Bookmark().toLongLong();
    std::vector<QString> oneRun, spread;
    for (int i = 0; i < 30000; ++i)
        oneRun.push_back(QString::number(firstRowid + 3000 + i));
    for (int run = 0; run < Runs; ++run)
        for (int i = 1; i <= 1000; ++i)
            spread.push_back(QString::number(firstRowid + qint64(run) * RunLength + i));
    auto resolveAll = [&](const std::vector<QString>& bookmarks, bool tracked) {
        OwnerTracker owners(rs.database());
        for (const QString& bookmark : bookmarks) {
            rs.setBookmark(bookmark);
            FindMyFile(rs, state.prompt(), tracked ? &owners : nullptr);
        }
    };
    for (const bool tracked : {false, true}) {
        const double inOneRun = bestOfMs([&] { resolveAll(oneRun, tracked); });
        const double overRuns = bestOfMs([&] { resolveAll(spread, tracked); });
        std::printf("resolve 30,000 by %s: one run %7.1f ms, 30 runs %7.1f ms, ratio %.2f\n",
                    tracked ? "forward tracker" : "owner walk     ", inOneRun, overRuns,
                    inOneRun / overRuns);
    }
    qsizetype alphaLines = 0, betaLines = 0;
    const double alpha = bestOfMs([&] { alphaLines = fileMatch("alpha"); });
    const double beta = bestOfMs([&] { betaLines = fileMatch("beta"); });
    std::printf("file match, %lld in one run %7.1f ms, %lld in 30 runs %7.1f ms, ratio %.2f\n",
                qlonglong(alphaLines), alpha, qlonglong(betaLines), beta, alpha / beta);

    // The result list with 100,000 lines: appending, showing, and jumping to the end.
    ResultListModel model;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(800, 600);
    view.show();
    const double listFill = bestOfMs([&] {
        model.clear();
        for (int i = 0; i < 100000; ++i)
            model.append(QStringLiteral("line %1").arg(i), {});
        model.flush();
        view.scrollToBottom();
        QCoreApplication::processEvents();
        view.repaint();
    });
    std::printf("list of 100,000 lines:      %7.1f ms\n", listFill);
    return 0;
}
