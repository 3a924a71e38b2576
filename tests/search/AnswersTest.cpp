// The answers from the files' checksums on catalogues made by real adds of
// real trees: duplicates, a volume's unique files, redundant volumes, and
// the search window's Tools entries that list them.
#include "core/AppState.h"
#include "core/Startup.h"
#include "search/Duplicates.h"
#include "search/FormSearch.h"
#include "search/RedundantVolumes.h"
#include "search/UniqueFiles.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestChecksums.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

using namespace orvik;
using namespace orvik::test;

namespace {

void makeContent(const QString& path, char fill, int size) {
    QDir().mkpath(QFileInfo(path).path());
    writeFile(path, QByteArray(size, fill));
}

QStringList names(const std::vector<AnswerFile>& files) {
    QStringList names;
    for (const AnswerFile& file : files)
        names << file.record.file;
    return names;
}

// ONE holds a song and a movie twice each, another song of the same name and
// length but other content, and two empty files; TWO a copy of the song and
// the movie; THREE, added without checksums, two READMEs of the same name and
// length and a lone file.
class Answers : public ::testing::Test {
protected:
    void SetUp() override {
        settleStartup(state);
        state.Options.UseFilter = "False";
        state.Options.DisplayPaths = false;
        state.Options.SaveLengths = state.Options.SaveDates = true;
        const QString one = trees.filePath("one"), two = trees.filePath("two"),
                      three = trees.filePath("three");
        makeContent(one + "/a/song.mp3", 'S', 3000);
        makeContent(one + "/b/copy-of-song.mp3", 'S', 3000);
        makeContent(one + "/c/song.mp3", 'T', 3000);
        makeContent(one + "/big/movie.mkv", 'M', 9000);
        makeContent(one + "/big/movie-backup.mkv", 'M', 9000);
        makeContent(one + "/empty1.txt", 'E', 0);
        makeContent(one + "/empty2.txt", 'E', 0);
        makeContent(two + "/x/song-again.mp3", 'S', 3000);
        makeContent(two + "/x/movie.mkv", 'M', 9000);
        makeContent(three + "/notes/readme.txt", 'r', 10);
        makeContent(three + "/old/readme.txt", 'q', 10);
        makeContent(three + "/lone.txt", 'l', 10);
        for (const QString& tree : {one, two, three})
            ASSERT_EQ(addTree(state, tree, QFileInfo(tree).fileName()),
                      VolumeAdd::Result::Finished);
        writeChecksums(state.catalogueFile(), one);
        writeChecksums(state.catalogueFile(), two);
    }

    std::vector<DuplicateGroup> duplicates(std::optional<qint64> minSize = {}) {
        AnswerCatalogues current(state, false);
        return findDuplicates(current, minSize);
    }
    // The bookmark of the head of the volume with `description`.
    QString head(const QString& description) {
        engine::Catalogue db(state.catalogueFile());
        engine::Statement select(db, "SELECT rowid FROM CDTable WHERE CDDescription = ?1");
        select.bind(1, description.toUpper());
        return select.step() ? QString::number(select.integer(0)) : QString();
    }

    TestApp app;
    AppState& state = app.state();
    QTemporaryDir trees;
};

TEST_F(Answers, duplicatesGroupFilesOfTheSameContentLargestWasteFirstWithoutEmptyFiles) {
    const std::vector<DuplicateGroup> groups = duplicates();
    ASSERT_EQ(groups.size(), 3u); // the READMEs' probable group last
    EXPECT_EQ(names(groups[0].files), QStringList({"MOVIE-BACKUP.MKV", "MOVIE.MKV", "MOVIE.MKV"}));
    EXPECT_EQ(groups[0].wasted(), 18000);
    EXPECT_EQ(names(groups[1].files),
              QStringList({"SONG.MP3", "COPY-OF-SONG.MP3", "SONG-AGAIN.MP3"}));
    EXPECT_EQ(groups[1].files[0].record.directory, QString(trees.filePath("one/a/")).toUpper());
    EXPECT_EQ(groups[1].wasted(), 6000);
    EXPECT_TRUE(groups[0].checksum && groups[1].checksum);

    const std::vector<DuplicateGroup> large = duplicates(4000);
    ASSERT_EQ(large.size(), 1u);
    EXPECT_EQ(large[0].length, 9000);
}

TEST_F(Answers, filesWithoutChecksumOfTheSameNameAndLengthFormAProbableGroup) {
    const std::vector<DuplicateGroup> groups = duplicates();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_FALSE(groups[2].checksum);
    EXPECT_EQ(names(groups[2].files), QStringList({"README.TXT", "README.TXT"}));
    EXPECT_EQ(groups[2].wasted(), 10);
}

TEST_F(Answers, uniqueListsTheVolumesFilesHeldOnNoOtherVolume) {
    AnswerCatalogues current(state, false);
    const UniqueFiles one = findUniqueFiles(current, head("one").toLongLong() + 2);
    ASSERT_TRUE(one.volumeFound);
    ASSERT_EQ(names(one.files), QStringList({"SONG.MP3"}));
    EXPECT_EQ(one.files[0].record.directory, QString(trees.filePath("one/c/")).toUpper());
    EXPECT_EQ(one.withoutChecksum, 0);
    // Of a volume without checksums nothing is compared: each file is counted.
    const UniqueFiles three = findUniqueFiles(current, head("three").toLongLong());
    EXPECT_TRUE(three.files.empty());
    EXPECT_EQ(three.withoutChecksum, 3);
}

TEST_F(Answers, redundantListsTheVolumesWhoseEveryFileIsElsewhereWithTheBytesTheyFree) {
    AnswerCatalogues current(state, false);
    const std::vector<RedundantVolume> redundant = findRedundantVolumes(current);
    ASSERT_EQ(redundant.size(), 1u); // not ONE (its other song), not THREE (no checksums)
    EXPECT_EQ(redundant[0].head.description, "TWO");
    EXPECT_EQ(redundant[0].head.bookmark, head("two"));
    EXPECT_EQ(redundant[0].files, 2);
    EXPECT_EQ(redundant[0].bytes, 12000);
}

TEST_F(Answers, toolsEntriesFillTheSearchListWithLinesThatLeadToTheirRecords) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto tool = [&form](const char* name) { form.findChild<QAction*>(name)->trigger(); };
    auto bookmark = [&form](int line) {
        return form.results().index(line).data(ResultListModel::BookmarkRole).toString();
    };

    whenModal([](QWidget& dialog) {
        qobject_cast<QInputDialog*>(&dialog)->setTextValue("4K");
        qobject_cast<QInputDialog*>(&dialog)->accept();
    });
    tool("Tools_Duplicates");
    ASSERT_EQ(form.results().rowCount(), 4);
    EXPECT_EQ(form.results().lines()[0], "Same content: 3 files of 9000 bytes, 18000 bytes wasted");
    EXPECT_EQ(bookmark(0), ""); // the heading leads nowhere
    EXPECT_CONTAINS(form.results().lines()[1], "MOVIE-BACKUP.MKV");
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(),
              "1 groups of duplicates, 18000 bytes wasted");
    child<QListView>(form, "SearchList")->setCurrentIndex(form.results().index(1));
    whenModal([](QWidget& details) {
        EXPECT_EQ(child<QLineEdit>(details, "TextFile")->text(), "MOVIE-BACKUP.MKV");
        child(details, "CmdExit")->click();
    });
    child(form, "CmdDetails")->click();

    tool("Tools_Redundant");
    ASSERT_EQ(form.results().rowCount(), 1);
    EXPECT_EQ(form.results().lines()[0],
              "Vol:*NO_NAME*  (TWO) - [KW=]  frees 12000 bytes in 2 files");
    EXPECT_EQ(bookmark(0), head("two"));

    query(form, "", "CmdListCD");
    child<QListView>(form, "SearchList")->setCurrentIndex(form.results().index(0)); // ONE
    tool("Tools_Unique");
    ASSERT_EQ(form.results().rowCount(), 1);
    EXPECT_CONTAINS(form.results().lines()[0], "SONG.MP3");
    EXPECT_NE(bookmark(0), "");
}

} // namespace
