// The add looking inside archives and disc images: real archives made with
// the system's tools, added through Add1 of the main window, the catalogue
// read back record by record.
#include "tests/catalogue/CatalogueFixture.h"

#include "tests/support/Archives.h"

#include <QAction>
#include <QDateTime>
#include <QFile>

namespace orvik::test {
namespace {

using engine::Field;

// Every member's time of change: stored as 2001-02-03 04:05:06.
const qint64 MemberTime = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)).toSecsSinceEpoch();

class ArchiveAdd : public MainWindowTest {
protected:
    // Every test makes zips; those that need more tools check for them too.
    void SetUp() override {
        if (const QString tool = missingTool({"zip"}); !tool.isEmpty())
            GTEST_SKIP() << tool.toStdString() << " is not installed";
        MainWindowTest::SetUp();
    }
    // README.TXT of 10 bytes and MAPS/E1M1.BSP of 1,000, the files every
    // archive of the tests holds.
    void makeContent() {
        makeFile(content + "/readme.txt", 10, MemberTime);
        makeFile(content + "/MAPS/e1m1.bsp", 1000, MemberTime);
    }
    // Adds the disc looking inside archives, dates and lengths on, no filter.
    void addLookingInside() {
        app.state().settings().saveBool("LookInArchives", true);
        openWindow(true, true, false);
        addDisc("Games");
    }
    // "DIRECTORY|FILE|LENGTH|DATE" of every record, the directory below the
    // disc as stored, whether the record heads it or not.
    QStringList listing() {
        QStringList lines;
        QString path;
        for (const engine::Row& row : records()) {
            if (row[size_t(Field::CDPath)]) path = row[size_t(Field::CDPath)]->mid(stored().size());
            lines << QStringList{path, row[size_t(Field::CDFile)].value_or(""),
                                 row[size_t(Field::CDFileLen)].value_or(""),
                                 row[size_t(Field::CDFileDate)].value_or("")}
                         .join('|');
        }
        return lines;
    }
    // The directories below the disc that head a record, in append order.
    QStringList headedDirectories() {
        QStringList paths;
        for (const QString& path : column(Field::CDPath))
            if (path != "<Null>") paths << path.mid(stored().size());
        return paths;
    }

    QTemporaryDir sources;
    const QString content = sources.path() + "/content";
};

TEST_F(ArchiveAdd, membersOfEveryKindAreRecordedBelowTheArchivesPathWithLengthsAndDates) {
    if (const QString tool = missingTool({"tar", "gzip", "xz", "zstd", "7z", "xorriso"});
        !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    makeContent();
    const QString games = disc + "/GAMES/";
    QDir().mkpath(games);
    runTool({"zip", "-qrX", games + "quake.zip", "."}, content);
    runTool({"tar", "-czf", games + "q.tar.gz", "."}, content);
    runTool({"tar", "-cJf", games + "q.tar.xz", "."}, content);
    runTool({"tar", "--zstd", "-cf", games + "q.tar.zst", "."}, content);
    runTool({"7z", "a", "-bd", games + "q.7z", "readme.txt", "MAPS"}, content);
    runTool({"xorriso", "-as", "mkisofs", "-quiet", "-R", "-o", games + "q.iso", "."}, content);

    addLookingInside();
    QStringList expected;
    for (const char* archive : {"Q.7Z", "Q.ISO", "Q.TAR.GZ", "Q.TAR.XZ", "Q.TAR.ZST", "QUAKE.ZIP"})
        expected << QStringLiteral("GAMES/%1/|README.TXT|10|2001-02-03 04:05:06").arg(archive)
                 << QStringLiteral("GAMES/%1/MAPS/|E1M1.BSP|1000|2001-02-03 04:05:06").arg(archive);
    const QStringList lines = listing();
    EXPECT_EQ(lines.mid(6), expected);
    QStringList archives;
    for (const QString& line : lines.mid(0, 6))
        archives << line.section('|', 0, 1);
    archives.sort();
    EXPECT_EQ(archives, QStringList({"GAMES/|Q.7Z", "GAMES/|Q.ISO", "GAMES/|Q.TAR.GZ",
                                     "GAMES/|Q.TAR.XZ", "GAMES/|Q.TAR.ZST", "GAMES/|QUAKE.ZIP"}))
        << "each archive is a file of its directory as well";
    EXPECT_TRUE(status().startsWith("Finished!\r\n14 Directories \r\n18 Files ("))
        << status().toStdString();
}

TEST_F(ArchiveAdd, anArchivesDirectoriesComeWhereDirectoriesOfTheirPathsWouldSort) {
    makeContent();
    makeFile(content + "/DOCS/EN/manual.txt", 5);
    // Without entries of their own for the directories: DOCS holds only a
    // directory and is known from the path below it.
    QDir().mkpath(disc + "/GAMES");
    runTool({"zip", "-qrXD", disc + "/GAMES/quake.zip", "."}, content);
    makeFile(disc + "/GAMES/quake.zip.old/x.txt", 1);
    makeFile(disc + "/GAMES/quake/y.txt", 1);

    addLookingInside();
    const std::vector<QString>& walked = form->add().DirList;
    const QStringList handedOver(walked.begin(), walked.begin() + form->add().DirCount);
    const QString games = disc + "/GAMES/";
    EXPECT_EQ(handedOver, QStringList({disc, disc + "/GAMES", games + "quake", games + "quake.zip",
                                       games + "quake.zip.old", games + "quake.zip/DOCS",
                                       games + "quake.zip/DOCS/EN", games + "quake.zip/MAPS"}));
    EXPECT_EQ(headedDirectories(),
              QStringList({"GAMES/", "GAMES/QUAKE/", "GAMES/QUAKE.ZIP/", "GAMES/QUAKE.ZIP.OLD/",
                           "GAMES/QUAKE.ZIP/DOCS/EN/", "GAMES/QUAKE.ZIP/MAPS/"}));
}

TEST_F(ArchiveAdd, aFileIsAnArchiveByWhatItHoldsWhateverItsName) {
    makeContent();
    runTool({"zip", "-qrX", disc + "/backup.dat", "."}, content);
    writeFile(disc + "/notes.zip", QByteArray("Shopping list\nbread\nmilk\n").repeated(20));
    writeFile(disc + "/tiny.zip", "PK");

    addLookingInside();
    EXPECT_EQ(headedDirectories(), QStringList({"", "BACKUP.DAT/", "BACKUP.DAT/MAPS/"}));
    QStringList files = column(Field::CDFile).mid(0, 3);
    files.sort();
    EXPECT_EQ(files, QStringList({"BACKUP.DAT", "NOTES.ZIP", "TINY.ZIP"}));
    EXPECT_FALSE(status().contains("could not be read")) << status().toStdString();
}

TEST_F(ArchiveAdd, anArchiveInsideAnArchiveIsAMemberNotOpened) {
    makeContent();
    QDir().mkpath(sources.path() + "/inner");
    runTool({"zip", "-qrX", sources.path() + "/inner/inner.zip", "."}, content);
    runTool({"zip", "-qX", disc + "/outer.zip", "inner.zip"}, sources.path() + "/inner");

    addLookingInside();
    QStringList inner;
    for (const QString& line : listing())
        if (line.contains("INNER")) inner << line.section('|', 0, 2);
    EXPECT_EQ(inner,
              QStringList{"OUTER.ZIP/|INNER.ZIP|" +
                          QString::number(QFileInfo(sources.path() + "/inner/inner.zip").size())});
    EXPECT_EQ(headedDirectories(), QStringList({"", "OUTER.ZIP/"}));
}

TEST_F(ArchiveAdd, archivesThatCannotBeReadAreFilesKeepingTheMembersReadAndAreCounted) {
    if (const QString tool = missingTool({"tar", "gzip", "7z"}); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    makeContent();
    // Its header damaged where the first member's name lies.
    runTool({"zip", "-qrX", disc + "/corrupt.zip", "."}, content);
    QByteArray damaged = fileBytes(disc + "/corrupt.zip");
    damaged.replace(26, 30, QByteArray(30, '\xff'));
    writeFile(disc + "/corrupt.zip", damaged);
    // Cut short inside its second member, whose data does not compress.
    QDir().mkpath(content + "/big");
    writeFile(content + "/big/noise.bin", [] {
        QByteArray noise;
        for (quint32 x = 1; noise.size() < 200000; x = x * 1664525 + 1013904223)
            noise += char(x >> 24);
        return noise;
    }());
    runTool({"tar", "-czf", sources.path() + "/whole.tgz", "readme.txt", "big/noise.bin"}, content);
    writeFile(disc + "/cut.tgz", fileBytes(sources.path() + "/whole.tgz").left(100000));
    // The same stored: the second member's data is passed over, not read.
    runTool({"tar", "-cf", sources.path() + "/whole.tar", "readme.txt", "big/noise.bin"}, content);
    writeFile(disc + "/cut.tar", fileBytes(sources.path() + "/whole.tar").left(100000));
    // Its names encrypted: nothing can be listed.
    runTool({"7z", "a", "-bd", "-mhe=on", "-psecret", disc + "/hidden.7z", "readme.txt"}, content);
    // Only its data encrypted: the names can be listed.
    runTool({"zip", "-qrX", "-P", "secret", disc + "/locked.zip", "readme.txt"}, content);

    addLookingInside();
    EXPECT_EQ(headedDirectories(), QStringList({"", "CUT.TAR/", "CUT.TAR/BIG/", "CUT.TGZ/",
                                                "CUT.TGZ/BIG/", "LOCKED.ZIP/"}));
    EXPECT_TRUE(listing().contains("CUT.TGZ/|README.TXT|10|2001-02-03 04:05:06"));
    QStringList files = column(Field::CDFile).mid(0, 5);
    files.sort();
    EXPECT_EQ(files, QStringList({"CORRUPT.ZIP", "CUT.TAR", "CUT.TGZ", "HIDDEN.7Z", "LOCKED.ZIP"}));
    EXPECT_TRUE(status().endsWith(" secs elapsed)\r\n4 archives could not be read"))
        << status().toStdString();
    EXPECT_TRUE(app.prompt().shown.empty()) << "nothing is asked";
    QStringList unreadable;
    for (const TreeCollector::UnreadableArchive& archive : form->add().UnreadableArchives)
        unreadable << QFileInfo(archive.path).fileName();
    unreadable.sort();
    EXPECT_EQ(unreadable, QStringList({"corrupt.zip", "cut.tar", "cut.tgz", "hidden.7z"}));
}

TEST_F(ArchiveAdd, theOptionIsOffOnAFreshInstallLeavingArchivesFilesAndItsClickIsSaved) {
    makeContent();
    runTool({"zip", "-qrX", disc + "/quake.zip", "."}, content);
    openWindow(true, true, false);
    QAction* option = child<QAction>("OptArchives");
    EXPECT_FALSE(option->isChecked());
    addDisc("Games");
    EXPECT_EQ(listing().size(), 1);
    EXPECT_EQ(headedDirectories(), QStringList{""});

    option->trigger();
    EXPECT_TRUE(option->isChecked());
    EXPECT_EQ(app.state().settings().get("LookInArchives", ""), "True");
    addDisc("Games");
    EXPECT_EQ(headedDirectories(), QStringList({"", "", "QUAKE.ZIP/", "QUAKE.ZIP/MAPS/"}));
}

} // namespace
} // namespace orvik::test
