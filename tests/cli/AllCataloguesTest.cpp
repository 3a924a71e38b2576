// orvik-cli's queries with --all-catalogues, as whole processes on catalogues
// made by real adds of real trees.
#include "core/engine/Catalogue.h"
#include "tests/support/Processes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik::test;

namespace {

const QStringList Names = {"ARCHIVE", "MUSIC", "PHOTOS"}; // in name order
// Three catalogues, each of one add of a tree of its own, made out of name
// order, and JUNK.mdb, a file that is no catalogue.
class AllCatalogues : public ::testing::Test {
protected:
    void SetUp() override {
        const struct {
            const char* name;
            QStringList files;
            const char* keywords;
        } catalogues[] = {
            {"photos", {"readme.txt", "img/holiday.jpg", "img/beach.jpg"}, "camera"},
            {"music", {"readme.txt", "song.mp3"}, "sound"},
            {"archive", {"readme.txt", "old/letter.doc"}, "paper"},
        };
        for (const auto& c : catalogues) {
            const QString tree = trees.filePath(c.name);
            for (const QString& file : c.files)
                makeFile(tree + "/" + file, 4);
            const CliRun add =
                cli({"add", tree, "--catalogue", c.name, "--no-filter", "--description",
                     QString(c.name) + " disc", "--keywords", c.keywords});
            ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
        }
        makeFile(app.home() + "/JUNK.mdb", 3000);
    }

    TestApp app;
    QTemporaryDir trees;
};

} // namespace

TEST_F(AllCatalogues, eachQueryListsEveryCataloguesLinesUnderItsNameInNameOrder) {
    for (const QStringList& query : QList<QStringList>{{"find", "readme"},
                                                       {"find", "holiday", "--no-paths"},
                                                       {"keywords", "o"},
                                                       {"describe", "disc"},
                                                       {"volumes"}}) {
        SCOPED_TRACE(query.join(' ').toStdString());
        QStringList grouped;
        for (const QString& name : Names) {
            const QStringList lines = cli(query + QStringList{"--catalogue", name}).out;
            if (!lines.isEmpty()) grouped << "Catalogue " + name + ":" << lines;
        }
        const CliRun all = cli(query + QStringList("--all-catalogues"));
        EXPECT_EQ(all.exitCode, 0);
        EXPECT_EQ(all.out, grouped);
        EXPECT_CONTAINS(all.err, "skipped catalogue JUNK: Error 26");
    }
}

TEST_F(AllCatalogues, tsvAndJsonNameEachRecordsCatalogueInWhichShowFindsItsBookmark) {
    const CliRun tsv = cli({"find", "readme", "--all-catalogues", "--format", "tsv"});
    ASSERT_EQ(tsv.out.size(), 4);
    EXPECT_EQ(tsv.out[0], "volume\tdescription\tkeywords\tdirectory\tfile\tdate\tlength\tbookmark"
                          "\tcatalogue");
    const CliRun json = cli({"find", "readme", "--all-catalogues", "--format", "json"});
    ASSERT_EQ(json.out.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QStringList fields = tsv.out[i + 1].split('\t');
        const QString catalogue = fields.takeLast();
        EXPECT_EQ(catalogue, Names[i]);
        EXPECT_EQ(QJsonDocument::fromJson(json.out[i].toUtf8()).object()["catalogue"], catalogue);
        const CliRun shown = cli({"show", fields[7], "--catalogue", catalogue, "--format", "tsv"});
        EXPECT_EQ(shown.out.value(1), fields.join('\t'));
    }
}

TEST_F(AllCatalogues, aCatalogueTheUserMayNotReadIsNamedAndSkippedWhileTheOthersAnswer) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    ASSERT_EQ(::chmod(QFile::encodeName(app.home()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(app.home() + "/MUSIC.mdb").constData(), 0), 0);

    const CliRun readme = asNobody({"find", "readme", "--all-catalogues"});
    EXPECT_EQ(readme.exitCode, 0);
    EXPECT_EQ(readme.out.filter("Catalogue "),
              QStringList({"Catalogue ARCHIVE:", "Catalogue PHOTOS:"}));
    EXPECT_EQ(readme.out.size(), 4);
    EXPECT_CONTAINS(readme.err, "skipped catalogue MUSIC: Error 14");
    EXPECT_CONTAINS(readme.err, "skipped catalogue JUNK");

    const CliRun song = asNobody({"find", "song", "--all-catalogues"});
    EXPECT_EQ(song.exitCode, 1) << "found nowhere it could look";
    EXPECT_TRUE(song.out.isEmpty());
    EXPECT_CONTAINS(song.err, "skipped catalogue MUSIC");
}

// As it answers a query of its own, read-only.
TEST_F(AllCatalogues, aCatalogueOfANewerVersionAnswersWithTheOthers) {
    orvik::engine::Catalogue(app.home() + "/ARCHIVE.mdb").exec("PRAGMA user_version = 99");
    const CliRun readme = cli({"find", "readme", "--all-catalogues"});
    EXPECT_EQ(readme.exitCode, 0);
    EXPECT_EQ(readme.out.filter("Catalogue "),
              QStringList({"Catalogue ARCHIVE:", "Catalogue MUSIC:", "Catalogue PHOTOS:"}));
}

TEST_F(AllCatalogues, exitStatusIsOneWithoutLinesAndTwoWhenNoneCouldBeReadOrTheQueryFails) {
    EXPECT_EQ(cli({"find", "nothing-like-this", "--all-catalogues"}).exitCode, 1);
    EXPECT_EQ(cli({"find", "readme", "--all-catalogues", "--catalogue", "music"}).exitCode, 2);

    const CliRun malformed = cli({"find", "[abc", "--all-catalogues"});
    EXPECT_EQ(malformed.exitCode, 2);
    EXPECT_EQ(malformed.err.count("[abc"), 1) << malformed.err.toStdString();

    QTemporaryDir junkOnly;
    makeFile(junkOnly.filePath("JUNK.mdb"), 3000);
    const QProcessEnvironment environment = withHome(junkOnly.path());
    const CliRun unreadable = cli({"volumes", "--all-catalogues"}, environment);
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_CONTAINS(unreadable.err, "no catalogue could be read");

    QFile::remove(junkOnly.filePath("JUNK.mdb"));
    EXPECT_EQ(cli({"volumes", "--all-catalogues"}, environment).exitCode, 1);
}

TEST_F(AllCatalogues, aPrintOutHoldsTheTextLinesOfEveryCatalogueUnderItsHeading) {
    const QString pdf = trees.filePath("discs.pdf");
    const CliRun printed = cli({"describe", "disc", "--all-catalogues", "--print", pdf});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    ASSERT_EQ(printed.out.size(), 6);
    EXPECT_EQ(pdfLines(pdf),
              QStringList("Orvik - Results of search for *DISC* in every catalogue") +
                  simplified(printed.out));
}
