// orvik-cli add --checksums, verify and update on real trees with known
// contents, as whole processes; the checksums held against xxh128sum's.
#include "core/engine/Catalogue.h"
#include "tests/support/Processes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QMap>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik;
using namespace orvik::test;

namespace {

class ChecksumsTest : public ::testing::Test {
protected:
    // The same content under two names, another of the same length, an empty file.
    void SetUp() override {
        tree = disc.path() + "/disc";
        QDir().mkpath(tree + "/docs");
        writeFile(tree + "/a.txt", "the same content");
        writeFile(tree + "/docs/copy of a.txt", "the same content");
        writeFile(tree + "/docs/b.txt", "other content!!!");
        writeFile(tree + "/empty", {});
    }

    CliRun add(const QStringList& options = {"--checksums"}) {
        return cli(QStringList{"add", tree, "--description", "Test disc", "--no-filter"} + options);
    }
    // As an ordinary user (the test runs as root), who may write the
    // catalogues' folder and read the disc.
    CliRun asUser(const QStringList& arguments) {
        for (const QString& open : {disc.path(), app.home()})
            EXPECT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
        for (const QString& name : QDir(app.home()).entryList(QDir::Files))
            EXPECT_EQ(::chmod(QFile::encodeName(app.home() + "/" + name).constData(), 0666), 0);
        return asNobody(arguments);
    }
    // "DIRECTORY/FILE" below the disc, as stored, with its checksum ("" when none).
    QMap<QString, QString> checksums() {
        engine::Catalogue db(app.home() + "/ORVIK.mdb");
        engine::Statement select(db, "SELECT CDPath, CDFile, lower(hex(Hash)) FROM CDTable "
                                     "LEFT JOIN CDChecksum ON Record = CDTable.rowid "
                                     "ORDER BY CDTable.rowid");
        QMap<QString, QString> found;
        QString path;
        while (select.step()) {
            if (!select.isNull(0)) path = select.text(0).mid(tree.size() + 1);
            found[path + select.text(1)] = select.isNull(2) ? QString() : select.text(2);
        }
        return found;
    }

    TestApp app;
    QTemporaryDir disc;
    QString tree;
};

TEST_F(ChecksumsTest, theAddKeepsEachFilesChecksumAsXxh128sumPrintsIt) {
    if (QStandardPaths::findExecutable("xxh128sum").isEmpty())
        GTEST_SKIP() << "xxh128sum is not installed";
    const CliRun added = add();
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    QMap<QString, QString> expected;
    for (const QString file : {"a.txt", "docs/copy of a.txt", "docs/b.txt", "empty"}) {
        const CliRun sum = run({"xxh128sum", tree + "/" + file});
        ASSERT_EQ(sum.exitCode, 0);
        expected[file.toUpper()] = sum.out.value(0).section(' ', 0, 0);
    }
    EXPECT_EQ(checksums(), expected);
    EXPECT_CONTAINS(cli({"volume", "1"}).out.join('\n'), "Checksums:   yes");
}

TEST_F(ChecksumsTest, aFileTheAddCannotReadIsCountedAndNamedAndGetsNoChecksum) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the add as an ordinary user";
    ASSERT_EQ(::chmod(QFile::encodeName(tree + "/docs/b.txt").constData(), 0), 0);
    const CliRun added =
        asUser({"add", tree, "--description", "Test disc", "--no-filter", "--checksums"});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_TRUE(added.out.contains("1 file could not be read"))
        << added.out.join('|').toStdString();
    EXPECT_EQ(added.err,
              "orvik-cli: could not read the file " + tree + "/docs/b.txt: Permission denied\n");
    const QMap<QString, QString> kept = checksums();
    EXPECT_EQ(kept.size(), 4);
    EXPECT_EQ(kept["DOCS/B.TXT"], "");
    EXPECT_EQ(kept["A.TXT"].size(), 32);
}

TEST_F(ChecksumsTest, verifyOfAnUnchangedTreeExitsZeroSayingEveryFileMatches) {
    ASSERT_EQ(add().exitCode, 0);
    const CliRun verified = cli({"verify", "1"});
    EXPECT_EQ(verified.exitCode, 0) << verified.err.toStdString();
    EXPECT_TRUE(verified.out.isEmpty());
    EXPECT_EQ(verified.err, "4 unchanged, 0 changed, 0 missing, 0 unreadable, 0 new, 0 moved\n");
}

TEST_F(ChecksumsTest, aFileChangedInPlaceKeepingLengthAndDateIsChangedForVerifyAndUpdate) {
    ASSERT_EQ(add().exitCode, 0);
    rewriteKeepingDate(tree + "/docs/b.txt", "other content???");
    const CliRun verified = cli({"verify", "1"});
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_EQ(verified.out, QStringList{"~ DOCS/B.TXT"});
    EXPECT_EQ(verified.err, "3 unchanged, 1 changed, 0 missing, 0 unreadable, 0 new, 0 moved\n");
    const CliRun updated = cli({"update", "1"});
    EXPECT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    EXPECT_EQ(updated.out, QStringList{"~ DOCS/B.TXT"});
    // The update kept the new content's checksum: the medium matches again.
    EXPECT_CONTAINS(updated.err, "the volume's bookmark is now 5");
    EXPECT_EQ(cli({"verify", "5"}).exitCode, 0);
}

TEST_F(ChecksumsTest, anUpdateReadsEachUnchangedFileOnceKeepingWhatItsComparisonRead) {
    if (QStandardPaths::findExecutable("strace").isEmpty()) GTEST_SKIP() << "no strace";
    ASSERT_EQ(add().exitCode, 0);
    const QString trace = disc.path() + "/opens";
    // The leak checker of a sanitized build cannot work under a tracer.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    const CliRun updated = run(
        {"strace", "-f", "-e", "trace=openat", "-o", trace, ORVIK_CLI, "update", "1"}, environment);
    ASSERT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    QFile opens(trace);
    ASSERT_TRUE(opens.open(QIODevice::ReadOnly));
    const QByteArray text = opens.readAll();
    EXPECT_EQ(text.count(QFile::encodeName(tree + "/docs/b.txt\"")), 1);
    EXPECT_EQ(checksums()["DOCS/B.TXT"], "a4399acbf3dc2310644e6ae2fc4c2451");
}

TEST_F(ChecksumsTest, verifyNamesFilesUnreadableMissingAndNewAndExitsOne) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run verify as an ordinary user";
    ASSERT_EQ(add().exitCode, 0);
    ASSERT_EQ(::chmod(QFile::encodeName(tree + "/docs/b.txt").constData(), 0), 0);
    ASSERT_TRUE(QFile::remove(tree + "/empty"));
    writeFile(tree + "/docs/new.txt", "new");
    const CliRun verified = asUser({"verify", "1"});
    EXPECT_EQ(verified.exitCode, 1) << verified.err.toStdString();
    EXPECT_EQ(verified.out, QStringList({"! DOCS/B.TXT", "+ DOCS/NEW.TXT", "- EMPTY"}));
    EXPECT_EQ(verified.err, "2 unchanged, 0 changed, 1 missing, 1 unreadable, 1 new, 0 moved\n");
}

TEST_F(ChecksumsTest, aVolumeWithoutChecksumsIsVerifiedByLengthsAndDatesSayingSo) {
    ASSERT_EQ(add({"--no-checksums"}).exitCode, 0);
    rewriteKeepingDate(tree + "/docs/b.txt", "other content???");
    const CliRun unseen = cli({"verify", "1"});
    EXPECT_EQ(unseen.exitCode, 0);
    EXPECT_EQ(unseen.err, "4 unchanged, 0 changed, 0 missing, 0 unreadable, 0 new, 0 moved "
                          "(checksums were not kept: lengths and dates compared)\n");
    writeFile(tree + "/a.txt", "longer than it was");
    const CliRun seen = cli({"verify", "1"});
    EXPECT_EQ(seen.exitCode, 1);
    EXPECT_EQ(seen.out, QStringList{"~ A.TXT"});
}

TEST_F(ChecksumsTest, verifyRefusesBadInputAndAMediumThatIsNotTheVolumeWithExitTwo) {
    ASSERT_EQ(add().exitCode, 0);
    for (const QStringList& bad :
         {QStringList{"verify", "99"}, {"verify", "x"}, {"verify", "1", disc.path() + "/nowhere"}})
        expectRefused(bad);
    {
        engine::Catalogue db(app.home() + "/ORVIK.mdb");
        db.exec("UPDATE CDVolumeIdentity SET Uuid = 'another-file-system'");
    }
    EXPECT_CONTAINS(expectRefused({"verify", "1"}), "is not the volume");
}

} // namespace
