// The erase benchmark: the whole `orvik-cli erase` process on a catalogue of
// 1,000,000 records in ten runs of 100,000, erasing the fourth run, against
// its floor: one DELETE of the same rowids and a VACUUM on a copy of the same
// file. Prints both times, their ratio and the file's size before and after.
#include "bench/support/BenchCatalogue.h"
#include "core/engine/Catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace orvik;
using namespace orvik::bench;

namespace {

constexpr int Count = 1'000'000, RunRecords = 100'000, Erased = 3;
constexpr int Repeats = 3; // best of

BenchRecord record(int i) {
    const int run = i / RunRecords, inRun = i % RunRecords;
    BenchRecord r;
    if (inRun == 0) {
        r.volume = QStringLiteral("CD%1").arg(run);
        r.description = QStringLiteral("DISC NUMBER %1").arg(run);
    }
    r.file = QStringLiteral("FILE%1.DAT").arg(i);
    r.date = QStringLiteral("2001-02-03 04:05:06");
    if (inRun % 30 == 0) r.path = QStringLiteral("/MEDIA/CD%1/DIR%2/").arg(run).arg(inRun / 30);
    r.length = QString::number(1000 + i);
    return r;
}

double ms(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    QTemporaryDir folder;
    const QString master = folder.filePath("MASTER.db"), file = folder.filePath("BENCH.mdb");
    buildCatalogue(master, Count, record);
    const qint64 sizeBefore = QFileInfo(master).size();
    const QString head = QString::number(qint64(Erased) * RunRecords + 1);
    auto fresh = [&] {
        QFile::remove(file);
        QFile::copy(master, file);
    };

    double floor = 1e300, erase = 1e300;
    qint64 sizeAfter = 0;
    for (int i = 0; i < Repeats; ++i) {
        fresh();
        QElapsedTimer clock;
        clock.start();
        {
            engine::Catalogue db(file);
            engine::Statement remove(db, "DELETE FROM CDTable WHERE rowid >= ?1 AND rowid < ?2");
            remove.bind(1, head.toLongLong()).bind(2, head.toLongLong() + RunRecords);
            remove.step();
            db.exec("VACUUM");
        }
        floor = std::min(floor, ms(clock));

        fresh();
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ORVIK_HOME"), folder.path());
        cli.setProcessEnvironment(environment);
        clock.restart();
        cli.start(QStringLiteral(ORVIK_CLI),
                  {QStringLiteral("erase"), head, QStringLiteral("--catalogue"),
                   QStringLiteral("BENCH")});
        cli.waitForFinished(-1);
        erase = std::min(erase, ms(clock));
        if (cli.exitCode() != 0)
            std::printf("erase failed: %s\n", cli.readAllStandardError().constData());
        sizeAfter = QFileInfo(file).size();
    }
    std::printf("erase of a %d-record run from %d records, best of %d\n", RunRecords, Count,
                Repeats);
    std::printf("  orvik-cli erase (whole process) %8.0f ms\n", erase);
    std::printf("  floor: DELETE + VACUUM          %8.0f ms\n", floor);
    std::printf("  ratio                           %8.2f\n", erase / floor);
    std::printf("  catalogue file %lld bytes before, %lld after\n", qlonglong(sizeBefore),
                qlonglong(sizeAfter));
    return 0;
}
