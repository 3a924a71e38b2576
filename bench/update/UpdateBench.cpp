// Times the update of a 100,000-file volume of which 1% changed, a whole
// `orvik-cli update` process, against its floor in the same run: a whole
// `orvik-cli add` of the same changed tree into an empty catalogue, which
// writes the very records the update leaves. Warm caches; the two alternate,
// the best of each counts. Absolute times drift on a shared machine; the
// ratio is the figure (goal: at most 1.2).
#include "bench/support/BenchProcess.h"
#include "bench/support/BenchTree.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace orvik::bench;

namespace {

constexpr int Repeats = 3;

// A hundredth of the files: a third removed, a third grown by a byte, a
// third joined by a new file beside them.
int changeTree(const std::string& tree) {
    int changed = 0;
    for (int t = 0; t < TopDirectories; ++t)
        for (int s = 0; s < SubDirectories && changed < TreeFiles / 100; s += 5, ++changed) {
            const std::string directory =
                tree + "/Top" + std::to_string(t) + "/Sub " + std::to_string(s);
            const std::string file = directory + "/file" + std::to_string(s % 20) + ".dat";
            if (changed % 3 == 0) {
                if (::unlink(file.c_str()) != 0) fail(file);
            } else {
                const std::string target = changed % 3 == 1 ? file : directory + "/new.dat";
                const int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
                if (fd < 0 || ::write(fd, "+", 1) != 1) fail(target);
                ::close(fd);
            }
        }
    return changed;
}

void removeCatalogue(const QString& file) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
}

// The catalogue's records in append order, without their rowids.
std::vector<orvik::engine::Row> records(const QString& file) {
    orvik::engine::Catalogue db(file);
    orvik::engine::Statement select(db, "SELECT CDVolume, CDDescription, CDFile, CDFileDate, "
                                        "CDPath, CDFileLen, CDKeywords FROM CDTable ORDER BY "
                                        "rowid");
    std::vector<orvik::engine::Row> rows;
    while (select.step()) {
        rows.emplace_back();
        for (int i = 0; i < orvik::engine::FieldCount; ++i)
            rows.back()[size_t(i)] = select.value(i);
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString base = folder.path();
    const std::string tree = (base + "/tree").toStdString();
    const std::string updating = (base + "/updating").toStdString();
    const std::string adding = (base + "/adding").toStdString();
    for (const std::string& directory : {tree, updating, adding})
        if (!QDir().mkpath(QString::fromStdString(directory))) fail(directory);
    const std::string errors = (base + "/errors").toStdString();
    const int directories = buildTree(tree);
    const std::vector<std::string> add{ORVIK_CLI,       "add",   tree,
                                       "--description", "bench", "--no-filter"};
    runProcess(add, updating, errors);
    const QString updated = QString::fromStdString(updating) + "/ORVIK.mdb";
    const QString added = QString::fromStdString(adding) + "/ORVIK.mdb";
    const QString before = base + "/before.mdb";
    if (!QFile::copy(updated, before)) fail("copy");
    const int changed = changeTree(tree);
    std::printf("tree: %d directories, %ld files; %d changed (removed, grown, new)\n",
                directories + 1, TreeFiles, changed);

    double update = 1e300, fresh = 1e300;
    for (int r = 0; r < Repeats; ++r) {
        removeCatalogue(updated);
        if (!QFile::copy(before, updated)) fail("copy");
        update = std::min(update, runProcess({ORVIK_CLI, "update", "1"}, updating, errors).ms);
        removeCatalogue(added);
        fresh = std::min(fresh, runProcess(add, adding, errors).ms);
    }
    std::printf("orvik-cli update:           %8.1f ms (best of %d)\n", update, Repeats);
    std::printf("orvik-cli add of the same:  %8.1f ms (best of %d)\n", fresh, Repeats);
    std::printf("update / fresh add:         %8.2f   (goal <= 1.2)\n", update / fresh);
    std::printf("records equal to the add's: %s\n",
                records(updated) == records(added) ? "yes" : "NO");
    return 0;
}
