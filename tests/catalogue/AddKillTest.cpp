// An add killed in the middle of its writing stage leaves the catalogue
// whole and holding exactly the records it had before; a creation killed at
// any moment leaves a whole catalogue or none.
#include "tests/catalogue/CatalogueFixture.h"

#include "core/CatalogueFiles.h"
#include "core/engine/Catalogue.h"
#include "tests/support/Processes.h"

#include <QProcess>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik::test {
namespace {

TEST(AddKilled, leavesTheCatalogueAsBeforeTheAdd) {
    QTemporaryDir home, small, big;
    makeFile(small.path() + "/one.txt");
    makeFile(small.path() + "/sub/two.txt");
    for (int d = 0; d < 60; ++d) {
        const QByteArray dir = QFile::encodeName(big.path() + QString("/d%1/").arg(d));
        ASSERT_EQ(mkdir(dir.constData(), 0755), 0);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(close(creat(dir + QByteArray::number(i), 0644)), 0);
    }

    QProcess first;
    first.start(ADD_KILL_HELPER, {home.path(), small.path()});
    ASSERT_TRUE(first.waitForFinished(30000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const QString catalogue = home.path() + "/ORVIK.mdb";
    const auto before = readCatalogue(catalogue);
    ASSERT_EQ(before.size(), 2u);
    const qint64 sizeBefore = QFileInfo(catalogue).size();

    QProcess second;
    second.start(ADD_KILL_HELPER, {home.path(), big.path()});
    bool writing = false;
    while (!writing && second.waitForReadyRead(30000))
        while (!writing && second.canReadLine())
            writing = second.readLine().startsWith("File count: 20000");
    ASSERT_TRUE(writing) << second.readAllStandardError().toStdString();
    second.kill();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::CrashExit);
    // Part of the run had reached the file; only the journal can take it back.
    EXPECT_GT(QFileInfo(catalogue).size(), sizeBefore);
    EXPECT_TRUE(QFileInfo::exists(catalogue + "-journal"));

    EXPECT_EQ(integrity(catalogue), "ok");
    EXPECT_EQ(readCatalogue(catalogue), before);
}

// The helper, killed at its 1st, 2nd, 3rd, ... write, has died at every point of
// the making of its first catalogue once it leaves two.
TEST(CreationKilled, leavesAWholeCatalogueOrNone) {
    bool killedBeforeTheFirst = false, killedAfterTheFirst = false;
    for (int write = 1; !killedAfterTheFirst && write < 1000; ++write) {
        QTemporaryDir home;
        ASSERT_TRUE(run({ADD_KILL_HELPER, "--create", home.path()}, killingAtWrite(write)).crashed)
            << "write " << write;
        const QStringList names = catalogueNames(home.path());
        for (const QString& name : names) {
            const QString file = home.path() + "/" + name + ".mdb";
            ASSERT_TRUE(catalogueExists(file)) << file.toStdString();
            EXPECT_TRUE(readCatalogue(file).empty()) << file.toStdString();
        }
        killedBeforeTheFirst |= names.isEmpty();
        killedAfterTheFirst = names.size() >= 2;
    }
    EXPECT_TRUE(killedBeforeTheFirst);
    EXPECT_TRUE(killedAfterTheFirst) << "the helper never made two catalogues";
}

} // namespace
} // namespace orvik::test
