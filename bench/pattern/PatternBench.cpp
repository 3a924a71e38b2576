// The pattern benchmark: 2,000 directory heads with paths of about 3,900
// characters, searched by the file match with "*", 2,000 "?" and "B", against
// the floor of the same scan with the plain pattern "B" (one pass over each
// path). Prints both times and their ratio; the goal is a small constant, not
// a factor that grows with the number of "?".
#include "bench/support/BenchApp.h"
#include "bench/support/BenchCatalogue.h"
#include "core/AppState.h"
#include "core/Progress.h"
#include "search/ResultLine.h"
#include "search/SearchQueries.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace orvik;

namespace {

constexpr int Heads = 2000;
constexpr int Marks = 2000;

struct CountingSink : ResultSink {
    qsizetype lines = 0;
    void clear() override { lines = 0; }
    void append(const QString&, const ResolvedRecord&) override { ++lines; }
};

// No "B" anywhere but at the end of every tenth path, so most paths make the
// matcher try every start.
bench::BenchRecord record(int i) {
    QString directory = QStringLiteral("/MEDIA/CD%1/").arg(i);
    while (directory.size() < 3890)
        directory += QStringLiteral("DIRECTORY/");
    if (i % 10 == 0) directory += QStringLiteral("B/");
    bench::BenchRecord r;
    if (i == 0) r.volume = QStringLiteral("CD");
    r.file = QStringLiteral("FILE%1.DAT").arg(i);
    r.path = directory;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    bench::BenchApp app;
    AppState& state = app.state();
    bench::buildCatalogue(state.catalogueFile(), Heads, record);

    CountingSink sink;
    SilentProgress progress;
    SearchQueries queries(state, sink, progress);
    qsizetype lines = 0;
    auto fileMatch = [&](const QString& text) {
        return bench::bestOfMs([&] {
            queries.startFileSearch(text);
            queries.Query_MyFindFile(QueryWidth::window(9465));
            lines = sink.lines;
        });
    };
    const double plain = fileMatch(QStringLiteral("B"));
    std::printf("file match \"B\":                 %9.1f ms  (%lld lines)\n", plain,
                qlonglong(lines));
    const QString marks = QStringLiteral("*") + QString(Marks, '?') + QStringLiteral("B");
    const double runs = fileMatch(marks);
    std::printf("file match \"*\", %d \"?\", \"B\": %9.1f ms  (%lld lines)\n", Marks, runs,
                qlonglong(lines));
    std::printf("ratio to the plain pattern:       %9.2f\n", runs / plain);
    return 0;
}
