// orvik-cli's answers from the files' checksums, as whole processes on
// catalogues made by real adds with checksums of real trees.
#include "tests/support/Processes.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestChecksums.h"
#include "tests/support/TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace orvik::test;

namespace {

// Catalogues GAMES and MUSIC, each of one add of a tree holding the same
// content under another name, and a file of its own.
class AnswersCli : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString name : {"games", "music"}) {
            const QString tree = trees.filePath(name);
            QDir().mkpath(tree);
            writeFile(tree + "/" + name + "-copy.dat", QByteArray(5000, 'D'));
            writeFile(tree + "/own.dat", name.toUtf8());
            const CliRun add = cli({"add", tree, "--catalogue", name, "--no-filter", "--checksums",
                                    "--description", name + " disc"});
            ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
        }
    }

    TestApp app;
    QTemporaryDir trees;
};

TEST_F(AnswersCli, duplicatesAcrossCataloguesAreFoundWithAllCatalogues) {
    EXPECT_EQ(cli({"duplicates", "--catalogue", "games"}).exitCode, 1);

    const CliRun text = cli({"duplicates", "--all-catalogues", "--no-paths"});
    EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
    ASSERT_EQ(text.out.size(), 3);
    EXPECT_EQ(text.out[0], "Same content: 2 files of 5000 bytes, 5000 bytes wasted");
    EXPECT_TRUE(text.out[1].startsWith("GAMES-COPY.DAT ")) << text.out[1].toStdString();
    EXPECT_TRUE(text.out[1].endsWith("  [GAMES]"));
    EXPECT_TRUE(text.out[2].endsWith("  [MUSIC]"));

    const CliRun tsv = cli({"duplicates", "--all-catalogues", "--format", "tsv"});
    ASSERT_EQ(tsv.out.size(), 3);
    EXPECT_EQ(tsv.out[0], "volume\tdescription\tkeywords\tdirectory\tfile\tdate\tlength\tbookmark"
                          "\tgroup\tchecksum\tprobable\tcatalogue");
    EXPECT_TRUE(tsv.out[2].endsWith(
        "\t1\t" + orvik::engine::checksumText(contentChecksum(QByteArray(5000, 'D'))) +
        "\t0\tMUSIC"));

    const CliRun json = cli({"duplicates", "--all-catalogues", "--format", "json"});
    ASSERT_EQ(json.out.size(), 2);
    const QJsonObject music = QJsonDocument::fromJson(json.out[1].toUtf8()).object();
    EXPECT_EQ(music["file"].toString(), "MUSIC-COPY.DAT");
    EXPECT_EQ(music["catalogue"].toString(), "MUSIC");
    EXPECT_EQ(music["probable"].toBool(true), false);
    // Its bookmark is one of its catalogue.
    const CliRun show = cli({"show", music["bookmark"].toString(), "--catalogue", "music"});
    EXPECT_CONTAINS(show.out.join('\n'), "MUSIC-COPY.DAT");
}

TEST_F(AnswersCli, uniqueAndRedundantCountOtherCataloguesHoldersWithAllCatalogues) {
    const CliRun alone = cli({"unique", "1", "--catalogue", "games", "--format", "tsv"});
    EXPECT_EQ(alone.out.size(), 3); // both files: GAMES holds each once
    EXPECT_EQ(cli({"redundant", "--all-catalogues"}).exitCode, 1); // each holds a file of its own

    cli({"use", "games"});
    const CliRun unique = cli({"unique", "1", "--all-catalogues", "--format", "tsv"});
    EXPECT_EQ(unique.exitCode, 0);
    ASSERT_EQ(unique.out.size(), 2);
    EXPECT_CONTAINS(unique.out[1], "\tOWN.DAT\t");

    EXPECT_EQ(cli({"duplicates", "--min-size", "5x"}).exitCode, 2);
    EXPECT_EQ(cli({"unique", "999"}).exitCode, 2);
}

} // namespace
