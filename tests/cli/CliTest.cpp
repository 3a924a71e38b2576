#include "core/Startup.h"
#include "core/engine/Catalogue.h"
#include "core/engine/FileIndex.h"
#include "search/FormSearch.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/FullDisk.h"
#include "tests/support/Processes.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Widgets.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik;
using namespace orvik::test;

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree = disc.path() + "/games1";
        for (const char* name : {"readme.txt", "setup.exe", "data/a.dat", "data/b.dat",
                                 "docs/o'brien notes.txt", "music/tune.mid"})
            makeFile(tree + "/" + name, 4);
    }

    // As an ordinary user (the test runs as root), who may write the disc's
    // folder and the catalogues'.
    CliRun asUser(const QStringList& arguments) {
        for (const QString& open : {disc.path(), app.home()})
            EXPECT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
        return asNobody(arguments);
    }

    // An add of every file of the tree, which must succeed.
    void addTree(const QString& description = "Quake demo", const QStringList& options = {}) {
        const CliRun add =
            cli(QStringList{"add", tree, "--description", description, "--no-filter"} + options);
        ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
    }

    // OLD.mdb, a copy of the catalogue the release before versions made.
    QString copyOld() {
        const QString old = app.home() + "/OLD.mdb";
        EXPECT_TRUE(
            QFile::copy(QStringLiteral(ORVIK_TEST_DATA) + "/catalogue-before-versions.mdb", old));
        return old;
    }

    int recordCount(const QString& name = "ORVIK") {
        return int(readCatalogue(app.home() + "/" + name + ".mdb").size());
    }

    // The lines the search window lists after `button` with `text` typed.
    QStringList windowLines(const char* button, const QString& text) {
        app.restart();
        settleStartup(app.state());
        FormSearch window(app.state());
        window.resize(631, window.height()); // 9465 twips at 96 dpi: 53 characters
        app.prompt().queue({Answer::Yes});
        query(window, text, button);
        return rows(*child<QListView>(window, "SearchList"));
    }

    TestApp app;
    QTemporaryDir disc;
    QString tree;
};

QJsonObject object(const QString& jsonLine) {
    return QJsonDocument::fromJson(jsonLine.toUtf8()).object();
}

// The field `key` of a tsv answer of one record: a header line, then the record.
QString field(const CliRun& tsv, const char* key) {
    return tsv.out.value(1).split('\t').value(tsv.out.value(0).split('\t').indexOf(key));
}

// Trees below `parent` named by `names`, each of `directories` directories of
// `files` files whose names tell their tree. The stored names of each tree's
// files, sorted.
std::map<QString, QStringList> makeTrees(const QString& parent, const QStringList& names,
                                         int directories, int files) {
    std::map<QString, QStringList> stored;
    for (const QString& name : names)
        for (int d = 0; d < directories; ++d) {
            const QString directory = QString("%1/%2/d%3").arg(parent, name).arg(d);
            EXPECT_TRUE(QDir().mkpath(directory));
            for (int f = 0; f < files; ++f) {
                const QString file = QString("%1_%2_%3.dat").arg(name).arg(d).arg(f);
                QFile(directory + "/" + file).open(QIODevice::WriteOnly);
                stored[name.toUpper()] << file.toUpper();
            }
        }
    for (auto& [name, list] : stored)
        list.sort();
    return stored;
}

} // namespace

TEST_F(CliTest, addThenQueriesPrintWhatTheSearchWindowLists) {
    CliRun add = cli({"add", tree, "--description", "Quake demo", "--keywords", "fps",
                      "--no-filter", "--no-dates"});
    ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
    EXPECT_EQ(add.out.mid(0, 2), QStringList({"Finished!", "4 Directories "}));
    EXPECT_TRUE(add.out.value(2).startsWith("6 Files (")) << add.out.value(2).toStdString();

    const struct {
        QStringList arguments; // the second, if any, typed in the window
        const char* button;
        int lines;
    } cases[] = {
        {{"find", "*.dat"}, "CmdSearchFile", 2},     {{"find", "*.txt."}, "CmdSearchFile", 2},
        {{"find", "."}, "CmdSearchFile", 6},         {{"keywords", "FP"}, "cmdSearchKeywords", 1},
        {{"describe", "quake"}, "cmdSearchDesc", 1}, {{"volumes"}, "CmdListCD", 1}};
    // A print-out works from a plain terminal, without a display.
    QProcessEnvironment terminal = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        terminal.remove(name);
    const QString pdf = disc.path() + "/lines.pdf";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun query = cli(c.arguments);
        EXPECT_EQ(query.exitCode, 0);
        EXPECT_EQ(query.out.size(), c.lines);
        EXPECT_EQ(query.out, windowLines(c.button, c.arguments.value(1)));
        const CliRun printed = cli(c.arguments + QStringList{"--print", pdf}, terminal);
        EXPECT_EQ(printed.out, query.out);
        const QStringList page = pdfLines(pdf);
        const QString heading = page.value(0);
        EXPECT_TRUE(heading.startsWith("Orvik - Results of search for ") &&
                    heading.endsWith(" in Catalogue ORVIK"))
            << heading.toStdString();
        EXPECT_EQ(page.mid(1), simplified(query.out));
    }
    EXPECT_TRUE(cli({"volumes"}).err.contains("1 CDs found"));
}

TEST_F(CliTest, printNeverReplacesACatalogueItsJournalOrTheSettingsByAnyPath) {
    addTree();
    const QString home = app.home(), catalogue = home + "/ORVIK.mdb", ini = home + "/Orvik.ini";
    writeFile(ini, "[Options]\nAutoList=True\n");
    ASSERT_TRUE(QFile::link(catalogue, disc.path() + "/link.pdf"));
    ASSERT_EQ(::link(QFile::encodeName(catalogue).constData(),
                     QFile::encodeName(disc.path() + "/hard.pdf").constData()),
              0);
    const QByteArray records = fileBytes(catalogue), settings = fileBytes(ini);

    for (const QString& target :
         {catalogue, home + "/orvik.MDB", home + "/New.mdb", catalogue + "-journal", ini,
          disc.path() + "/link.pdf", disc.path() + "/hard.pdf",
          home + "/../" + QFileInfo(home).fileName() + "/./ORVIK.mdb"}) {
        const CliRun run = cli({"find", ".", "--print", target});
        EXPECT_EQ(run.exitCode, 2) << target.toStdString();
        EXPECT_CONTAINS(run.err, "Error 75 - Not replacing ");
    }
    EXPECT_EQ(fileBytes(catalogue), records);
    EXPECT_EQ(fileBytes(ini), settings);
    EXPECT_EQ(QDir(home).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({"Orvik.ini", "ORVIK.mdb"}));
}

TEST_F(CliTest, printThatCannotBeWrittenWholeFailsAndLeavesTheFileThatWasThere) {
    addTree();
    const CliRun device = cli({"find", ".", "--print", "/dev/full"});
    EXPECT_EQ(device.exitCode, 2);
    EXPECT_CONTAINS(device.err, "Error 28 - No space left on device: /dev/full");
    EXPECT_FALSE(device.err.contains("Printed")) << device.err.toStdString();

    const QString small = disc.path() + "/small";
    FullDisk disk(small, 64 * 1024);
    if (!disk.failure().empty()) GTEST_SKIP() << disk.failure();
    const QString pdf = small + "/lines.pdf";
    ASSERT_EQ(cli({"volumes", "--print", pdf}).exitCode, 0);
    const QByteArray printed = fileBytes(pdf);
    disk.fill(0);

    const CliRun full = cli({"find", ".", "--print", pdf});
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_CONTAINS(full.err, "Error 28 - No space left on device");
    EXPECT_EQ(fileBytes(pdf), printed);
    EXPECT_EQ(QDir(small).entryList(QDir::Files | QDir::Hidden),
              QStringList({"filler", "lines.pdf"}));
}

TEST_F(CliTest, onlyAPrintOutLoadsTheGuiLibrary) {
    addTree();
    const QString linked = run({"ldd", ORVIK_CLI}).out.join('\n');
    EXPECT_CONTAINS(linked, "libQt6Core");
    EXPECT_FALSE(linked.contains("libQt6Gui")) << linked.toStdString();

    QProcessEnvironment traced = QProcessEnvironment::systemEnvironment();
    traced.insert("LD_DEBUG", "libs");
    for (const QStringList& arguments :
         {QStringList{"find", "setup"}, {"volumes", "--format", "json"}, {"--version"}}) {
        const QString loaded = cli(arguments, traced).err;
        EXPECT_TRUE(loaded.contains("libQt6Core")) << arguments.join(' ').toStdString();
        EXPECT_FALSE(loaded.contains("libQt6Gui")) << arguments.join(' ').toStdString();
    }
    const CliRun printing = cli({"find", "setup", "--print", disc.path() + "/setup.pdf"}, traced);
    EXPECT_EQ(printing.exitCode, 0);
    EXPECT_TRUE(printing.err.contains("libQt6Gui"));
}

TEST_F(CliTest, aPrintWithoutItsModuleFailsAndWritesNothing) {
    addTree();
    QTemporaryDir alone;
    const QString program = alone.filePath("orvik-cli"), pdf = disc.path() + "/setup.pdf";
    ASSERT_TRUE(QFile::copy(ORVIK_CLI, program));
    const CliRun printing = run({program, "find", "setup", "--print", pdf});
    EXPECT_EQ(printing.exitCode, 2);
    EXPECT_CONTAINS(printing.err, "Cannot load the print module");
    EXPECT_TRUE(printing.out.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(CliTest, exitStatusTellsFoundNothingFoundAndErrors) {
    EXPECT_EQ(cli({"find", "x"}).exitCode, 2) << "no catalogue yet";
    ASSERT_EQ(cli({"add", tree, "--description", "Quake demo"}).exitCode, 0);
    const int records = recordCount();
    EXPECT_EQ(records, 4) << "the filter of the settings applies: .txt .exe .mid";

    EXPECT_EQ(cli({"find", "nothing-like-this"}).exitCode, 1);
    EXPECT_EQ(cli({"keywords", "fps"}).exitCode, 1);

    EXPECT_CONTAINS(expectRefused({"find", "[abc"}), "Can't open table in catalogue database.");

    for (const QStringList& bad :
         QList<QStringList>{{"add", tree, "--description", ""},
                            {"add", disc.path() + "/missing", "--description", "x"},
                            {"frobnicate"}})
        expectRefused(bad);
    EXPECT_EQ(recordCount(), records) << "nothing was written";

    makeFile(app.home() + "/JUNK.mdb", 5000);
    EXPECT_CONTAINS(expectRefused({"add", tree, "--description", "x", "--catalogue", "junk"}),
                    "Error");

    const CliRun list = cli({"catalogues"});
    EXPECT_EQ(list.out, QStringList({"  JUNK", "* ORVIK"}));
    EXPECT_EQ(cli({"add", "--help"}).exitCode, 0);
}

TEST_F(CliTest, aCatalogueOfANewerVersionAnswersQueriesAndRefusesEveryWrite) {
    addTree();
    const QString file = app.home() + "/ORVIK.mdb";
    engine::Catalogue(file).exec("PRAGMA user_version = 99");
    const QByteArray before = fileBytes(file);
    const CliRun found = cli({"find", "readme"});
    EXPECT_EQ(found.exitCode, 0);
    EXPECT_EQ(found.out.size(), 1);
    for (const QStringList& write :
         QList<QStringList>{{"add", tree, "--description", "again", "--no-filter"},
                            {"erase", "1"},
                            {"edit", "1", "--location", "Box 1"}})
        EXPECT_CONTAINS(expectRefused(write), "written by a newer version of Orvik");
    EXPECT_EQ(fileBytes(file), before);
}

TEST_F(CliTest, createDeleteAndUseWorkOnCataloguesAsTheSelectionWindowDoes) {
    EXPECT_EQ(cli({"create", "games"}).exitCode, 0);
    EXPECT_TRUE(readCatalogue(app.home() + "/GAMES.mdb").empty());
    EXPECT_EQ(cli({"create", "Games"}).exitCode, 2) << "exists already";
    const CliRun use = cli({"use", "photos"});
    EXPECT_EQ(use.exitCode, 0);
    EXPECT_EQ(use.out, QStringList({"Created catalogue PHOTOS", "Current catalogue: PHOTOS"}));
    app.restart();
    EXPECT_EQ(app.state().settings().get("DBName", ""), "PHOTOS");
    EXPECT_EQ(cli({"catalogues"}).out, QStringList({"  GAMES", "* PHOTOS"}));

    // The current catalogue (by the settings or --catalogue), a missing one and
    // names outside the folder are refused: nothing is deleted or made.
    for (const QStringList& refused :
         QList<QStringList>{{"delete", "Photos"},
                            {"delete", "games", "--catalogue", "GAMES"},
                            {"delete", "nothing"},
                            {"create", "../evil"},
                            {"use", ".hidden"},
                            {"delete", "../orvik"},
                            {"volumes", "--catalogue", "../evil"},
                            {"create", "x\n* FAKE"},
                            {"use", "tab\there"},
                            {"delete", "games\x7f"},
                            {"find", "x", "--catalogue", "\x1b[2Jgames"}})
        expectRefused(refused);
    EXPECT_EQ(cli({"delete", "games"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(app.home() + "/../EVIL.mdb"));
    EXPECT_EQ(QDir(app.home()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Orvik.ini", "PHOTOS.mdb"})); // GAMES went on the last delete
}

TEST_F(CliTest, aFullDiskLeavesTheSettingsFileAsItWasAndUseSaysItCouldNotSave) {
    FullDisk disk(app.home());
    if (!disk.failure().empty()) GTEST_SKIP() << disk.failure();
    ASSERT_EQ(cli({"create", "photos"}).exitCode, 0);
    const QString ini = app.home() + "/Orvik.ini";
    // Longer than a block: a new file needs more room than one free block.
    const QByteArray stored =
        "[Options]\nDBName=Orvik\nExtensionString=" + QByteArray(6000, 'x') + "\nSaveDates=False\n";
    writeFile(ini, stored);
    for (const int freeBlocks : {1, 0}) {
        disk.fill(freeBlocks);
        const CliRun use = cli({"use", "photos"});
        EXPECT_EQ(use.exitCode, 2) << freeBlocks;
        EXPECT_TRUE(use.out.isEmpty()) << use.out.join('\n').toStdString();
        EXPECT_CONTAINS(use.err, ini);
        EXPECT_EQ(fileBytes(ini), stored) << freeBlocks;
        EXPECT_EQ(QDir(app.home()).entryList(QDir::Files | QDir::Hidden),
                  QStringList({"filler", "Orvik.ini", "PHOTOS.mdb"}));
    }
    disk.makeRoom();
    EXPECT_EQ(cli({"use", "photos"}).exitCode, 0);
    app.restart();
    EXPECT_EQ(app.state().settings().get("DBName", ""), "PHOTOS");
    EXPECT_EQ(app.state().settings().get("SaveDates", ""), "False");
}

// Root may write any file, so the command runs as an ordinary user.
TEST_F(CliTest, useWithASettingsFileThatMayNotBeWrittenSavesNothingAndSaysSo) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    ASSERT_EQ(cli({"use", "photos"}).exitCode, 0);
    const QString ini = app.home() + "/Orvik.ini";
    const QByteArray stored = fileBytes(ini);
    ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0444), 0);

    const CliRun use = asUser({"use", "other"});
    EXPECT_EQ(use.exitCode, 2) << use.out.join('\n').toStdString();
    EXPECT_CONTAINS(use.err, ini);
    EXPECT_EQ(fileBytes(ini), stored);
    EXPECT_EQ(QFileInfo(ini).ownerId(), 0u) << "not replaced through its folder";
    EXPECT_EQ(QDir(app.home()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Orvik.ini", "OTHER.mdb", "PHOTOS.mdb"}));
}

TEST_F(CliTest, interruptWhileWaitingOrWritingLeavesTheCatalogueAsBefore) {
    addTree("first");
    const int before = recordCount();
    {
        // Another program writes: the add waits until Ctrl+C.
        Holder holder(HOLD_CATALOGUE, app.home() + "/ORVIK.mdb");
        QProcess waiting;
        waiting.start(ORVIK_CLI, {"add", tree, "--description", "waited", "--no-filter"});
        ASSERT_TRUE(waitForError(waiting, WaitingText));
        ::kill(pid_t(waiting.processId()), SIGINT);
        ASSERT_TRUE(waiting.waitForFinished(60000));
        EXPECT_EQ(waiting.exitCode(), 2);
        EXPECT_TRUE(waiting.readAllStandardError().contains("Cancelled by user!"));
        EXPECT_EQ(recordCount(), before);
    }
    makeTrees(disc.path(), {"big"}, 40, 1000);
    QProcess process;
    process.start(ORVIK_CLI, {"add", disc.path() + "/big", "--description", "big", "--no-filter"});
    ASSERT_TRUE(process.waitForStarted());
    // The rollback journal appears with the first record written.
    const QString journal = app.home() + "/ORVIK.mdb-journal";
    while (!QFile::exists(journal) && process.state() == QProcess::Running)
        QThread::usleep(200);
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("Cancelled by user!"));
    EXPECT_EQ(recordCount(), before);
}

// Killed at any of its writes, an erase leaves a sound catalogue holding
// either every record or exactly those of the other runs.
TEST_F(CliTest, anEraseKilledAtAnyMomentLeavesTheCatalogueWholeOrWithoutTheRun) {
    QString runHead;
    {
        CatalogueWriter catalogue(app.state());
        catalogue.addRun("BEFORE", "KEPT", "", {directory("/A/", QStringList(1000, "A.DAT"))});
        runHead = catalogue.addRun("ERASED", "GONE", "",
                                   {directory("/B/", QStringList(100000, "B.DAT"))});
        catalogue.addRun("AFTER", "KEPT", "", {directory("/C/", QStringList(1000, "C.DAT"))});
    }
    const QString file = app.state().catalogueFile(), master = file + ".master";
    ASSERT_TRUE(QFile::copy(file, master));
    const qint64 sizeBefore = QFileInfo(file).size();

    // The erase is killed at its 1st, 2nd, 4th, ... write, until it gets to its end.
    int killedMidway = 0;
    bool finished = false;
    for (int write = 1; !finished && write < (1 << 20); write *= 2) {
        QFile::remove(file);
        QFile::remove(file + "-journal"); // the journal of the last try belongs to its file
        ASSERT_TRUE(QFile::copy(master, file));
        const CliRun erase = cli({"erase", runHead}, killingAtWrite(write));
        const bool killed = erase.crashed;
        killedMidway += killed;

        EXPECT_EQ(integrity(file), "ok") << "write " << write;
        QStringList files;
        for (const auto& row : readCatalogue(file))
            files << *row[size_t(engine::Field::CDFile)];
        if (killed && files.size() == 102000) continue; // killed before its commit
        ASSERT_EQ(files.size(), 2000) << "write " << write;
        EXPECT_EQ(files.count("B.DAT"), 0);
        EXPECT_EQ(files.count("A.DAT"), 1000);
        EXPECT_EQ(files.last(), "C.DAT");
        if (killed) continue;
        ASSERT_EQ(erase.exitCode, 0) << erase.err.toStdString();
        EXPECT_LT(QFileInfo(file).size(), sizeBefore / 10); // compacted
        finished = true;
    }
    EXPECT_TRUE(finished);
    EXPECT_GE(killedMidway, 5); // the kills fell inside the erase
}

TEST_F(CliTest, queriesAndAnIdleWindowNeverWriteNorKeepAnotherProgramFromWriting) {
    // A catalogue of an older make: the table alone, no indexes.
    const QString old = app.home() + "/OLD.mdb";
    {
        QFile(old).open(QIODevice::WriteOnly);
        engine::Catalogue db(old);
        db.exec("CREATE TABLE CDTable (CDVolume TEXT, CDDescription TEXT, CDFile TEXT, "
                "CDFileDate DATETIME, CDPath TEXT, CDFileLen TEXT(20), CDKeywords TEXT);"
                "INSERT INTO CDTable (CDVolume, CDDescription, CDFile, CDPath) "
                "VALUES ('V1', 'OLD DISC', 'A.TXT', '/X/')");
    }
    makeFile(app.home() + "/JUNK.mdb", 5000);
    const QByteArray oldBytes = fileBytes(old), junkBytes = fileBytes(app.home() + "/JUNK.mdb");
    for (const QStringList& query :
         QList<QStringList>{{"volumes"}, {"find", "a"}, {"keywords", "x"}, {"describe", "old"}}) {
        EXPECT_NE(cli(query + QStringList{"--catalogue", "old"}).exitCode, 2);
        EXPECT_EQ(cli(query + QStringList{"--catalogue", "junk"}).exitCode, 2);
    }
    app.state().CatalogueName = "OLD";
    {
        FormSearch window(app.state());
        window.show();
        query(window, "a");
    }
    EXPECT_EQ(fileBytes(old), oldBytes);
    EXPECT_EQ(fileBytes(app.home() + "/JUNK.mdb"), junkBytes);
    // The first add brings the older catalogue up to date, its file index too,
    // and keeps its record.
    EXPECT_EQ(cli({"add", tree, "--description", "new", "--catalogue", "old"}).exitCode, 0);
    EXPECT_EQ(recordCount("OLD"), 5);
    {
        engine::Catalogue updated(old);
        EXPECT_TRUE(engine::hasFileIndex(updated));
    }

    // An add while the search window sits idle after its queries.
    app.state().CatalogueName = "ORVIK";
    addTree("first");
    FormSearch window(app.state());
    window.show();
    query(window, "a");
    query(window, "", "CmdListCD");
    const CliRun second = cli({"add", tree, "--description", "second", "--no-filter"});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(recordCount(), 12);

    // An add while a find's reader has stopped reading: its lines wait in the pipe.
    {
        CatalogueWriter writer(app.state());
        for (int d = 0; d < 50; ++d)
            writer.addRun(QString("BIG%1").arg(d), "MANY", "",
                          {directory("/BIG/", QStringList(20, "X"))});
    }
    QProcess stalled;
    stalled.start("sh", {"-c", QString("'%1' find x | sleep 60").arg(ORVIK_CLI)});
    ASSERT_TRUE(stalled.waitForStarted());
    QThread::msleep(1500);
    const CliRun third = cli({"add", tree, "--description", "third", "--no-filter"});
    EXPECT_EQ(third.exitCode, 0) << third.err.toStdString();
    EXPECT_EQ(stalled.state(), QProcess::Running) << "the find was still waiting to write";
    stalled.kill();
    stalled.waitForFinished();
}

// Run as an ordinary user: root reads every directory.
TEST_F(CliTest, directoriesRefusedForPermissionAreSkippedAndNamedNotRetriedOrLost) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    makeFile(tree + "/locked/secret.txt");  // mode 000: cannot be listed
    makeFile(tree + "/noentry/hidden.txt"); // mode 644: listed, but its names cannot be examined
    makeFile(tree + "/noentry/inner/deep.txt");
    ASSERT_EQ(::chmod(QFile::encodeName(tree + "/locked").constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(tree + "/noentry").constData(), 0644), 0);

    // The same with no directory to examine; named first, as it sorts first.
    makeFile(tree + "/filesonly/file.txt");
    ASSERT_EQ(::chmod(QFile::encodeName(tree + "/filesonly").constData(), 0644), 0);

    // Looking inside archives, files are examined as they are opened.
    for (const char* option : {"--no-archives", "--archives"}) {
        const CliRun add = asUser({"add", tree, "--description", "as a user", "--no-filter",
                                   "--catalogue", option + 2, option});
        ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
        const QString out = add.out.join('\n');
        EXPECT_CONTAINS(out, "\n6 Files (");
        EXPECT_CONTAINS(out, "\n3 Directories skipped (no permission to read them)");
        QStringList named;
        for (const QString& line : add.err.split('\n', Qt::SkipEmptyParts))
            named << line.section(tree, 1);
        EXPECT_EQ(named, QStringList({"/filesonly/", "/locked/", "/noentry/"})) << option;
        EXPECT_EQ(recordCount(QString(option + 2).toUpper()), 6);
    }
    for (const char* changed : {"/locked", "/noentry", "/filesonly"})
        ::chmod(QFile::encodeName(tree + changed).constData(), 0755);
}

TEST_F(CliTest, tsvAndJsonHoldEveryResolvedFieldAndShowListsTheDirectoryMarkingTheRecordsOwnRow) {
    makeFile(tree + "/data/A.DAT", 7); // the same name as a.dat once upper-cased
    addTree("Quake demo", {"--keywords", "fps"});
    const QString catalogue = app.home() + "/ORVIK.mdb";
    const QByteArray stored = fileBytes(catalogue);
    const CliRun found = cli({"find", "*.dat", "--format", "tsv"});
    ASSERT_EQ(found.out.size(), 4);
    EXPECT_EQ(found.out[0],
              "volume\tdescription\tkeywords\tdirectory\tfile\tdate\tlength\tbookmark");
    const QString directory = (tree + "/DATA/").toUpper();
    QStringList files, lengths, bookmarks;
    for (const QString& line : found.out.mid(1)) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 8);
        EXPECT_EQ(fields.mid(1, 3), QStringList({"QUAKE DEMO", "FPS", directory}));
        EXPECT_EQ(fields[5].size(), 19); // the date
        files << fields[4];
        lengths << fields[6];
        bookmarks << fields[7];
    }
    lengths.sort();
    EXPECT_EQ(lengths, QStringList({"4", "4", "7"}));
    // The directory head first; the others take path, description and keywords from their owners.
    for (int i = 0; i < 3; ++i) {
        const CliRun json = cli({"show", bookmarks[i], "--format", "json"});
        ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
        ASSERT_EQ(json.out.size(), 1);
        const QJsonObject shown = object(json.out[0]);
        QStringList record; // in the columns of the find
        for (const QString& key : found.out[0].split('\t'))
            record << shown["record"][key].toVariant().toString();
        EXPECT_EQ(record, found.out[i + 1].split('\t'));
        const QJsonArray listed = shown["directory"].toArray();
        ASSERT_EQ(listed.size(), 3);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(listed[row]["file"].toString(), files[row]);
            EXPECT_EQ(listed[row]["current"].toBool(), row == i) << i << " " << row;
        }
    }
    const CliRun tsv = cli({"show", bookmarks[1], "--format", "tsv"});
    ASSERT_EQ(tsv.out.size(), 7);
    EXPECT_EQ(tsv.out.mid(0, 2), found.out.mid(0, 1) << found.out[2]) << "as find resolves it";
    EXPECT_EQ(tsv.out.mid(2, 2), QStringList({"", "file\tdate\tlength\tcurrent"}));
    EXPECT_EQ(tsv.out[5].split('\t').value(3), "1");
    EXPECT_EQ(tsv.out[6].split('\t').value(3), "0");

    const CliRun text = cli({"show", bookmarks[1]});
    ASSERT_EQ(text.out.size(), 12);
    EXPECT_EQ(text.out[3], "Directory:   " + directory);
    EXPECT_EQ(text.out[4], "File name:   " + files[1]);
    EXPECT_TRUE(text.out[8].startsWith("  Files in current directory"));
    EXPECT_TRUE(text.out[10].startsWith("> " + files[1] + " "));
    EXPECT_TRUE(text.out[11].startsWith("  " + files[2] + " "));
    EXPECT_EQ(fileBytes(catalogue), stored);
}

TEST_F(CliTest, showOfABookmarkThatNamesNoRecordIsAnError) {
    addTree();
    engine::Catalogue(app.home() + "/ORVIK.mdb").exec("DELETE FROM CDTable WHERE rowid = 2");
    for (const QStringList& unknown : QList<QStringList>{
             {"show", "2"}, {"show", "x1"}, {"show", "1 "}, {"show", "1", "--catalogue", "none"}})
        expectRefused(unknown);
}

TEST_F(CliTest, aFullDiskIsReportedAsFullAndLeavesTheCatalogueAsBefore) {
    QTemporaryDir small;
    FullDisk disk(small.path());
    if (!disk.failure().empty()) GTEST_SKIP() << disk.failure();
    const QProcessEnvironment environment = withHome(small.path());
    const QString catalogue = small.path() + "/ORVIK.mdb";
    ASSERT_EQ(cli({"add", tree, "--description", "fits", "--no-filter"}, environment).exitCode, 0);
    const auto before = readCatalogue(catalogue);
    makeTrees(disc.path(), {"many"}, 10, 300);

    // Full before the add begins, and full half-way through its writing.
    for (const int freeBlocks : {0, 8}) {
        disk.fill(freeBlocks);
        const CliRun add =
            cli({"add", disc.path() + "/many", "--description", "too many", "--no-filter"},
                environment);
        EXPECT_EQ(add.exitCode, 2);
        EXPECT_TRUE(add.err.contains("Error 13 - database or disk is full"))
            << freeBlocks << ": " << add.err.toStdString();
        EXPECT_FALSE(add.err.contains("rollback")) << add.err.toStdString();
        EXPECT_EQ(readCatalogue(catalogue), before);
    }
}

// A chroot's mount table lists only what was mounted inside it: the folder
// added lies on the chroot's own file system, which no entry names.
TEST_F(CliTest, aFolderOnAFileSystemTheMountTableDoesNotNameIsAddedAsAVolumeWithoutLabel) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to make a chroot";
    const QString root = disc.path() + "/root";
    makeFile(root + "/tmp/t/a.txt", 4);
    for (const char* folder : {"usr", "proc", "home"})
        QDir().mkpath(root + '/' + folder);
    for (const char* link : {"bin", "lib", "lib64"})
        QFile::link(QString("usr/") + link, root + '/' + link);
    ASSERT_TRUE(QFile::copy(ORVIK_CLI, root + "/orvik-cli"));
    // The mounts live in a namespace of their own and go with it.
    const CliRun add = run({"unshare", "--mount", "--propagation", "private", "sh", "-c",
                            "mount --bind -o ro /usr \"$0/usr\" && mount -t proc proc \"$0/proc\" "
                            "&& ORVIK_HOME=/home chroot \"$0\" /orvik-cli add /tmp/t "
                            "--description chroot --no-filter",
                            root});
    EXPECT_EQ(add.exitCode, 0) << add.err.toStdString();
    const auto records = readCatalogue(root + "/home/ORVIK.mdb");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][size_t(engine::Field::CDVolume)], NoVolumeLabel.toUpper());
}

// A name the system gives is at most 255 bytes long; a path can grow past
// what the system names (4,096 bytes) or what CDPath holds (4,096 characters).
TEST_F(CliTest, directoriesWhosePathsCannotBeStoredAreSkippedAndNamedAndTheRestIsAdded) {
    const QString top = disc.path() + "/deep";
    const auto removeDeep = qScopeGuard([&] { QProcess::execute("rm", {"-rf", top}); });
    makeFile(top + "/top.txt");
    // 1,000 levels, a file in each: the system names only the first two hundred odd.
    const QString level = QString(8, QChar(0xE9)); // é
    int fd = ::open(QFile::encodeName(top).constData(), O_DIRECTORY);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(::mkdirat(fd, QFile::encodeName(level).constData(), 0755), 0) << i;
        const int next = ::openat(fd, QFile::encodeName(level).constData(), O_DIRECTORY);
        ::close(fd);
        fd = next;
        ::close(::openat(fd, "f.txt", O_CREAT | O_WRONLY, 0644));
    }
    ::close(fd);
    QString deepest = top;
    while (QFile::encodeName(deepest + "/" + level + "/").size() < 4096)
        deepest += "/" + level;
    const QString unnamed = deepest + "/" + level + "/";
    // Less than 4,096 bytes, but ΐ upper-cases to three characters.
    const QString wide = QString(100, QChar(0x0390));
    QString stored = top + "/wide";
    while ((stored + "/" + wide + "/").toUpper().size() <= 4096)
        stored += "/" + wide;
    const QString unstored = stored + "/" + wide + "/";
    makeFile(stored + "/kept.txt");
    makeFile(unstored + "lost.txt");
    ASSERT_LT(QFile::encodeName(unstored).size(), 4096);

    const CliRun add = cli({"add", top, "--description", "deep", "--no-filter"});
    ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
    EXPECT_TRUE(add.out.contains("2 Directories skipped (path too long for the catalogue)"))
        << add.out.join('\n').toStdString();
    EXPECT_CONTAINS(add.err, "skipped (path too long for the catalogue): " + unnamed);
    EXPECT_CONTAINS(add.err, "skipped (path too long for the catalogue): " + unstored);
    QStringList files, paths;
    for (const auto& row : readCatalogue(app.home() + "/ORVIK.mdb")) {
        files << *row[size_t(engine::Field::CDFile)];
        paths << row[size_t(engine::Field::CDPath)].value_or("");
    }
    const int named = int((deepest.size() - top.size()) / (level.size() + 1));
    EXPECT_EQ(files.count("F.TXT"), named);
    EXPECT_EQ(files.count("TOP.TXT") + files.count("KEPT.TXT"), 2);
    EXPECT_EQ(files.count("LOST.TXT"), 0);
    EXPECT_TRUE(paths.contains(deepest.toUpper() + "/"));
    EXPECT_TRUE(paths.contains(stored.toUpper() + "/"));
}

// Run as an ordinary user: root examines every entry.
TEST_F(CliTest, aTopDirectoryThatCannotBeSearchedIsReportedWithThePathOfTheEntryItCouldNotExamine) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    makeFile(tree + "/noexec/n.txt");
    ASSERT_EQ(::chmod(QFile::encodeName(tree + "/noexec").constData(), 0444), 0);
    const CliRun add = asUser({"add", tree + "/noexec", "--description", "as a user"});
    ::chmod(QFile::encodeName(tree + "/noexec").constData(), 0755);
    EXPECT_EQ(add.exitCode, 2);
    EXPECT_CONTAINS(add.err, "Permission denied: " + tree + "/noexec/n.txt");
}

namespace {

// The catalogue's volume runs in order: each head's description and the
// files of its run, sorted.
std::vector<std::pair<QString, QStringList>> volumeRuns(const QString& catalogue) {
    std::vector<std::pair<QString, QStringList>> runs;
    for (const auto& row : readCatalogue(catalogue)) {
        if (row[size_t(engine::Field::CDVolume)])
            runs.push_back({row[size_t(engine::Field::CDDescription)].value_or(""), {}});
        if (runs.empty()) continue;
        runs.back().second << row[size_t(engine::Field::CDFile)].value_or("");
    }
    for (auto& [description, files] : runs)
        files.sort();
    return runs;
}

// Stops the process at a moment it holds the catalogue's write lock.
bool stopWhileWriting(QProcess& process, const QString& catalogue) {
    engine::Catalogue probe(catalogue);
    sqlite3_busy_timeout(probe.handle(), 0);
    const auto locked = [&] {
        if (sqlite3_exec(probe.handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return true;
        sqlite3_exec(probe.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    if (!process.waitForStarted()) return false;
    while (process.state() == QProcess::Running) {
        if (locked()) {
            ::kill(pid_t(process.processId()), SIGSTOP);
            if (locked()) return true;
            ::kill(pid_t(process.processId()), SIGCONT);
        }
        QThread::usleep(500);
    }
    return false;
}

} // namespace

TEST_F(CliTest, addsOnOneCatalogueWaitForEachOtherAndEachLandsWholeAsItsOwnRun) {
    addTree("first");
    std::map<QString, QStringList> expected =
        makeTrees(disc.path(), {"t0", "t1", "t2", "t3", "t4", "t5"}, 10, 50);
    expected["FIRST"] =
        QStringList({"A.DAT", "B.DAT", "O'BRIEN NOTES.TXT", "README.TXT", "SETUP.EXE", "TUNE.MID"});
    auto start = [&](const QString& name) {
        auto add = std::make_unique<QProcess>();
        add->start(ORVIK_CLI,
                   {"add", disc.path() + "/" + name, "--description", name, "--no-filter"});
        return add;
    };
    auto finish = [](QProcess& add) {
        ASSERT_TRUE(add.waitForFinished(60000));
        EXPECT_EQ(add.exitCode(), 0) << add.readAllStandardError().toStdString();
    };

    // Two started together.
    std::vector<std::unique_ptr<QProcess>> adds;
    for (const char* name : {"t0", "t1"})
        adds.push_back(start(name));
    for (auto& add : adds)
        finish(*add);

    // Four that find another program writing: each says so and waits until
    // it has finished, then they all come for the catalogue at once.
    adds.clear();
    Holder holder(HOLD_CATALOGUE, app.home() + "/ORVIK.mdb");
    for (const char* name : {"t2", "t3", "t4", "t5"})
        adds.push_back(start(name));
    for (auto& add : adds)
        EXPECT_TRUE(waitForError(*add, WaitingText));
    for (auto& add : adds)
        EXPECT_EQ(add->state(), QProcess::Running);
    holder.release();
    for (auto& add : adds)
        finish(*add);

    const auto runs = volumeRuns(app.home() + "/ORVIK.mdb");
    ASSERT_EQ(runs.size(), expected.size());
    for (const auto& [description, files] : runs) {
        ASSERT_TRUE(expected.count(description)) << "a second run " << description.toStdString();
        EXPECT_EQ(files, expected[description]) << description.toStdString();
        expected.erase(description);
    }
}

TEST_F(CliTest, anEraseStartedDuringAnAddWaitsForItAndThenSucceeds) {
    addTree("erased");
    const QString catalogue = app.home() + "/ORVIK.mdb";
    const auto big = makeTrees(disc.path(), {"big"}, 20, 100);

    QProcess add;
    add.start(ORVIK_CLI, {"add", disc.path() + "/big", "--description", "big", "--no-filter"});
    // Held still while it writes, so the erase surely comes during the add.
    ASSERT_TRUE(stopWhileWriting(add, catalogue));
    QProcess erase;
    erase.start(ORVIK_CLI, {"erase", "1"}); // the head of the first run
    const bool waited = waitForError(erase, WaitingText);
    ::kill(pid_t(add.processId()), SIGCONT);
    EXPECT_TRUE(waited);
    ASSERT_TRUE(add.waitForFinished(60000));
    ASSERT_TRUE(erase.waitForFinished(60000));
    EXPECT_EQ(add.exitCode(), 0) << add.readAllStandardError().toStdString();
    const QString said = QString::fromUtf8(erase.readAllStandardError());
    EXPECT_EQ(erase.exitCode(), 0) << said.toStdString();
    EXPECT_CONTAINS(said, "6 records erased");

    const auto runs = volumeRuns(catalogue);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, "BIG");
    EXPECT_EQ(runs[0].second, big.at("BIG"));
}

TEST_F(CliTest, identifyNamesEveryVolumeAPathIsAndExitsOneWhenItIsNone) {
    const QString other = disc.path() + "/other";
    makeFile(other + "/readme.txt", 4);
    addTree();
    ASSERT_EQ(cli({"add", other, "--description", "Other"}).exitCode, 0);
    ASSERT_EQ(cli({"add", tree + "/", "--description", "Again", "--no-filter"}).exitCode, 0);
    const QString today = QDate::currentDate().toString(Qt::ISODate);

    const CliRun text = cli({"identify", tree});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, QStringList({"Catalogued as *NO_NAME* \u2013 QUAKE DEMO, " + today +
                                         " (catalogue ORVIK, bookmark 1)",
                                     "Catalogued as *NO_NAME* \u2013 AGAIN, " + today +
                                         " (catalogue ORVIK, bookmark 8)"}));
    const CliRun tsv = cli({"identify", other, "--format", "tsv"});
    ASSERT_EQ(tsv.out.size(), 2);
    EXPECT_EQ(tsv.out[0], "bookmark\tlabel\tdescription\tscanned\tcatalogue");
    EXPECT_TRUE(tsv.out[1].startsWith("7\t*NO_NAME*\tOTHER\t" + today.left(4)));
    EXPECT_TRUE(tsv.out[1].endsWith("Z\tORVIK")) << tsv.out[1].toStdString();
    const CliRun json = cli({"identify", tree, "--format", "json"});
    ASSERT_EQ(json.out.size(), 2);
    EXPECT_EQ(object(json.out[1])["bookmark"], "8");

    for (const QString& none : {tree + "/data", disc.path()}) {
        const CliRun run = cli({"identify", none});
        EXPECT_EQ(run.exitCode, 1) << none.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    ASSERT_EQ(cli({"create", "empty"}).exitCode, 0);
    EXPECT_EQ(cli({"identify", tree, "--catalogue", "empty"}).exitCode, 1);
    for (const QStringList& bad : QList<QStringList>{{"identify"},
                                                     {"identify", tree + "/missing"},
                                                     {"identify", tree, "--catalogue", "no"}})
        expectRefused(bad);
}

TEST_F(CliTest, volumeShowsTheIdentityOrForAVolumeAddedBeforeTheCountsOfItsRecords) {
    addTree("Quake demo", {"--keywords", "fps", "--no-dates"});
    const CliRun added = cli({"volume", "4", "--format", "json"});
    ASSERT_EQ(added.out.size(), 1);
    const QJsonObject volume = object(added.out[0]);
    const QJsonObject expected{{"bookmark", "1"},   {"description", "QUAKE DEMO"},
                               {"keywords", "FPS"}, {"identity", true},
                               {"top", tree},       {"location", ""},
                               {"filter", false},   {"dates", false},
                               {"lengths", true},   {"directories", 4},
                               {"files", 6},        {"bytes", 24}};
    for (const QString& key : expected.keys())
        EXPECT_EQ(volume[key], expected[key]) << key.toStdString();
    EXPECT_CONTAINS(cli({"volume", "1"}).out.join('\n'), "Location:");

    const QString old = copyOld();
    const QByteArray before = fileBytes(old);
    const CliRun tsv = cli({"volume", "4", "--catalogue", "old", "--format", "tsv"});
    QStringList values;
    for (const char* key :
         {"description", "keywords", "identity", "uuid", "directories", "files", "bytes"})
        values << field(tsv, key);
    EXPECT_EQ(values, QStringList({"FIRST DISC", "GAMES QUAKE", "no", "", "3", "5", "37"}));
    const QString text = cli({"volume", "10", "--catalogue", "old"}).out.join('\n');
    for (const char* shown : {"Description: THIRD DISC", "Files:       2", "without identity"})
        EXPECT_CONTAINS(text, shown);
    EXPECT_EQ(fileBytes(old), before) << "reading never migrates";

    for (const char* none : {"6", "99", "x"})
        expectRefused({"volume", none, "--catalogue", "old"});
}

// A volume with directories that hold only subdirectories, at two levels, and
// an empty one; added twice, so a listing that strayed beyond its own run
// would show every file twice.
class CliLsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        for (const char* name : {"readme.txt", "a/b/c.txt", "a/d/e.txt", "only/x/deep/x.txt"})
            makeFile(volume + "/" + name, 4, 1000000000);
        ASSERT_TRUE(QDir().mkpath(volume + "/empty"));
        for (int add = 0; add < 2; ++add)
            ASSERT_EQ(cli({"add", volume, "--description", "Nested", "--no-filter"}).exitCode, 0);
    }

    const QString volume = disc.path() + "/vol";
    const QString top = volume.toUpper() + "/";
    const QString date = QDateTime::fromSecsSinceEpoch(1000000000).toString("yyyy-MM-dd HH:mm:ss");
};

TEST_F(CliLsTest, lsListsSubdirectoriesAlsoThoseWithoutFilesOfTheirOwnAndTheFiles) {
    const CliRun first = cli({"ls", "1"});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out,
              QStringList({top + ":", "  A/", "  ONLY/", "  README.TXT  " + date + "  4"}));
    // Any record of the second run names the second volume.
    EXPECT_EQ(cli({"ls", "7"}).out, first.out);
    EXPECT_EQ(cli({"ls", "6", "a"}).out, QStringList({top + "A/:", "  B/", "  D/"}));
    EXPECT_EQ(cli({"ls", "8", "only"}).out, QStringList({top + "ONLY/:", "  X/"}));
    EXPECT_EQ(cli({"ls", "1", "only/x"}).out, QStringList({top + "ONLY/X/:", "  DEEP/"}));
    EXPECT_EQ(cli({"ls", "4", "only/x/deep"}).out,
              QStringList({top + "ONLY/X/DEEP/:", "  X.TXT  " + date + "  4"}));
}

TEST_F(CliLsTest, lsTakesTheDirectoryBelowTheTopOrAsStoredInAnyLetterCase) {
    const QStringList nested{top + "A/B/:", "  C.TXT  " + date + "  4"};
    for (const QString& directory : QStringList{"a/b", "A/B/", "./a//b", top + "A/B", top + "A/B/",
                                                volume + "/a/b", top + "a/x/../b"}) {
        const CliRun run = cli({"ls", "2", directory});
        EXPECT_EQ(run.exitCode, 0) << directory.toStdString() << run.err.toStdString();
        EXPECT_EQ(run.out, nested) << directory.toStdString();
    }
    const QStringList whole = cli({"ls", "2"}).out;
    for (const QString& directory : QStringList{"", ".", top, volume})
        EXPECT_EQ(cli({"ls", "2", directory}).out, whole) << directory.toStdString();
}

TEST_F(CliLsTest, lsRecursiveListsEachDirectoryBeforeItsSubdirectoriesInTheVolumesOrder) {
    // Each listing is what ls gives for that directory alone.
    QStringList listings;
    for (const char* directory : {"", "a", "a/b", "a/d", "only", "only/x", "only/x/deep"})
        listings << (listings.isEmpty() ? QStringList() : QStringList("")) +
                        cli({"ls", "1", directory}).out;
    const CliRun all = cli({"ls", "1", "--recursive"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out, listings);
    EXPECT_EQ(cli({"ls", "5", "only", "--recursive"}).out,
              all.out.mid(all.out.indexOf(top + "ONLY/:")));
}

TEST_F(CliLsTest, lsTsvAndJsonGiveEachEntryWithItsDirectoryTypeDateLengthAndBookmark) {
    const CliRun tsv = cli({"ls", "1", "a", "--recursive", "--format", "tsv"});
    EXPECT_EQ(tsv.exitCode, 0);
    const QStringList entries{top + "A/\tB\tdirectory\t\t\t", top + "A/\tD\tdirectory\t\t\t",
                              top + "A/B/\tC.TXT\tfile\t" + date + "\t4\t2",
                              top + "A/D/\tE.TXT\tfile\t" + date + "\t4\t3"};
    EXPECT_EQ(tsv.out, QStringList("directory\tname\ttype\tdate\tlength\tbookmark") + entries);
    // The bookmark names the file's own record.
    EXPECT_CONTAINS(cli({"show", "3"}).out.join('\n'), "File name:   E.TXT");

    const CliRun json = cli({"ls", "1", "a", "--recursive", "--format", "json"});
    ASSERT_EQ(json.out.size(), entries.size());
    const QStringList keys{"directory", "name", "type", "date", "length", "bookmark"};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject entry = object(json.out[i]);
        EXPECT_EQ(entry.keys().size(), keys.size());
        QStringList values;
        for (const QString& key : keys)
            values << entry[key].toString();
        EXPECT_EQ(values.join('\t'), entries[i]);
    }
}

TEST_F(CliLsTest, lsOfABookmarkOfNoRecordOrADirectoryTheVolumeDoesNotHoldIsAnErrorNamingIt) {
    ASSERT_EQ(cli({"erase", "5"}).exitCode, 0);
    const struct {
        QStringList arguments;
        QString named;
    } cases[] = {{{"x"}, "not a bookmark: x"},
                 {{"99"}, "no record with bookmark 99"},
                 {{"6"}, "no record with bookmark 6"}, // erased
                 {{"1", "nope"}, "no directory nope "},
                 {{"1", "a/b/c.txt"}, "no directory a/b/c.txt "},
                 {{"1", "empty"}, "no directory empty "}, // holds no file
                 {{"1", ".."}, "no directory .. "},
                 {{"1", disc.path()}, "no directory " + disc.path() + " "}};
    for (const auto& c : cases)
        EXPECT_CONTAINS(expectRefused(QStringList("ls") + c.arguments), c.named);
}

TEST_F(CliTest, lsOfAVolumeAddedWithoutIdentityTakesItsTopFromItsDirectories) {
    const QString old = copyOld();
    const QByteArray before = fileBytes(old);
    EXPECT_EQ(cli({"ls", "10", "--catalogue", "old"}).out,
              QStringList({"/TMP/ORVIK-FIXTURE/DISC3/:", "  Y/", "  X.TXT  2020-01-01 12:00:00"}));
    EXPECT_EQ(
        cli({"ls", "2", "docs", "--catalogue", "old", "--recursive"}).out,
        QStringList(
            {"/TMP/ORVIK-FIXTURE/DISC1/DOCS/:", "  DEEP/", "  NOTES.TXT   2002-06-07 08:09:11  1",
             "  MANUAL.DOC  2002-06-07 08:09:10  16", "",
             "/TMP/ORVIK-FIXTURE/DISC1/DOCS/DEEP/:", "  INNER.TXT  2003-01-01 00:00:00  5"}));
    EXPECT_EQ(fileBytes(old), before) << "reading never migrates";
}

TEST_F(CliTest, editStoresDescriptionAndKeywordsOnTheRunsHeadInUpperCaseAndTheLocationAsTyped) {
    addTree("Quake demo", {"--keywords", "fps"});
    addTree("Second");
    // Bookmark 4 is a record inside the first run.
    const CliRun edited = cli({"edit", "4", "--description", "Quake II demo", "--keywords",
                               "fps shooter", "--location", "Box 12, slot 3"});
    EXPECT_EQ(edited.exitCode, 0) << edited.err.toStdString();
    EXPECT_EQ(edited.out, QStringList({"Description: \"QUAKE DEMO\" -> \"QUAKE II DEMO\"",
                                       "Keywords: \"FPS\" -> \"FPS SHOOTER\"",
                                       "Location: \"\" -> \"Box 12, slot 3\""}));

    const QJsonObject volume = object(cli({"volume", "4", "--format", "json"}).out.value(0));
    EXPECT_EQ(volume["keywords"], "FPS SHOOTER");
    EXPECT_EQ(volume["location"], "Box 12, slot 3");
    EXPECT_EQ(volume["identity"], true) << "the identity kept beside the location";
    const QString second = cli({"volume", "7"}).out.join('\n');
    EXPECT_CONTAINS(second, "Description: SECOND");
    EXPECT_FALSE(second.contains("Box 12")) << "only the edited volume";

    // Only the head carries the texts; empty keywords are stored as none.
    ASSERT_EQ(cli({"edit", "4", "--keywords", ""}).exitCode, 0);
    const auto rows = readCatalogue(app.home() + "/ORVIK.mdb");
    EXPECT_EQ(rows[0][size_t(engine::Field::CDDescription)], "QUAKE II DEMO");
    EXPECT_EQ(rows[0][size_t(engine::Field::CDKeywords)], std::nullopt);
    for (size_t i = 1; i < 6; ++i) {
        EXPECT_EQ(rows[i][size_t(engine::Field::CDDescription)], std::nullopt);
        EXPECT_EQ(rows[i][size_t(engine::Field::CDKeywords)], std::nullopt);
    }

    const CliRun again = cli({"edit", "1", "--location", "Box 12, slot 3"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_CONTAINS(again.err, "Nothing changed");
}

TEST_F(CliTest, editRefusesAMissingOptionAnEmptyDescriptionOrABookmarkOfNoRecordChangingNothing) {
    addTree();
    const QString file = app.home() + "/ORVIK.mdb";
    const QByteArray before = fileBytes(file);
    for (const QStringList& bad : QList<QStringList>{{"edit", "1"},
                                                     {"edit", "1", "--description", ""},
                                                     {"edit", "99", "--location", "x"},
                                                     {"edit", "x", "--location", "x"},
                                                     {"edit", "--location", "x"}})
        expectRefused(bad);
    EXPECT_CONTAINS(cli({"edit", "1"}).err, "--description, --keywords or --location");
    EXPECT_EQ(fileBytes(file), before);
}

TEST_F(CliTest, aVolumeAddedBeforeIdentitiesTakesALocationAndStaysWithoutIdentity) {
    const QString old = copyOld();
    const CliRun edited = cli({"edit", "10", "--location", "Shelf 2", "--catalogue", "old"});
    EXPECT_EQ(edited.exitCode, 0) << edited.err.toStdString();
    EXPECT_EQ(edited.out, QStringList({"Location: \"\" -> \"Shelf 2\""}));

    const CliRun tsv = cli({"volume", "9", "--catalogue", "old", "--format", "tsv"});
    EXPECT_EQ(field(tsv, "location"), "Shelf 2");
    EXPECT_EQ(field(tsv, "identity"), "no");
    EXPECT_EQ(field(tsv, "scanned"), "");
    EXPECT_EQ(field(tsv, "files"), "2") << "counted from its records";
    EXPECT_CONTAINS(cli({"volume", "9", "--catalogue", "old"}).out.join('\n'), "without identity");
    // Identify names only the volume added with an identity.
    ASSERT_EQ(cli({"add", tree, "--description", "New", "--catalogue", "old"}).exitCode, 0);
    const CliRun identified = cli({"identify", tree, "--catalogue", "old", "--format", "tsv"});
    ASSERT_EQ(identified.out.size(), 2);
    EXPECT_TRUE(identified.out[1].startsWith("13\t")) << identified.out[1].toStdString();

    // Emptied, the location leaves nothing behind.
    ASSERT_EQ(cli({"edit", "9", "--location", "", "--catalogue", "old"}).exitCode, 0);
    const CliRun cleared = cli({"volume", "9", "--catalogue", "old", "--format", "json"});
    EXPECT_TRUE(object(cleared.out.value(0))["location"].isNull());
}

TEST_F(CliTest, anEditDuringAnotherProgramsWriteWaitsForItAndThenStores) {
    addTree();
    Holder holder(HOLD_CATALOGUE, app.home() + "/ORVIK.mdb");
    QProcess edit;
    edit.start(ORVIK_CLI, {"edit", "1", "--location", "Box 1"});
    EXPECT_TRUE(waitForError(edit, WaitingText));
    EXPECT_EQ(edit.state(), QProcess::Running);
    holder.release();
    ASSERT_TRUE(edit.waitForFinished(60000));
    EXPECT_EQ(edit.exitCode(), 0);
    EXPECT_CONTAINS(cli({"volume", "1"}).out.join('\n'), "Location:    Box 1");
}
