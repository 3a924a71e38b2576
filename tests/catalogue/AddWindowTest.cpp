// The add as the user runs it: real trees added through Add1 of the main
// window, the catalogue read back record by record.
#include "tests/catalogue/CatalogueFixture.h"

#include "core/engine/Recordset.h"
#include "core/platform/LinuxFileSystem.h"
#include "details/RecordEdits.h"
#include "manage/RawRecordEdit.h"
#include "tests/support/TreeAdd.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace orvik::test {
namespace {

using engine::Field;
const QString N = "<Null>";

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

class AddWindow : public MainWindowTest {};

TEST_F(AddWindow, asksForADescriptionFirstThenAddsTheExampleDiscAsOneSparseRunAndAgainAsAnother) {
    for (const char* name : {"readme.txt", "setup.exe", "DATA/a.dat", "DATA/b.dat"})
        makeFile(disc + "/" + name);
    QDir().mkpath(disc + "/DOCS");
    openWindow(false, false, false);
    // With the drive gone too, the missing description is what is reported.
    app.drives().types.remove(disc);
    addDisc("");
    ASSERT_EQ(app.prompt().texts(), QStringList{"Please enter a description"});
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::Exclamation);
    EXPECT_FALSE(QFile::exists(app.state().catalogueFile()));
    app.drives().types.insert(disc, DriveCdRom);

    addDisc("Quake demo", "fps");
    EXPECT_EQ(column(Field::CDVolume), QStringList({"GAMES1", N, N, N}));
    EXPECT_EQ(column(Field::CDDescription), QStringList({"QUAKE DEMO", N, N, N}));
    EXPECT_EQ(column(Field::CDKeywords), QStringList({"FPS", N, N, N}));
    EXPECT_EQ(column(Field::CDPath), QStringList({stored(), N, stored("DATA"), N}));
    const QStringList files = column(Field::CDFile);
    EXPECT_EQ(sorted(files.mid(0, 2)), QStringList({"README.TXT", "SETUP.EXE"}));
    EXPECT_EQ(sorted(files.mid(2)), QStringList({"A.DAT", "B.DAT"}));
    EXPECT_TRUE(status().startsWith("Finished!\r\n3 Directories \r\n4 Files (") &&
                status().endsWith(" secs elapsed)"))
        << status().toStdString();
    EXPECT_TRUE(child<QLineEdit>("TextDesc")->text().isEmpty());
    EXPECT_TRUE(app.state().CatalogueChanged);

    // No keywords this time: the new run's head leaves them Null.
    addDisc("Quake demo");
    ASSERT_EQ(records().size(), 8u);
    for (Field field : {Field::CDVolume, Field::CDDescription, Field::CDPath})
        EXPECT_EQ(column(field).mid(4), column(field).mid(0, 4));
    EXPECT_EQ(column(Field::CDKeywords).mid(4), QStringList(4, N));
    EXPECT_EQ(app.prompt().shown.size(), 1u);
}

TEST_F(AddWindow, filterKeepsListedExtensionsAndAFullyFilteredDirectoryLeavesNoTrace) {
    for (const char* name : {"PROG.EXE", "readme.txt", "Makefile", "a.cpp", "x.co",
                             "report.final.doc", "odd.", "AAA/only.cpp", "BBB/notes.txt"})
        makeFile(disc + "/" + name);
    openWindow(false, false, true);

    addDisc("filtered");
    const QStringList files = column(Field::CDFile);
    EXPECT_EQ(sorted(files), QStringList({"NOTES.TXT", "ODD.", "PROG.EXE", "README.TXT", "X.CO"}));
    // AAA wrote nothing; BBB's first record still heads its own directory.
    EXPECT_EQ(files.value(4), "NOTES.TXT");
    EXPECT_EQ(column(Field::CDPath).value(4), stored("BBB"));
    EXPECT_TRUE(status().contains("\r\n5 Files (")) << status().toStdString();

    // Unchecking the filter lets every file through, names without a dot included.
    child<QAction>("UseFilter")->trigger();
    addDisc("unfiltered");
    EXPECT_EQ(records().size(), 5u + 9u);
}

TEST_F(AddWindow, skipsHiddenEntriesFifosAndLinkLoopsAndKeepsOddNames) {
    for (const char* name : {"with space.txt", "quote'\"s.txt", "Ünïcødé.txt", ".hidden.txt",
                             ".secret/inside.txt", "sub/kept.txt"})
        makeFile(disc + "/" + QString::fromUtf8(name));
    const QByteArray root = QFile::encodeName(disc);
    ASSERT_EQ(mkfifo(root + "/pipe.txt", 0644), 0);
    ASSERT_EQ(symlink("loop", root + "/loop"), 0);
    ASSERT_EQ(symlink("..", root + "/sub/up"), 0);
    // Names that are not UTF-8, one of them a directory listed again for its files.
    ASSERT_EQ(mkdir(root + "/dir\xff", 0755), 0);
    for (const char* raw : {"/bad\xff\xfe.txt", "/dir\xff/inside.txt"})
        ASSERT_EQ(close(creat(root + raw, 0644)), 0);
    openWindow(false, false, false);

    addDisc("odd names");
    EXPECT_EQ(
        sorted(column(Field::CDFile)),
        sorted({"KEPT.TXT", "INSIDE.TXT", "QUOTE'\"S.TXT", "WITH SPACE.TXT",
                QString::fromUtf8("ÜNÏCØDÉ.TXT"), QFile::decodeName("bad\xff\xfe.txt").toUpper()}));
    EXPECT_TRUE(status().startsWith("Finished!\r\n3 Directories")) << status().toStdString();
    // QDir cannot name these to remove them.
    for (const char* raw : {"/bad\xff\xfe.txt", "/dir\xff/inside.txt", "/dir\xff"})
        ::remove(root + raw);
}

TEST_F(AddWindow, datesAndLengthsFollowTheOptionsAtEachRecordAndAddIsNotReentered) {
    const qint64 when = 946729800; // 2000-01-01 12:30 UTC
    for (int i = 0; i < 60; ++i)
        makeFile(disc + QString("/f%1.txt").arg(i), i, when + i);
    openWindow(true, true, false);

    // At the first pause of the writing stage (record 20) both options are
    // switched off and Add1, usable again, is clicked a second time.
    QTimer::singleShot(0, form.get(), [this] {
        child<QAction>("OptDates")->trigger();
        child<QAction>("OptLen")->trigger();
        child("Add1")->click();
    });
    addDisc("dates");
    const auto rows = records();
    ASSERT_EQ(rows.size(), 60u);
    const QStringList files = column(Field::CDFile), dates = column(Field::CDFileDate),
                      lengths = column(Field::CDFileLen);
    for (int i = 0; i < 60; ++i) {
        const int n = files[i].mid(1).chopped(4).toInt();
        EXPECT_EQ(dates[i],
                  i < 20 ? QDateTime::fromSecsSinceEpoch(when + n).toString("yyyy-MM-dd HH:mm:ss")
                         : N)
            << i;
        EXPECT_EQ(lengths[i], i < 20 ? QString::number(n) : N) << i;
    }
    EXPECT_FALSE(app.state().settings().getBool("SaveDates", true));
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(AddWindow, cancelLeavesTheCatalogueAsBeforeAndAnEmptiedDescriptionIsNull) {
    makeFile(disc + "/first.txt");
    openWindow(false, false, false);
    addDisc("before");
    for (int d = 0; d < 30; ++d)
        makeFile(disc + QString("/d%1/f.txt").arg(d));
    for (int i = 0; i < 50; ++i)
        makeFile(disc + QString("/many%1.txt").arg(i));

    // Cancel seen at the 20th directory found.
    QTimer::singleShot(0, form.get(), [this] { child("CmdExit")->click(); });
    addDisc("collect");
    EXPECT_EQ(status(), "Cancelled by user!");
    EXPECT_EQ(records().size(), 1u);
    EXPECT_FALSE(form->CancelFlag);

    // A flat disc pauses first at record 20 of the writing stage.
    for (int d = 0; d < 30; ++d)
        QDir(disc + QString("/d%1").arg(d)).removeRecursively();
    QTimer::singleShot(0, form.get(), [this] {
        EXPECT_EQ(child("CmdExit")->text(), "Cancel");
        child("CmdExit")->click();
    });
    addDisc("write");
    EXPECT_EQ(status(), "Cancelled by user!");
    EXPECT_EQ(form->add().FileCount, 20);
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(app.endings, 0);
    EXPECT_EQ(child("CmdExit")->text(), "E&xit");

    // The description box emptied while the tree is read: the head's description is Null.
    for (int d = 0; d < 20; ++d)
        makeFile(disc + QString("/e%1/f.txt").arg(d));
    QTimer::singleShot(0, form.get(), [this] {
        child<QLineEdit>("TextDesc")->clear();
        form->TextDesc_LostFocus();
    });
    addDisc("emptied");
    const auto rows = records();
    ASSERT_EQ(rows.size(), 72u);
    EXPECT_EQ(rows[1][size_t(Field::CDDescription)], std::nullopt);
}

// The details and raw database windows stay open while the main window adds:
// their edits wait for the add's transaction like another program's write,
// never becoming part of it (and rolled back with it).
TEST_F(AddWindow, anEditWhileTheAddWritesIsRefusedNotMadePartOfTheAdd) {
    makeFile(disc + "/a.txt");
    makeFile(disc + "/b.txt");
    openWindow(false, false, false);
    addDisc("first");
    for (int i = 0; i < 50; ++i)
        makeFile(disc + QString("/many%1.txt").arg(i));
    engine::Recordset shown(app.state().workspace().OpenDatabase(app.state().catalogueFile()),
                            engine::RecordsetType::Dynaset);
    shown.MoveFirst();
    shown.MoveNext();
    bool duringTheAdd = false;
    QTimer::singleShot(0, form.get(), [&] {
        duringTheAdd = app.state().CatalogueDatabase->inTransaction();
        storeKeywords(app.state(), shown, "during");
        bool save = true; // the raw database window's edit, refused likewise
        EXPECT_THROW(storeRawEdits(shown, save, "raw", {}), Error);
        child("CmdExit")->click();
    });
    addDisc("cancelled");
    EXPECT_TRUE(duringTheAdd);
    EXPECT_EQ(status(), "Cancelled by user!");
    ASSERT_EQ(app.prompt().texts().size(), 1);
    EXPECT_TRUE(app.prompt().texts()[0].contains("another write of this program is open"))
        << app.prompt().texts()[0].toStdString();
    EXPECT_EQ(column(Field::CDKeywords), QStringList({N, N}));

    storeKeywords(app.state(), shown, "after");
    EXPECT_EQ(column(Field::CDKeywords), QStringList({N, "AFTER"}));
}

TEST_F(AddWindow, aWritingFailureRollsTheRunBackAndOffersRetryAndCancel) {
    for (int i = 0; i < 30; ++i)
        makeFile(disc + QString("/a%1.txt").arg(i));
    openWindow(false, false, false);
    addDisc("first");

    // From record 20 on the catalogue refuses records, as a full disk would.
    const auto refuseFromRecord20 = [this] {
        QTimer::singleShot(0, form.get(), [this] {
            app.state().CatalogueDatabase->exec(
                "CREATE TEMP TRIGGER refuse BEFORE INSERT ON CDTable "
                "BEGIN SELECT RAISE(ABORT, 'record refused'); END");
        });
    };
    refuseFromRecord20();
    addDisc("cancelled");
    EXPECT_FALSE(app.state().CatalogueDatabase->inTransaction());
    EXPECT_EQ(records().size(), 30u);
    EXPECT_EQ(app.endings, 1);
    // Retry writes the whole run again through a fresh connection.
    refuseFromRecord20();
    app.prompt().queue({Answer::Ok, Answer::Retry});
    addDisc("retried");
    EXPECT_EQ(records().size(), 60u);
    // A description that upper-cases past what the field holds fails every
    // write; after a failed rewrite Cancel ends the add, not the program.
    app.prompt().queue({Answer::Ok, Answer::Retry});
    addDisc(QString(engine::TextMaxChars, QChar(0xDF)));
    EXPECT_EQ(status(), "Add failed - the catalogue is as it was before.");
    EXPECT_EQ(app.endings, 1);
    EXPECT_EQ(records().size(), 60u);
    EXPECT_EQ(column(Field::CDVolume).count("GAMES1"), 2);

    const QStringList texts = app.prompt().texts();
    ASSERT_EQ(texts.size(), 8);
    const QString readOnly = "Can't open/edit catalogue file ORVIK - Read Only?.";
    const QString refused = "Error 1811 - record refused";
    EXPECT_EQ(texts.mid(0, 4), QStringList({refused, readOnly, refused, readOnly}));
    EXPECT_TRUE(texts[4].startsWith("Error 275 - CHECK constraint failed"))
        << texts[4].toStdString();
    EXPECT_EQ(texts[5], readOnly);
    EXPECT_EQ(texts[6], texts[4]);
    EXPECT_EQ(app.prompt().shown[7].buttons, Buttons::RetryCancel);
}

TEST_F(AddWindow, waitsWhileAnotherProgramWritesSayingSoUntilItEndsOrCancelIsClicked) {
    makeFile(disc + "/a.txt");
    openWindow(false, false, false);
    addDisc("first");
    engine::Catalogue other(app.state().catalogueFile());
    other.exec("BEGIN IMMEDIATE");
    const QString waiting = "Waiting for another program to finish writing the catalogue ...";

    QString shown;
    QTimer::singleShot(300, form.get(), [&] {
        shown = status();
        child("CmdExit")->click();
    });
    addDisc("cancelled");
    EXPECT_EQ(shown, waiting);
    EXPECT_EQ(status(), "Cancelled by user!");
    EXPECT_EQ(records().size(), 1u);

    shown.clear();
    QTimer::singleShot(300, form.get(), [&] {
        shown = status();
        other.exec("ROLLBACK");
    });
    addDisc("waited");
    EXPECT_EQ(shown, waiting);
    EXPECT_TRUE(status().startsWith("Finished!")) << status().toStdString();
    EXPECT_EQ(column(Field::CDDescription), QStringList({"FIRST", "WAITED"}));
    EXPECT_TRUE(app.prompt().texts().isEmpty()) << app.prompt().texts().join('\n').toStdString();
    EXPECT_EQ(app.endings, 0);
}

TEST_F(AddWindow, collectsAll250DirectoriesInPathOrderAndWrites40000FilesInOneRun) {
    for (int top = 0; top < 50; ++top)
        for (int sub = 0; sub < 5; ++sub)
            makeFile(disc + QString("/T%1").arg(top, 2, 10, QChar('0')) +
                     (sub ? QString("/s%1").arg(sub) : QString()) + "/f.txt");
    QDir().mkpath(disc + "/big");
    const QByteArray big = QFile::encodeName(disc + "/big/");
    for (int i = 0; i < 40000; ++i)
        ASSERT_EQ(close(creat(big + QByteArray::number(i) + ".dat", 0644)), 0);
    openWindow(false, true, false);

    addDisc("big one");
    EXPECT_EQ(form->add().DirCount, 252);
    EXPECT_TRUE(status().contains("\r\n40250 Files (")) << status().toStdString();
    const QStringList lengths = column(Field::CDFileLen);
    ASSERT_EQ(lengths.size(), 40250);
    EXPECT_EQ(lengths.count("0"), 40250);
    QStringList paths = column(Field::CDPath);
    paths.removeAll(N);
    ASSERT_EQ(paths.size(), 251);
    EXPECT_EQ(paths, sorted(paths));
    EXPECT_EQ(QStringList(paths).removeDuplicates(), 0);
    EXPECT_TRUE(app.prompt().shown.empty());
}

// A collection failure needs a file system that fails where the test says, so
// this add runs headless: the real file system, except that the first listing
// of `directory` fails and directories named "mnt" are mount points.
struct FlakyFileSystem : LinuxFileSystem {
    QString directory;
    mutable bool failed = false;
    std::vector<DirEntry> listEntries(const QString& path, bool examineFiles) const override {
        if (path == directory && !std::exchange(failed, true))
            throw Error(5, QStringLiteral("Input/output error: ") + path);
        std::vector<DirEntry> entries = LinuxFileSystem::listEntries(path, examineFiles);
        for (DirEntry& entry : entries)
            entry.otherFileSystem = entry.name == "mnt";
        return entries;
    }
};

TEST(AddFailure, aCollectionFailureRetriesTheListingOrEndsTheProgram) {
    auto* files = new FlakyFileSystem;
    TestApp app{std::unique_ptr<FileSystem>(files)};
    QTemporaryDir disc;
    makeFile(disc.path() + "/a.txt");
    makeFile(disc.path() + "/zz/last.txt");
    makeFile(disc.path() + "/zz/mnt/elsewhere.txt"); // not walked: another file system
    AppState& state = app.state();
    ScriptedPrompt* prompt = &app.prompt();
    state.Options.UseFilter = "False";
    files->directory = disc.path() + "/zz/";
    prompt->queue({Answer::Ok, Answer::Retry});
    EXPECT_EQ(addTree(state, disc.path(), "disc"), VolumeAdd::Result::Finished);
    EXPECT_EQ(prompt->texts(), QStringList({"Error 5 - Input/output error: " + disc.path() + "/zz/",
                                            "Can't open file - check CD."}));
    EXPECT_EQ(prompt->shown[1].buttons, Buttons::RetryCancel);
    EXPECT_EQ(readCatalogue(state.catalogueFile()).size(), 2u);

    files->failed = false; // this time the boxes get OK and Cancel
    EXPECT_EQ(addTree(state, disc.path(), "disc"), VolumeAdd::Result::ProgramEnds);
    EXPECT_EQ(prompt->shown.size(), 4u);
    EXPECT_EQ(readCatalogue(state.catalogueFile()).size(), 2u);
}

// Looking inside archives, the probers examine the files the lister listed
// by name. This file system gives `directory` a file no prober can examine,
// and when the directory is listed again as without the option, it has
// gained a subdirectory meanwhile.
struct ChangingFileSystem : LinuxFileSystem {
    QString directory;
    std::vector<DirEntry> listEntries(const QString& path, bool examineFiles) const override {
        if (path == directory && examineFiles) QDir().mkpath(path + "new/deeper");
        std::vector<DirEntry> entries = LinuxFileSystem::listEntries(path, examineFiles);
        if (path == directory && !examineFiles) {
            DirEntry unexaminable{"a.txt/below"}; // fails with ENOTDIR
            unexaminable.examined = false;
            entries.push_back(unexaminable);
        }
        return entries;
    }
};

TEST(AddFailure, aDirectoryListedAgainForAFileNoProberCouldExamineKeepsTheWalkInStep) {
    auto* files = new ChangingFileSystem;
    TestApp app{std::unique_ptr<FileSystem>(files)};
    QTemporaryDir disc;
    for (const char* name : {"mid/a.txt", "mid/sub/b.txt", "mid/sub/inner/c.txt", "z/d.txt"})
        makeFile(disc.path() + '/' + name);
    files->directory = disc.path() + "/mid/";
    app.state().Options.UseFilter = "False";
    app.state().Options.LookInArchives = true;
    ASSERT_EQ(addTree(app.state(), disc.path(), "disc"), VolumeAdd::Result::Finished);
    QStringList written;
    for (const auto& row : readCatalogue(app.state().catalogueFile()))
        written << row[size_t(Field::CDPath)].value_or(N) + ' ' + *row[size_t(Field::CDFile)];
    const QString top = disc.path().toUpper();
    EXPECT_EQ(written, QStringList({top + "/MID/ A.TXT", top + "/MID/SUB/ B.TXT",
                                    top + "/MID/SUB/INNER/ C.TXT", top + "/Z/ D.TXT"}));
    EXPECT_TRUE(app.prompt().shown.empty());
}

// The add writes each directory as soon as its walk has listed it; the records
// still come out as a plain add makes them: the tree listed level by level,
// the directory list sorted stably without regard to case, then each
// directory's files in the order they are listed.
TEST(AddOrder, recordsComeInTheOrderOfTheSortedLevelByLevelWalk) {
    std::mt19937 random(7);
    const QStringList names = {"a", "A", "a b", "a-b", "a.b", "a_b", "ab", "a0", "B", "b",
                               "é", "É", "ß",   "SS",  "ǅ",   "[x]", "~t", "aA", "Aa"};
    QTemporaryDir disc;
    std::function<void(const QString&, int)> fill = [&](const QString& directory, int depth) {
        for (int i = int(random() % 3); i > 0; --i)
            makeFile(directory + '/' + names[random() % names.size()] + QString::number(i));
        QDir().mkpath(directory);
        for (int i = depth ? int(random() % 6) : 0; i > 0; --i)
            fill(directory + '/' + names[random() % names.size()], depth - 1);
    };
    fill(disc.path(), 4);
    TestApp app{std::make_unique<LinuxFileSystem>()};
    app.state().Options.UseFilter = "False";
    ASSERT_EQ(addTree(app.state(), disc.path(), "order"), VolumeAdd::Result::Finished);

    const LinuxFileSystem files;
    std::vector<QString> directories{disc.path()};
    for (size_t i = 0; i < directories.size(); ++i)
        for (const DirEntry& entry : files.list(directories[i] + '/'))
            if (entry.isDirectory) directories.push_back(directories[i] + '/' + entry.name);
    std::stable_sort(
        directories.begin(), directories.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QStringList expected, written;
    for (const QString& directory : directories) {
        QString path = (directory + '/').toUpper();
        for (const DirEntry& entry : files.list(directory + '/'))
            if (!entry.isDirectory) expected << std::exchange(path, N) + ' ' + entry.name.toUpper();
    }
    for (const auto& row : readCatalogue(app.state().catalogueFile()))
        written << row[size_t(Field::CDPath)].value_or(N) + ' ' + *row[size_t(Field::CDFile)];
    EXPECT_GT(directories.size(), 40u);
    EXPECT_EQ(written, expected);
}

} // namespace
} // namespace orvik::test
