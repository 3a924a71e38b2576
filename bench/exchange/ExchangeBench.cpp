// The export and import benchmark, whole processes in one run on the
// benchmarks' catalogue of 1,000,000 records:
// - `orvik-cli export` (CSV) against `sqlite3 -csv` of the same table;
// - `orvik-cli import` of that CSV into an empty catalogue against the
//   sqlite3 program's `.import` of the same file into a bare table;
// - the peak memory of `orvik-cli export --format json`.
// Goals: export at most 1.5 times sqlite3, import at most 2 times, the JSON
// export under 100 MB.
#include "bench/support/BenchCatalogue.h"
#include "bench/support/BenchProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

using namespace orvik::bench;

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    const std::string sqlite =
        QStandardPaths::findExecutable(QStringLiteral("sqlite3")).toStdString();
    if (sqlite.empty()) fail("needs the sqlite3 program (package sqlite3)");
    QTemporaryDir folder;
    const std::string home = folder.path().toStdString();
    const std::string catalogue = home + "/BENCH.mdb", csv = home + "/bench.csv",
                      errors = home + "/errors.txt";
    std::printf("building a catalogue of %d records ...\n", Records);
    std::fflush(stdout);
    buildCatalogue(QString::fromStdString(catalogue));
    const std::string cli = ORVIK_CLI;

    const ProcessRun exported = runProcess({cli, "export", "--catalogue", "BENCH"}, home, errors);
    const ProcessRun dumped = runProcess(
        {sqlite, "-csv", "-header", catalogue, "SELECT rowid, * FROM CDTable"}, home, errors);
    runProcess({cli, "export", "--catalogue", "BENCH", "--output", csv}, home, errors);
    const ProcessRun imported =
        runProcess({cli, "import", csv, "--catalogue", "IMPORTED"}, home, errors);
    const ProcessRun bare = runProcess(
        {sqlite, home + "/bare.db", ".mode csv", ".import " + csv + " CDExport"}, home, errors);
    const ProcessRun json =
        runProcess({cli, "export", "--catalogue", "BENCH", "--format", "json"}, home, errors);

    // The import is only worth its time when every record arrived.
    const std::string count = sqlite + " " + home + "/IMPORTED.mdb 'SELECT count(*) FROM CDTable'";
    FILE* counted = ::popen(count.c_str(), "r");
    long records = 0;
    if (!counted || std::fscanf(counted, "%ld", &records) != 1) fail("cannot count the records");
    ::pclose(counted);

    std::printf("whole processes on %d records, one run each (ms)\n", Records);
    std::printf("  %-44s %8.0f\n", "orvik-cli export (CSV to /dev/null)", exported.ms);
    std::printf("  %-44s %8.0f\n", "sqlite3 -csv of CDTable (to /dev/null)", dumped.ms);
    std::printf("  %-44s %8.2f (goal: at most 1.5)\n", "ratio", exported.ms / dumped.ms);
    std::printf("  %-44s %8.0f (%ld records)\n", "orvik-cli import of that CSV (empty catalogue)",
                imported.ms, records);
    std::printf("  %-44s %8.0f\n", "sqlite3 .import of it into a bare table", bare.ms);
    std::printf("  %-44s %8.2f (goal: at most 2)\n", "ratio", imported.ms / bare.ms);
    std::printf("  %-44s %8.1f MB (goal: under 100 MB; %0.f ms)\n",
                "orvik-cli export --format json, peak memory", json.peakKb / 1024.0, json.ms);
    return 0;
}
