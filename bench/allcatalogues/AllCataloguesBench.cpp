// The every-catalogue benchmark: a selective `orvik-cli find --all-catalogues`
// (one line a catalogue) over ten catalogues of 1,000,000 records each, as a
// whole process, against its floor in the same run: the same find as ten
// single-catalogue processes (`--catalogue NAME`), one after another; and
// one of those alone. Runs are taken in turns; prints the medians, the ratio
// and the lines found.
//
// Goal: the find over the ten catalogues under 100 ms.
//
// The catalogues (about 800 MB) live in a temporary folder, deleted at the end.
#include "bench/support/BenchCatalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvik;

namespace {

constexpr int Catalogues = 10;
constexpr int Repeats = 11; // medians of
// UNIQUE52345.TXT: one record of each catalogue (see bench/support/BenchCatalogue).
const QString Pattern = QStringLiteral("unique52345");

QString catalogueName(int i) {
    return QStringLiteral("SHELF%1").arg(i);
}

struct Found {
    double ms;
    int lines;
};

Found find(const QString& home, const QStringList& arguments) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORVIK_HOME"), home);
    cli.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(ORVIK_CLI), QStringList{QStringLiteral("find"), Pattern} + arguments);
    cli.waitForFinished(-1);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (cli.exitCode() != 0)
        std::printf("find failed: %s\n", cli.readAllStandardError().constData());
    return {ms, int(cli.readAllStandardOutput().count('\n'))};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    QTemporaryDir home;
    std::printf("building %d catalogues of %d records in %s ...\n", Catalogues, bench::Records,
                qPrintable(home.path()));
    std::fflush(stdout);
    // One built, the rest copies: each file is read through a cache of its own.
    const QString first = home.filePath(catalogueName(0) + ".mdb");
    bench::buildCatalogue(first);
    for (int i = 1; i < Catalogues; ++i)
        QFile::copy(first, home.filePath(catalogueName(i) + ".mdb"));
    const qint64 bytes = QFileInfo(first).size();

    std::vector<double> every, singles, firstOnly;
    int everyLines = 0, singleLines = 0;
    for (int r = 0; r < Repeats; ++r) {
        const Found all = find(home.path(), {QStringLiteral("--all-catalogues")});
        every.push_back(all.ms);
        everyLines = all.lines;
        double sum = 0;
        singleLines = 0;
        for (int i = 0; i < Catalogues; ++i) {
            const Found one = find(home.path(), {QStringLiteral("--catalogue"), catalogueName(i)});
            sum += one.ms;
            singleLines += one.lines;
            if (i == 0) firstOnly.push_back(one.ms);
        }
        singles.push_back(sum);
    }
    const double everyMs = median(every), singlesMs = median(singles);
    std::printf("selective find (%s) over %d catalogues of %d records (%lld bytes each), "
                "median of %d\n",
                qPrintable(Pattern), Catalogues, bench::Records, qlonglong(bytes), Repeats);
    std::printf("  orvik-cli find --all-catalogues     %8.1f ms  (%d lines, headings included; "
                "goal under 100 ms)\n",
                everyMs, everyLines);
    std::printf("  floor: ten finds --catalogue NAME   %8.1f ms  (%d lines)\n", singlesMs,
                singleLines);
    std::printf("  ratio                               %8.2f\n", everyMs / singlesMs);
    std::printf("  one find --catalogue %-14s %8.1f ms\n", qPrintable(catalogueName(0)),
                median(firstOnly));
    return 0;
}
