// An add killed in the middle of its writing stage leaves the catalogue
// whole and holding exactly the records it had before; a creation killed at
// any moment leaves a whole catalogue or none.
#include "CatalogueFixture.h"

#include "CatalogueFiles.h"
#include "engine/Database.h"

#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <ctime>
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

    engine::Database db(catalogue);
    engine::Statement check(db, "PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
    EXPECT_EQ(readCatalogue(catalogue), before);
}

TEST(CreationKilled, leavesAWholeCatalogueOrNone) {
    std::srand(unsigned(std::time(nullptr)));
    int catalogues = 0;
    for (int kill = 0; kill < 40; ++kill) {
        QTemporaryDir home;
        QProcess creating;
        creating.start(ADD_KILL_HELPER, {"--create", home.path()});
        ASSERT_TRUE(creating.waitForStarted());
        QThread::usleep(unsigned(5000 + std::rand() % 30000));
        creating.kill();
        ASSERT_TRUE(creating.waitForFinished(10000));
        for (const QString& name : catalogueNames(home.path())) {
            const QString file = home.path() + "/" + name + ".mdb";
            ASSERT_TRUE(catalogueExists(file)) << file.toStdString();
            EXPECT_TRUE(readCatalogue(file).empty()) << file.toStdString();
            ++catalogues;
        }
    }
    EXPECT_GT(catalogues, 0) << "the helper never got to create one";
}

} // namespace
} // namespace orvik::test
