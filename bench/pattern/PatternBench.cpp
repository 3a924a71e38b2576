// The pattern benchmark: 2,000 directory heads with paths of about 3,900
// characters, searched by the file match with "*", 2,000 "?" and "B", against
// the floor of the same scan with the plain pattern "B" (one pass over each
// path). Prints both times and their ratio; the goal is a small constant, not
// a factor that grows with the number of "?".
#include "AppState.h"
#include "Progress.h"
#include "Prompt.h"
#include "ResultLine.h"
#include "SearchQueries.h"
#include "engine/CatalogueTable.h"
#include "engine/Database.h"
#include "engine/Workspace.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace orvik;

namespace {

constexpr int Heads = 2000;
constexpr int Marks = 2000;

class PrintingPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons, Icon, const QString&) override {
        std::printf("box: %s\n", qPrintable(text));
        return Answer::Yes;
    }
};

struct CountingSink : ResultSink {
    qsizetype lines = 0;
    void clear() override { lines = 0; }
    void append(const QString&, const ResolvedRecord&) override { ++lines; }
};

// No "B" anywhere but at the end of every tenth path, so most paths make the
// matcher try every start.
void buildCatalogue(const QString& path) {
    engine::Workspace workspace;
    auto db = workspace.CreateDatabase(path);
    engine::createCatalogueTable(*db);
    engine::Statement insert(*db, "INSERT INTO CDTable (CDVolume, CDFile, CDPath) "
                                  "VALUES (?1, ?2, ?3)");
    engine::Transaction transaction(*db);
    for (int i = 0; i < Heads; ++i) {
        QString directory = QStringLiteral("/MEDIA/CD%1/").arg(i);
        while (directory.size() < 3890)
            directory += QStringLiteral("DIRECTORY/");
        if (i % 10 == 0) directory += QStringLiteral("B/");
        insert.bind(1, i == 0 ? std::optional(QStringLiteral("CD")) : std::nullopt);
        insert.bind(2, QStringLiteral("FILE%1.DAT").arg(i));
        insert.bind(3, directory);
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

// Best of three, in milliseconds.
double timeMs(const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    QTemporaryDir folder;
    Services services;
    services.prompt = std::make_unique<PrintingPrompt>();
    AppState state(folder.path(), folder.filePath("Orvik.ini"), std::move(services));
    state.CatalogueName = QStringLiteral("BENCH");
    buildCatalogue(state.catalogueFile());

    CountingSink sink;
    SilentProgress progress;
    SearchQueries queries(state, sink, progress);
    qsizetype lines = 0;
    auto fileMatch = [&](const QString& text) {
        return timeMs([&] {
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
