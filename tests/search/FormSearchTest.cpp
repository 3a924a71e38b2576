// The search window around the queries: start-up, AutoList, switching to the
// main window, cancel and exit, stored geometry, the layout and printing.
#include "search/FormSearch.h"
#include "app/OrvikWindows.h"
#include "core/AppState.h"
#include "core/Startup.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/Recordset.h"
#include "core/ui/Twips.h"
#include "search/ResultPrintout.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/PortraitOnlyPrinter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QFileDialog>
#include <QFontDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

using namespace orvik;
using namespace orvik::test;

namespace {

class FormSearchTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();

    void SetUp() override {
        CatalogueWriter catalogue(state);
        catalogue.addRun("CD1", "PHOTOS", "SUMMER", {directory("/M/", {"A.JPG", "B.JPG"})});
        catalogue.addRun("CD2", "MUSIC", "", {directory("/M/", {"S.MP3"})});
        state.Options.DisplayPaths = true;
    }
    // "&Print Results" to `pdf`, its boxes answered as given.
    void print(FormSearch& form, const QString& pdf,
               std::initializer_list<Answer> answers = {Answer::Ok}) {
        form.printer().setOutputFileName(pdf);
        app.prompt().queue(answers);
        child<QAction>(form, "Print_res")->trigger();
    }
    // "&Display File Details", `inside` run on the details window, which then closes.
    static void details(FormSearch& form, std::function<void(QWidget&)> inside) {
        whenModal([inside](QWidget& window) {
            inside(window);
            child(window, "CmdExit")->click();
        });
        child(form, "CmdDetails")->click();
    }
};

TEST_F(FormSearchTest, startUpShowsTheSearchWindowWithItsVolumesAndAddSwitchesToMainAndBack) {
    settleStartup(state);
    OrvikWindows windows(state);
    FormSearch& search = windows.search();
    QWidget& main = reinterpret_cast<QWidget&>(windows.main());
    ASSERT_TRUE(search.isVisible());
    EXPECT_FALSE(main.isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search)); // activation lists the volumes
    EXPECT_EQ(search.results().lines(),
              QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER]", "Vol:CD2  (MUSIC) - [KW=]"}));
    EXPECT_EQ(child<QLineEdit>(search, "TextMatch")->text(), "2 CDs found");

    child(search, "CmdAdd")->click();
    EXPECT_FALSE(search.isVisible());
    EXPECT_TRUE(main.isVisible());
    child(main, "CmdFind")->click();
    EXPECT_TRUE(search.isVisible());
    EXPECT_FALSE(main.isVisible());

    // Both windows tell the same About message.
    child<QAction>(search, "About")->trigger();
    child<QAction>(main, "About")->trigger();
    const QStringList about = app.prompt().texts().mid(app.prompt().texts().size() - 2);
    EXPECT_TRUE(about.value(0).endsWith("- Orvik v1.2.0"));
    EXPECT_EQ(about.value(0), about.value(1));
}

TEST_F(FormSearchTest, linesLeadToTheirRecordsAndActivationRelistsOrEmptiesAsAutoListSays) {
    FormSearch form(state);
    form.Form_Activate();
    ASSERT_EQ(form.results().rowCount(), 2); // auto-listed: the list was empty
    form.OptDispPaths_Click();
    EXPECT_EQ(state.settings().get("DisplayPaths", ""), "False");
    auto* text = child<QLineEdit>(form, "Text1");
    text->setText("jpg");
    QTest::keyClick(text, Qt::Key_Return); // the default button
    ASSERT_EQ(form.results().rowCount(), 2);
    EXPECT_TRUE(form.results().lines()[1].startsWith("B.JPG . ."));
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(), "Search completed (2 matches)");
    child<QListView>(form, "SearchList")->setCurrentIndex(form.results().index(1));
    state.CatalogueRecordset->setBookmark(state.CurrentPosition);
    EXPECT_EQ(state.CatalogueRecordset->Fields(engine::Field::CDFile), "B.JPG");
    form.Form_Activate(); // a filled list and no change: left alone
    EXPECT_EQ(form.results().rowCount(), 2);

    form.AutoList_Click();
    EXPECT_EQ(state.settings().get("AutoList", ""), "False");
    state.CatalogueChanged = true;
    form.Form_Activate();
    EXPECT_EQ(form.results().rowCount(), 0);
    text->clear();
    child(form, "cmdSearchKeywords")->click();
    ASSERT_EQ(form.results().rowCount(), 1);
    form.Form_Activate(); // emptied once only
    EXPECT_EQ(form.results().rowCount(), 1);
}

TEST_F(FormSearchTest, detailsOpenOnTheChosenLineAndLeaveTheRecordTheyShowedLast) {
    FormSearch form(state);
    form.show();
    child(form, "CmdDetails")->click();
    child(form, "CmdViewDB")->click();
    EXPECT_EQ(app.prompt().texts(), QStringList(2, "Please select a catalogue entry first"));
    EXPECT_EQ(app.prompt().shown.back().icon, Icon::None);

    query(form, "jpg");
    auto* list = child<QListView>(form, "SearchList");
    // Each opening of the details window runs `inside` on it, then closes it.
    QStringList opened;
    auto whenOpen = [&](std::function<void(QWidget&)> inside) {
        whenModal([&, inside](QWidget& details) {
            opened << child<QLineEdit>(details, "TextFile")->text();
            inside(details);
            child(details, "CmdExit")->click();
        });
    };
    auto doubleClick = [&](int line) { // as the mouse does it: a click, then the double click
        const QPoint at = list->visualRect(form.results().index(line)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };
    whenOpen([&](QWidget& details) { child(details, "CmdNextFile")->click(); });
    doubleClick(0);
    EXPECT_EQ(list->currentIndex().row(), 0); // the search list is left alone
    state.CatalogueRecordset->setBookmark(state.CurrentPosition);
    EXPECT_EQ(state.CatalogueRecordset->Fields(engine::Field::CDFile), "B.JPG");
    whenOpen([](QWidget&) {});
    child(form, "CmdDetails")->click(); // on the record shown last
    EXPECT_EQ(opened, QStringList({"A.JPG", "B.JPG"}));
    whenModal([&](QWidget& raw) {
        opened << raw.windowTitle() + ": " + child<QLineEdit>(raw, "Text4")->text();
        child(raw, "CommandExit")->click();
    });
    child(form, "CmdViewDB")->click();
    EXPECT_EQ(opened.last(), "Orvik - Raw Database    Catalogue=Orvik: B.JPG");
    opened.removeLast();

    form.results().setData(form.results().index(1), QString(), ResultListModel::BookmarkRole);
    doubleClick(1);
    EXPECT_EQ(opened.size(), 2); // a line without a record opens nothing
    EXPECT_TRUE(state.CurrentPosition.isEmpty());
}

TEST_F(FormSearchTest, onlyAHighlightedLineIsChosenNotTheOneTabbingIntoTheListMakesCurrent) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form)); // activation lists the volumes
    const QString file = state.catalogueFile();
    const auto before = readCatalogue(file);
    auto* list = child<QListView>(form, "SearchList");
    auto* lastButton = child(form, "CmdListCD");
    lastButton->setFocus();
    QTest::keyClick(lastButton, Qt::Key_Tab);
    ASSERT_TRUE(list->hasFocus());
    ASSERT_TRUE(list->currentIndex().isValid()); // current, but not highlighted
    child(form, "CmdDelCD")->click();
    child(form, "CmdDetails")->click();
    EXPECT_EQ(app.prompt().texts(), QStringList(2, "Please select a catalogue entry first"));
    EXPECT_EQ(readCatalogue(file), before);

    QTest::keyClick(list, Qt::Key_Down); // the keyboard moves the highlight to CD2
    child(form, "CmdDelCD")->click();
    EXPECT_EQ(readCatalogue(file), std::vector(before.begin(), before.begin() + 2));
}

TEST_F(FormSearchTest, detailsOpenedFromALineOfAVolumeQuerySeekDirectoriesAndVolumes) {
    CatalogueWriter(state).addRun("CD3", "GAMES", "QUAKE", {directory("/G/", {"X.EXE", "Y.DAT"})});
    CatalogueWriter(state).addRun("CD4", "LAST", "DOOM", {directory("/L/", {"Z.EXE"})});
    // Records: CD1 A.JPG B.JPG, CD2 S.MP3, CD3 X.EXE Y.DAT, CD4 Z.EXE; one directory each.
    FormSearch form(state);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    for (const char* button : {"CmdListCD", "cmdSearchDesc", "cmdSearchKeywords"})
        for (const auto& [fromLast, move, landing] : {std::tuple{false, "CmdNextPath", "S.MP3"},
                                                      {false, "CmdNextVol", "S.MP3"},
                                                      {true, "cmdPrevPath", "X.EXE"},
                                                      {true, "cmdPrevVol", "X.EXE"}}) {
            query(form, "", button);
            list->setCurrentIndex(
                form.results().index(fromLast ? form.results().rowCount() - 1 : 0));
            QString shown;
            details(form, [&, move = move](QWidget& window) {
                child(window, move)->click();
                shown = child<QLineEdit>(window, "TextFile")->text();
            });
            EXPECT_EQ(shown, landing) << button << ' ' << move;
        }
}

TEST_F(FormSearchTest, theResultListTellsThatADoubleClickShowsMoreDetails) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* list = child<QListView>(form, "SearchList");
    // Over a line and below the last one.
    for (const QPoint at : {list->visualRect(form.results().index(0)).center(),
                            list->viewport()->rect().center() + QPoint(0, 40)}) {
        QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &hover);
        EXPECT_EQ(QToolTip::text(), "Double-click to see more details");
        QToolTip::hideText();
    }
}

TEST_F(FormSearchTest, eraseRemovesTheChosenRunOrTheTailTheDetailsWindowLeftAndCompacts) {
    QStringList names; // each its own, so the file index holds much of them
    for (int i = 0; i < 5000; ++i)
        names << QString("X%1.DAT").arg(i);
    CatalogueWriter(state).addRun("CD3", "BIG", "",
                                  {directory("/B/", names), directory("/C/", {"Y.DAT"})});
    CatalogueWriter(state).addRun("CD4", "LAST", "", {directory("/D/", {"Z.DAT"})});
    const QString file = state.catalogueFile();
    const auto before = readCatalogue(file); // CD1: 0-1, CD2: 2, CD3: 3-5003, CD4: 5004
    const qint64 sizeBefore = QFileInfo(file).size();
    // A temporary file of an older version, in the working folder and beside the catalogue.
    for (const QString& stale : {QDir::current().filePath("tmpdb.mdb"), app.home() + "/tmpdb.mdb"})
        makeFile(stale, 5);

    FormSearch form(state);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    QStringList statuses;
    QObject::connect(child<QLineEdit>(form, "TextMatch"), &QLineEdit::textChanged,
                     [&](const QString& text) { statuses << text; });
    auto erase = [&](int line) {
        child(form, "CmdListCD")->click();
        list->setCurrentIndex(form.results().index(line));
        statuses.clear();
        child(form, "CmdDelCD")->click();
    };
    erase(2);
    EXPECT_EQ(statuses,
              QStringList({"Deleting CD ...", " CD deleted from catalogue - now compressing ...",
                           "Searching catalogue for CD Volumes ...", "3 CDs found"}));
    EXPECT_TRUE(state.CurrentPosition.isEmpty());
    EXPECT_FALSE(list->currentIndex().isValid());
    // Little beyond the one page of each table and index: the file index
    // holds no more of the erased names.
    EXPECT_LT(QFileInfo(file).size(), sizeBefore / 3);
    auto kept = before;
    kept.erase(kept.begin() + 3, kept.begin() + 5004);
    EXPECT_EQ(readCatalogue(file), kept);
    EXPECT_TRUE(app.prompt().shown.empty());
    EXPECT_EQ(QFileInfo(app.home() + "/tmpdb.mdb").size(), 5);
    EXPECT_EQ(QFileInfo("tmpdb.mdb").size(), 5);
    QFile::remove("tmpdb.mdb");

    erase(2); // the last run, to the end of the catalogue
    kept.pop_back();
    EXPECT_EQ(readCatalogue(file), kept);

    // From the details window's last record: the tail of the run goes, its head stays.
    child(form, "CmdListCD")->click();
    list->setCurrentIndex(form.results().index(0));
    details(form, [](QWidget& window) { child(window, "CmdNextFile")->click(); });
    statuses.clear();
    child(form, "CmdDelCD")->click();
    kept.erase(kept.begin() + 1);
    EXPECT_EQ(readCatalogue(file), kept);
    EXPECT_EQ(form.results().rowCount(), 2);
    EXPECT_TRUE(child(form, "CmdDelCD")->isEnabled());
    child(form, "cmdSearchKeywords")->click(); // only the volume list offers the erase
    EXPECT_FALSE(child(form, "CmdDelCD")->isEnabled());
}

TEST_F(FormSearchTest, updateSelectedCDAsksForTheMediumShowsTheDifferenceAndWritesOnlyOnOK) {
    QTemporaryDir disc;
    makeFile(disc.path() + "/a.txt", 1);
    makeFile(disc.path() + "/b.txt", 2);
    ASSERT_EQ(addTree(state, disc.path(), "Backup"), VolumeAdd::Result::Finished);
    makeFile(disc.path() + "/c.txt", 3);
    const QString file = state.catalogueFile();
    const auto before = readCatalogue(file);
    FormSearch form(state);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    auto* status = child<QLineEdit>(form, "TextMatch");
    auto update = [&](Answer answer) {
        child(form, "CmdListCD")->click();
        list->setCurrentIndex(form.results().index(2));
        app.prompt().queue({answer});
        whenModal([&disc](QWidget& window) {
            auto& dialog = static_cast<QFileDialog&>(window);
            EXPECT_EQ(dialog.selectedFiles(), QStringList(disc.path())) << "the recorded one";
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        child(form, "CmdUpdCD")->click();
    };

    update(Answer::Cancel);
    EXPECT_EQ(readCatalogue(file), before);
    EXPECT_EQ(status->text(), "Update cancelled - the CD is as it was.");
    const QString question = app.prompt().texts().value(0);
    EXPECT_CONTAINS(question, "1 added, 0 removed, 0 changed, 0 moved, 2 unchanged");
    EXPECT_CONTAINS(question, "+ C.TXT");

    update(Answer::Ok);
    const auto after = readCatalogue(file);
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_TRUE(std::any_of(after.end() - 3, after.end(), [](const engine::Row& row) {
        return row[size_t(engine::Field::CDFile)] == "C.TXT";
    }));
    EXPECT_EQ(form.results().lines().value(2), "Vol:*NO_NAME*  (BACKUP) - [KW=]");
    EXPECT_EQ(status->text(), "CD updated: 1 added, 0 removed, 0 changed, 0 moved, 2 unchanged");
    EXPECT_TRUE(child(form, "CmdUpdCD")->isEnabled());
    child(form, "cmdSearchKeywords")->click(); // as the erase, only on the volume list
    EXPECT_FALSE(child(form, "CmdUpdCD")->isEnabled());
}

TEST_F(FormSearchTest, verifySelectedCDAsksForTheMediumAndShowsWhatDiffersFromTheCatalogue) {
    QTemporaryDir disc;
    writeFile(disc.path() + "/a.txt", "one");
    writeFile(disc.path() + "/b.txt", "two");
    state.Options.SaveChecksums = true;
    ASSERT_EQ(addTree(state, disc.path(), "Backup"), VolumeAdd::Result::Finished);
    writeFile(disc.path() + "/a.txt", "changed");
    FormSearch form(state);
    form.show();
    auto* verify = child<QAction>(form, "Tools_Verify");
    EXPECT_FALSE(verify->isEnabled()) << "as the update, only on the volume list";
    child(form, "CmdListCD")->click();
    EXPECT_TRUE(verify->isEnabled());
    child<QListView>(form, "SearchList")->setCurrentIndex(form.results().index(2));
    whenModal([&disc](QWidget& window) {
        auto& dialog = static_cast<QFileDialog&>(window);
        EXPECT_EQ(dialog.selectedFiles(), QStringList(disc.path())) << "the recorded one";
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    verify->trigger();
    ASSERT_EQ(app.prompt().shown.size(), 1u);
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::Exclamation);
    EXPECT_CONTAINS(app.prompt().texts().value(0),
                    "1 unchanged, 1 changed, 0 missing, 0 unreadable, 0 new, 0 moved\r\n~ A.TXT");
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(),
              "CD verified: 1 unchanged, 1 changed, 0 missing, 0 unreadable, 0 new, 0 moved");
}

// A catalogue of a newer version is listed as any other, but its erase and
// the details window's edits are refused with the reason, the file untouched.
TEST_F(FormSearchTest, aCatalogueOfANewerVersionIsListedAndRefusesTheEraseAndEditsWithTheReason) {
    const QString file = state.catalogueFile();
    engine::Catalogue(file).exec("PRAGMA user_version = 99");
    const QByteArray before = fileBytes(file);
    FormSearch form(state);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    child(form, "CmdListCD")->click();
    EXPECT_EQ(form.results().lines(),
              QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER]", "Vol:CD2  (MUSIC) - [KW=]"}));
    list->setCurrentIndex(form.results().index(1));
    child(form, "CmdDelCD")->click();

    list->setCurrentIndex(form.results().index(0));
    app.prompt().queue({Answer::Ok}); // the keywords are for the whole volume
    details(form, [](QWidget& window) {
        child<QLineEdit>(window, "TextKey")->setText("CHANGED");
        child(window, "CmdAddKw")->click();
        child<QLineEdit>(window, "TextDesc")->setText("CHANGED");
        child(window, "CmdChangeDesc")->click();
    });
    const QString refused = "Error 8 - " + engine::readOnlyReason(99);
    EXPECT_EQ(
        app.prompt().texts(),
        QStringList({refused, "Can't open table or delete records in catalogue database.",
                     "Warning: This Keyword entry is for the whole Volume", refused, refused}));
    EXPECT_EQ(fileBytes(file), before);
    child(form, "CmdListCD")->click();
    EXPECT_EQ(form.results().rowCount(), 2);
}

// SQLite opens the file once per connection.
int connectionsTo(const QString& file) {
    const auto target = std::filesystem::canonical(QFile::encodeName(file).constData());
    int connections = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone; // the iterator's own descriptor is closed by now
        connections += std::filesystem::read_symlink(fd.path(), gone) == target;
    }
    return connections;
}

TEST_F(FormSearchTest, theWindowsQueriesAndTheEraseShareOneConnectionToTheCatalogue) {
    const QString file = state.catalogueFile();
    FormSearch form(state);
    form.show();
    query(form, "jpg");
    auto* list = child<QListView>(form, "SearchList");
    list->setCurrentIndex(form.results().index(0));
    int inDetails = 0;
    details(form, [&](QWidget& window) {
        child(window, "CmdNextPath")->click();
        inDetails = connectionsTo(file);
    });
    EXPECT_EQ(inDetails, 1);
    child(form, "cmdSearchKeywords")->click();
    EXPECT_EQ(connectionsTo(file), 1);
    child(form, "CmdListCD")->click();
    list->setCurrentIndex(form.results().index(1));
    child(form, "CmdDelCD")->click();
    ASSERT_EQ(form.results().rowCount(), 1); // erased
    EXPECT_EQ(connectionsTo(file), 1);
}

// Another connection that starts reading as the compaction begins blocks it:
// the run is erased all the same and the catalogue left whole.
TEST_F(FormSearchTest, aCompactionAnotherReaderBlocksLeavesTheCatalogueWholeWithTheRunErased) {
    const QString file = state.catalogueFile();
    auto kept = readCatalogue(file);
    FormSearch form(state);
    child(form, "CmdListCD")->click();
    child<QListView>(form, "SearchList")->setCurrentIndex(form.results().index(1));
    state.workspace().OpenDatabase(file)->setBusyTimeout(100);
    std::unique_ptr<engine::Catalogue> reader;
    std::unique_ptr<engine::Statement> reading;
    QObject::connect(
        child<QLineEdit>(form, "TextMatch"), &QLineEdit::textChanged, [&](const QString& text) {
            if (!text.contains("now compressing") || reader) return;
            reader = std::make_unique<engine::Catalogue>(file);
            reading = std::make_unique<engine::Statement>(*reader, "SELECT CDFile FROM CDTable");
            ASSERT_TRUE(reading->step());
        });
    child(form, "CmdDelCD")->click();
    ASSERT_TRUE(reading);
    reading.reset();
    reader.reset();
    kept.pop_back(); // CD2's one record
    EXPECT_EQ(readCatalogue(file), kept);
    EXPECT_EQ(form.results().lines(), QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER]"}));
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(FormSearchTest, storedGeometryIsAppliedAtLoadAndTheControlsFollowTheWindowsSize) {
    state.settings().save("SearchWidth", "12000");
    state.settings().save("PrnOrient", "2");
    FormSearch form(state);
    EXPECT_NEAR(twips::fromPixelsX(form.width(), &form), 12000, 15);
    EXPECT_EQ(form.PrintOrientation, 2);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    const int before = list->width();
    form.resize(form.width() + 300, form.height() + 200);
    EXPECT_NEAR(list->width(), before + 300, 2);

    // Stored and design sizes alike, the status row ends at the inner area's
    // bottom edge, clear of the window's.
    for (const char* size : {"9200", ""}) {
        state.settings().save("SearchHeight", size);
        state.settings().save("SearchWidth", size);
        FormSearch again(state);
        again.show();
        const QWidget* box = child<QLineEdit>(again, "TextMatch");
        EXPECT_NEAR(box->geometry().bottom() + 1, box->parentWidget()->height(), 1) << size;
        EXPECT_LE(box->mapTo(&again, QPoint(0, box->height())).y() + 4, again.height()) << size;
    }
}

TEST_F(FormSearchTest, exitCancelsARunningQueryOrEndsTheProgramStoringThePlace) {
    CatalogueWriter(state).addRun("CD3", "MANY", "", {directory("/M/", QStringList(100, "F.TXT"))});
    FormSearch form(state);
    form.show();
    auto* exit = child(form, "SearchExit");
    // The click waits for the query to let the event loop run, after its 20th line.
    QTimer::singleShot(0, exit, [exit] {
        EXPECT_EQ(exit->text(), "Cancel");
        exit->click();
    });
    query(form, "f");
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(),
              "Search completed (20 matches) CANCELLED BY USER");
    EXPECT_EQ(exit->text(), "Exit");
    EXPECT_EQ(app.endings, 0);
    exit->click();
    EXPECT_EQ(app.endings, 1);
    EXPECT_TRUE(state.settings().contains("SearchHeight"));
}

TEST_F(FormSearchTest, aLineWiderThanTheListIsShownWholeAndTheListScrollsSidewaysToItsEnd) {
    FormSearch form(state);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    const QFontMetrics metrics(list->font());
    // A volume whose line is a few characters wider than the list, not the last one.
    const QString head = "Vol:CD3  (WIDE) - [KW=";
    const int room = list->viewport()->width() - metrics.horizontalAdvance(head + "]");
    const QString keywords(room / metrics.horizontalAdvance('K') + 3, 'K');
    CatalogueWriter(state).addRun("CD3", "WIDE", keywords, {directory("/W/", {"W.TXT"})});
    CatalogueWriter(state).addRun("CD4", "LAST", "", {directory("/L/", {"L.TXT"})});
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    auto widestWhole = [&] { // the width of the widest line, or -1 when a line is cut
        int widest = 0;
        for (int row = 0; row < form.results().rowCount(); ++row) {
            const QModelIndex line = form.results().index(row);
            const int width = metrics.horizontalAdvance(line.data().toString()) + 2 * margin;
            if (list->visualRect(line).width() < width) return -1;
            widest = std::max(widest, width);
        }
        return widest;
    };

    child(form, "CmdListCD")->click();
    QCoreApplication::processEvents();
    ASSERT_EQ(form.results().lines().value(2), head + keywords + "]");
    const int widest = widestWhole();
    EXPECT_GT(widest, list->viewport()->width());
    EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(), widest);

    query(form, "summer", "cmdSearchKeywords");
    QCoreApplication::processEvents();
    ASSERT_EQ(form.results().rowCount(), 1);
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
}

TEST_F(FormSearchTest, neverShrinksBelowItsDesignSizeSoNoControlIsCutOff) {
    FormSearch form(state);
    const QSize design = form.size();
    form.show();
    form.resize(1200, 900);
    QCoreApplication::processEvents();
    form.resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.size(), design);
    EXPECT_EQ(controlsCutOff(form), QStringList());
}

TEST_F(FormSearchTest, enterFindsFilesUnlessAButtonHasTheFocus) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    // Each Enter asks once whether to list all files (answered No).
    for (const char* name : {"Text1", "TextMatch", "SearchList"}) {
        auto* control = form.findChild<QWidget*>(name);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
    }
    EXPECT_EQ(app.prompt().texts(), QStringList(3, "Do you want to list all Files?"));
    auto* keywords = child(form, "cmdSearchKeywords");
    keywords->setFocus();
    QTest::keyClick(keywords, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(app.prompt().shown.size(), 3u);
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(), "Search completed (1 matches)");
}

TEST_F(FormSearchTest, ctrlASelectsTheSearchTextAndTogglesAutoDisplayWhenTheBoxIsEmpty) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* autoList = child<QAction>(form, "AutoList");
    const bool listing = autoList->isChecked();
    auto* text = child<QLineEdit>(form, "Text1");
    text->setText("jpg");
    text->setFocus();
    text->deselect();
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(text->selectedText(), "jpg");
    EXPECT_EQ(autoList->isChecked(), listing);
    EXPECT_FALSE(state.settings().contains("AutoList"));

    text->clear();
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(autoList->isChecked(), !listing);
    EXPECT_EQ(state.settings().get("AutoList", ""), listing ? "False" : "True");
}

TEST_F(FormSearchTest, printResultsAsksThenPrintsTheHeadingAndEveryLineOrNothing) {
    CatalogueWriter(state).addRun("CD3", "MANY", "",
                                  {directory("/T/", QStringList(50, "F.TXT") << "F.TXTX")});
    FormSearch form(state);
    form.Form_Activate();
    const QString pdf = app.home() + "/out.pdf";
    auto printed = [&](std::initializer_list<Answer> answers) {
        QFile::remove(pdf);
        app.prompt().shown.clear();
        print(form, pdf, answers);
        return QFile::exists(pdf) ? pdfLines(pdf) : QStringList();
    };
    const QStringList volumes = printed({Answer::Ok});
    ASSERT_EQ(app.prompt().shown.size(), 1u);
    EXPECT_EQ(app.prompt().shown[0].text,
              "Print search results to printer: PDF\n\n Font=" + form.PrinterFont.family() +
                  "    Size=6  Paper=Portrait");
    EXPECT_EQ(app.prompt().shown[0].title, "Printing ...");
    EXPECT_EQ(volumes, simplified({"Orvik - Results of search for  in Catalogue Orvik"}) +
                           simplified(form.results().lines()));
    EXPECT_TRUE(printed({Answer::Cancel}).isEmpty());

    query(form, "f.txt."); // 50 lines: one question
    EXPECT_EQ(printed({Answer::Ok}).size(), 51);
    EXPECT_EQ(app.prompt().shown.size(), 1u);
    query(form, "f.txt"); // 51 lines: the second question
    EXPECT_TRUE(printed({Answer::Ok, Answer::Cancel}).isEmpty());
    ASSERT_EQ(app.prompt().shown.size(), 2u);
    EXPECT_EQ(app.prompt().shown[1].text, "Do you really want to print all 51 lines?");
    EXPECT_EQ(app.prompt().shown[1].title, "Print warning");
    const QStringList all = printed({Answer::Ok, Answer::Ok});
    EXPECT_EQ(all.value(0), "Orvik - Results of search for *F.TXT* in Catalogue Orvik");
    EXPECT_EQ(all.mid(1), simplified(form.results().lines()));
    query(form, "nothing-like-this");
    EXPECT_EQ(printed({Answer::Ok}).size(), 1) << "the heading alone";

    // Without a file set the user picks one, each print-out anew.
    for (const char* name : {"picked.pdf", "again.pdf"}) {
        whenModal([&](QWidget& dialog) {
            dynamic_cast<QFileDialog&>(dialog).selectFile(app.home() + "/" + name);
            static_cast<QDialog&>(dialog).accept(); // as "Save" does
        });
        app.prompt().queue({Answer::Ok});
        child<QAction>(form, "Print_res")->trigger();
        EXPECT_EQ(pdfLines(app.home() + "/" + name).size(), 1) << name;
    }
}

TEST_F(FormSearchTest, pdfFileThatIsKeptOrCannotBeWrittenWholeIsReportedAndLeftAsItWas) {
    FormSearch form(state);
    form.Form_Activate();
    const QString catalogue = state.catalogueFile();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(catalogue, elsewhere.path() + "/results.pdf"));
    const QByteArray records = fileBytes(catalogue);

    const struct {
        QString file, error;
    } cases[] = {{elsewhere.path() + "/results.pdf", "Error 75 - Not replacing a catalogue: "},
                 {state.settings().file(), "Error 75 - Not replacing the settings file: "},
                 {"/dev/full", "Error 28 - No space left on device: /dev/full"}};
    for (const auto& c : cases) {
        app.prompt().shown.clear();
        print(form, c.file);
        ASSERT_EQ(app.prompt().shown.size(), 3u) << c.file.toStdString();
        EXPECT_TRUE(app.prompt().shown[1].text.startsWith(c.error))
            << app.prompt().shown[1].text.toStdString();
        EXPECT_EQ(app.prompt().shown[2].text, "Problems found with printing!");
        EXPECT_EQ(app.prompt().shown[2].title, "Print Error");
        EXPECT_EQ(app.prompt().shown[2].icon, Icon::Exclamation);
    }
    EXPECT_EQ(fileBytes(catalogue), records);
}

TEST_F(FormSearchTest, printOutStaysWithinTheMarginsAndTheRightMarginCutsLongLines) {
    QStringList names;
    for (int i = 0; i < 150; ++i)
        names << QString("F%1.TXT").arg(i, 3, 10, QChar('0'));
    names << "F" + QString(150, 'X') + ".TXT";
    CatalogueWriter(state).addRun("CD3", "MANY", "", {directory("/T/", names)});
    FormSearch form(state);
    query(form, "f");
    const QString pdf = app.home() + "/margins.pdf";
    print(form, pdf, {Answer::Ok, Answer::Ok});
    ASSERT_GT(pdfInfo(pdf, "Pages").toInt(), 1) << "the bottom margin is reached";

    const double margin = 20 / 25.4 * 72, slack = 0.5; // the usual 2 cm, in points
    double rightmost = 0;
    for (const PdfWord& word : pdfWords(pdf)) {
        EXPECT_GE(word.box.left(), margin - slack) << word.text.toStdString();
        EXPECT_GE(word.box.top(), margin - slack) << word.text.toStdString();
        EXPECT_LE(word.box.right(), word.page.width() - margin + slack) << word.text.toStdString();
        EXPECT_LE(word.box.bottom(), word.page.height() - margin + slack)
            << word.text.toStdString();
        rightmost = std::max(rightmost, word.box.right() - word.page.width() + margin);
    }
    EXPECT_GT(rightmost, -4) << "the long line runs to within a character of the margin";
    const QString longLine = simplified(form.results().lines()).last();
    const QString printed = pdfLines(pdf).last();
    EXPECT_TRUE(longLine.startsWith(printed) && printed.size() < longLine.size())
        << printed.toStdString();
}

TEST_F(FormSearchTest, printMenuSetsFontAndPaperAndTheSettingsKeepThem) {
    FormSearch form(state);
    // The description of the next print-out tells the font's style and the paper.
    auto described = [&] {
        app.prompt().shown.clear();
        child<QAction>(form, "Print_res")->trigger(); // Cancel
        return app.prompt().shown.at(0).text;
    };
    const QStringList styles = {"    Size=", "  Italic  Size=", "  Bold  Size=",
                                "  Bold&Italic  Size="}; // by bold * 2 + italic
    for (int style = 0; style < 4; ++style) {
        form.PrinterFont.setBold(style & 2);
        form.PrinterFont.setItalic(style & 1);
        EXPECT_TRUE(described().contains(form.PrinterFont.family() + styles[style])) << style;
    }
    auto* landscape = child<QAction>(form, "Print_Landscape");
    EXPECT_FALSE(landscape->isChecked());
    landscape->trigger();
    EXPECT_TRUE(landscape->isChecked());
    EXPECT_EQ(form.PrintOrientation, 2);
    EXPECT_TRUE(described().endsWith("  Paper=Landscape"));
    landscape->trigger();
    EXPECT_TRUE(described().endsWith("  Paper=Portrait"));
    landscape->trigger();
    const QString pdf = app.home() + "/wide.pdf";
    print(form, pdf);
    EXPECT_TRUE(pdfInfo(pdf, "Page size").startsWith("842 x 595")) << "A4 landscape";

    // The font dialog offers fixed-pitch fonts (what it sets is printed: see
    // below); the default font is size 6, plain, and keeps the name on a
    // system without "Courier New".
    whenModal([](QWidget& modal) {
        auto& dialog = dynamic_cast<QFontDialog&>(modal);
        EXPECT_EQ(dialog.windowTitle(), "Font Settings");
        EXPECT_TRUE(dialog.testOption(QFontDialog::MonospacedFonts));
        dialog.setCurrentFont(QFont("DejaVu Sans Mono", 11, QFont::Bold, true));
        dialog.accept();
    });
    child<QAction>(form, "Print_Font")->trigger();
    child<QAction>(form, "Def_Font")->trigger();
    EXPECT_EQ(form.PrinterFont.family(), courierNew().value_or("DejaVu Sans Mono"));
    EXPECT_EQ(form.PrinterFont.pointSizeF(), 6);
    EXPECT_FALSE(form.PrinterFont.bold() || form.PrinterFont.italic());

    // Landscape chosen, then the window closed: 2 is kept, the printer given
    // back in portrait.
    form.close();
    EXPECT_EQ(state.settings().get("PrnOrient", ""), "2");
    EXPECT_EQ(state.settings().get("PrnFontName", ""), form.PrinterFont.family());
    EXPECT_EQ(state.settings().get("PrnFontBold", ""), "False");
    EXPECT_EQ(form.printer().pageLayout().orientation(), QPageLayout::Portrait);

    // A stored 2 on a printer that stays portrait: unchecked and 1; choosing
    // landscape there is reported.
    FormSearch portrait(state, nullptr, std::make_unique<PortraitOnlyPrinter>());
    EXPECT_FALSE(child<QAction>(portrait, "Print_Landscape")->isChecked());
    EXPECT_EQ(portrait.PrintOrientation, 1);
    portrait.Form_Deactivate();
    EXPECT_EQ(state.settings().get("PrnOrient", ""), "1");
    app.prompt().shown.clear();
    child<QAction>(portrait, "Print_Landscape")->trigger();
    ASSERT_EQ(app.prompt().shown.size(), 2u);
    EXPECT_EQ(app.prompt().shown[1].text, "Problems found with setting Printer device !");
    EXPECT_EQ(app.prompt().shown[1].title, "Printer Setup Error");
}

TEST_F(FormSearchTest, aFontChosenInTheDialogIsTheOnePrintedAndStored) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    whenModal([](QWidget& dialog) {
        dynamic_cast<QFontDialog&>(dialog).setCurrentFont(
            QFont("DejaVu Sans Mono", 11, QFont::Bold, true));
        static_cast<QDialog&>(dialog).accept();
    });
    child<QAction>(form, "Print_Font")->trigger();
    form.activateWindow(); // as the window manager does when the dialog closes
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(form.PrinterFont.pointSizeF(), 11);
    EXPECT_TRUE(form.PrinterFont.bold() && form.PrinterFont.italic());

    const QString pdf = app.home() + "/font.pdf";
    print(form, pdf);
    EXPECT_TRUE(popplerOutput("pdffonts", {pdf}).contains("DejaVuSansMono-BoldOblique"));
    form.close();
    EXPECT_EQ(state.settings().get("PrnFontSize", ""), "11");
    EXPECT_EQ(state.settings().get("PrnFontBold", ""), "True");
    EXPECT_EQ(state.settings().get("PrnFontItalic", ""), "True");
}

} // namespace
