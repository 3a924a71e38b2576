// orvik-cli add and update looking inside archives, as whole processes on
// real archives made with the system's tools.
#include "tests/support/Archives.h"
#include "tests/support/Processes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik;
using namespace orvik::test;

namespace {

class ArchivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const QString tool = missingTool({"zip"}); !tool.isEmpty())
            GTEST_SKIP() << tool.toStdString() << " is not installed";
        makeFile(content + "/readme.txt", 10);
        makeFile(content + "/MAPS/e1m1.bsp", 1000);
        QDir().mkpath(tree + "/GAMES");
        runTool({"zip", "-qrX", tree + "/GAMES/quake.zip", "."}, content);
    }
    CliRun add(const QStringList& options = {}) {
        return cli(QStringList{"add", tree, "--description", "Games", "--no-filter"} + options);
    }
    // The directories the file match "*" finds files in.
    QStringList directories() {
        QStringList found;
        for (const QString& line : cli({"find", "*", "--format", "tsv"}).out.mid(1))
            found << line.section('\t', 3, 3).mid(tree.size() + 1);
        found.removeDuplicates();
        return found;
    }

    TestApp app;
    QTemporaryDir media;
    const QString content = media.path() + "/content";
    const QString tree = media.path() + "/disc";
};

TEST_F(ArchivesTest, addLooksInsideByTheSettingUnlessArchivesOrNoArchivesSaysOtherwise) {
    ASSERT_EQ(add().exitCode, 0);
    EXPECT_EQ(directories(), QStringList{"GAMES/"}) << "off on a fresh install";
    app.state().settings().saveBool("LookInArchives", true);
    ASSERT_EQ(add({"--catalogue", "SET"}).exitCode, 0);
    ASSERT_EQ(add({"--catalogue", "NO", "--no-archives"}).exitCode, 0);
    app.state().settings().saveBool("LookInArchives", false);
    ASSERT_EQ(add({"--catalogue", "YES", "--archives"}).exitCode, 0);
    for (const char* catalogue : {"SET", "YES"}) {
        ASSERT_EQ(cli({"use", catalogue}).exitCode, 0);
        EXPECT_EQ(directories(),
                  QStringList({"GAMES/", "GAMES/QUAKE.ZIP/", "GAMES/QUAKE.ZIP/MAPS/"}))
            << catalogue;
        EXPECT_CONTAINS(cli({"volume", "1"}).out.join('\n'), "Archives:    yes");
    }
    ASSERT_EQ(cli({"use", "NO"}).exitCode, 0);
    EXPECT_EQ(directories(), QStringList{"GAMES/"});
    EXPECT_CONTAINS(cli({"volume", "1"}).out.join('\n'), "Archives:    no");
}

TEST_F(ArchivesTest, membersGetTheChecksumsOfTheirContentsWhichVerifyComparesWithTheMedium) {
    if (const QString tool = missingTool({"xxh128sum"}); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    ASSERT_EQ(add({"--archives", "--checksums"}).exitCode, 0);
    QMap<QString, QString> kept;
    {
        engine::Catalogue db(app.home() + "/ORVIK.mdb");
        engine::Statement select(db, "SELECT CDFile, lower(hex(Hash)) FROM CDTable JOIN "
                                     "CDChecksum ON Record = CDTable.rowid");
        while (select.step())
            kept[select.text(0)] = select.text(1);
    }
    for (const auto& [member, file] :
         {std::pair{"README.TXT", "readme.txt"}, std::pair{"E1M1.BSP", "MAPS/e1m1.bsp"}})
        EXPECT_EQ(kept.value(member),
                  run({"xxh128sum", content + "/" + file}).out.value(0).section(' ', 0, 0))
            << member;
    EXPECT_EQ(cli({"verify", "1"}).exitCode, 0);

    // The member changed in place: as long as it was, and as old.
    rewriteKeepingDate(content + "/MAPS/e1m1.bsp", QByteArray(1000, 'y'));
    ASSERT_TRUE(QFile::remove(tree + "/GAMES/quake.zip"));
    runTool({"zip", "-qrX", tree + "/GAMES/quake.zip", "."}, content);
    const CliRun verified = cli({"verify", "1"});
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_TRUE(verified.out.contains("~ GAMES/QUAKE.ZIP/MAPS/E1M1.BSP"))
        << verified.out.join('|').toStdString();
}

TEST_F(ArchivesTest, zipMembersAreDatedWithoutReadingTheTimeZoneFileForEach) {
    if (QStandardPaths::findExecutable("strace").isEmpty()) GTEST_SKIP() << "no strace";
    // A zip without extra fields: its members have only local dates.
    for (int i = 0; i < 40; ++i)
        makeFile(content + QString("/MORE/%1.txt").arg(i), 10);
    runTool({"zip", "-qrX", tree + "/GAMES/more.zip", "MORE"}, content);
    const QString trace = media.path() + "/calls";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("TZ");
    // The leak checker of a sanitized build cannot work under a tracer.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    const CliRun added = run({"strace", "-f", "-e", "trace=%file", "-o", trace, ORVIK_CLI, "add",
                              tree, "--description", "Games", "--no-filter", "--archives"},
                             environment);
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    QFile calls(trace);
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    EXPECT_LE(calls.readAll().count("/etc/localtime"), 2);
    const QStringList found = cli({"find", "39.TXT", "--format", "tsv"}).out;
    ASSERT_EQ(found.size(), 2);
    const QDateTime modified = QFileInfo(content + "/MORE/39.txt").lastModified();
    // zip keeps local times to the even second, rounding up.
    EXPECT_EQ(found[1].section('\t', 5, 5),
              modified.addSecs(modified.time().second() % 2).toString("yyyy-MM-dd HH:mm:ss"));
}

TEST_F(ArchivesTest, findFindsAMemberByItsNameInTheArchivesDirectory) {
    ASSERT_EQ(add({"--archives"}).exitCode, 0);
    const CliRun found = cli({"find", "e1m1.bsp", "--format", "tsv"});
    ASSERT_EQ(found.out.size(), 2) << found.out.join('\n').toStdString();
    EXPECT_EQ(found.out[1].section('\t', 3, 5), (tree + "/GAMES/QUAKE.ZIP/MAPS/").toUpper() +
                                                    "\tE1M1.BSP\t" +
                                                    found.out[1].section('\t', 5, 5));
    EXPECT_EQ(found.out[1].section('\t', 6, 6), "1000");
}

TEST_F(ArchivesTest, addSaysHowManyArchivesCouldNotBeReadAndNamesEach) {
    QByteArray damaged = fileBytes(tree + "/GAMES/quake.zip");
    damaged.replace(26, 30, QByteArray(30, '\xff'));
    writeFile(tree + "/damaged.zip", damaged);
    writeFile(tree + "/cut.zip", fileBytes(tree + "/GAMES/quake.zip").left(100));
    const CliRun added = add({"--archives"});
    EXPECT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_EQ(added.out.last(), "2 archives could not be read");
    const QStringList told = added.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(told.size(), 2) << added.err.toStdString();
    for (const char* archive : {"/damaged.zip: ", "/cut.zip: "})
        EXPECT_EQ(told.filter("orvik-cli: could not read the archive " + tree + archive).size(), 1)
            << added.err.toStdString();
}

// Run as an ordinary user: root reads every file.
TEST_F(ArchivesTest, anArchiveItsUserCannotReadIsCataloguedAsAFileWithItsLengthAndDate) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    const QByteArray zip = QFile::encodeName(tree + "/GAMES/quake.zip");
    ASSERT_EQ(::chmod(zip.constData(), 0), 0);
    for (const QString& open : {media.path(), app.home()})
        ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const CliRun added =
        asNobody({"add", tree, "--description", "Games", "--no-filter", "--archives"});
    ::chmod(zip.constData(), 0644);
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_FALSE(added.out.join('\n').contains("could not be read"));
    const CliRun found = cli({"find", "*", "--format", "tsv"});
    ASSERT_EQ(found.out.size(), 2) << found.out.join('\n').toStdString();
    EXPECT_EQ(found.out[1].section('\t', 4, 4), "QUAKE.ZIP");
    EXPECT_EQ(found.out[1].section('\t', 5, 5),
              QFileInfo(tree + "/GAMES/quake.zip").lastModified().toString("yyyy-MM-dd HH:mm:ss"));
    EXPECT_EQ(found.out[1].section('\t', 6, 6),
              QString::number(QFileInfo(tree + "/GAMES/quake.zip").size()));
}

TEST_F(ArchivesTest, updateComparesMembersLikeFilesWalkingAsTheAddDid) {
    ASSERT_EQ(add({"--archives"}).exitCode, 0);
    makeFile(content + "/MAPS/e1m2.bsp", 2000);
    runTool({"zip", "-qrX", tree + "/GAMES/quake.zip", "MAPS/e1m2.bsp"}, content);
    // The setting off: the volume's own option holds.
    const CliRun updated = cli({"update", "1"});
    EXPECT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    EXPECT_EQ(updated.out, QStringList({"~ GAMES/QUAKE.ZIP", "+ GAMES/QUAKE.ZIP/MAPS/E1M2.BSP"}));
    EXPECT_EQ(directories(), QStringList({"GAMES/", "GAMES/QUAKE.ZIP/", "GAMES/QUAKE.ZIP/MAPS/"}));
}

} // namespace
