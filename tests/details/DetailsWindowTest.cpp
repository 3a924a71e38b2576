// The details window on catalogues made by real adds: the moves through files,
// directories, volume runs and search lines, the directory lists, the edits
// and the launch.
#include "core/engine/Recordset.h"
#include "core/platform/DesktopShell.h"
#include "details/FormViewDetails.h"
#include "search/CatalogueOpening.h"
#include "tests/support/Archives.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"
#include "tests/support/Widgets.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <array>

using namespace orvik;
using namespace orvik::test;
using engine::Field;

namespace {

// Takes what the desktop would have opened.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class DetailsWindowTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    QTemporaryDir discs;
    std::vector<engine::Row> records;
    std::unique_ptr<FormViewDetails> window;

    // Record 0 heads CD1's root (two files), then its SUB (three files);
    // CD2's root (two files), then X: one file, the catalogue's last record.
    void SetUp() override {
        state.Options.SaveDates = state.Options.SaveLengths = true;
        for (const char* name : {"cd1/A.jpg", "cd1/B.jpg", "cd1/SUB/C.txt", "cd1/SUB/D.txt",
                                 "cd1/SUB/E.txt", "cd2/R.mp3", "cd2/S.mp3", "cd2/X/T.mp3"})
            makeFile(discs.path() + '/' + name, 7, 1000000000);
        for (const auto& [disc, label, description, keywords] :
             {std::array<QString, 4>{"cd1", "CD1", "photos", "summer"},
              {"cd2", "CD2", "music", ""}}) {
            const QString top = discs.path() + '/' + disc;
            app.drives().types.insert(top, DriveCdRom);
            app.drives().labels.insert(top, label);
            ASSERT_EQ(addTree(state, top, description, keywords), VolumeAdd::Result::Finished);
        }
        openCurrentCatalogue(state);
        reread();
    }
    void reread() { records = readCatalogue(state.catalogueFile()); }
    std::optional<QString> field(int record, Field f) { return records[size_t(record)][size_t(f)]; }
    QString name(int record) { return *field(record, Field::CDFile); }
    static QString at(int record) { return QString::number(record + 1); }

    void open(int record, SearchListLines lines = {0, {}}) {
        state.CurrentPosition = at(record);
        window = std::make_unique<FormViewDetails>(state, lines);
        window->show();
    }
    QString box(const char* name) { return child<QLineEdit>(*window, name)->text(); }
    void type(const char* name, const QString& text) {
        child<QLineEdit>(*window, name)->setText(text);
    }
    void click(const char* button) { child(*window, button)->click(); }
    // The record the window shows, by its file name and its position.
    void expectShown(int record, int line) {
        EXPECT_EQ(box("TextFile"), name(record)) << "line " << line;
        EXPECT_EQ(state.CurrentPosition, at(record)) << "line " << line;
        EXPECT_EQ(state.CatalogueRecordset->Bookmark(), at(record)) << "line " << line;
    }
    QStringList listed(const char* list) { return rows(*child<QListView>(*window, list)); }
    int currentRow(const char* list) {
        return child<QListView>(*window, list)->currentIndex().row();
    }
    void clickRow(const char* list, int row) {
        auto* view = child<QListView>(*window, list);
        const QModelIndex index = view->model()->index(row, view->modelColumn());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QCoreApplication::processEvents();
    }
};

TEST_F(DetailsWindowTest, showsTheRecordWithItsOwnersAndMovesByFileDirectoryVolumeAndSearchLine) {
    open(3);
    expectShown(3, __LINE__);
    QStringList boxes;
    for (const char* name :
         {"TextPath", "TextVol", "TextDesc", "TextKey", "TextLen", "TextDate", "TextDBName"})
        boxes << box(name);
    EXPECT_EQ(boxes, QStringList({*field(2, Field::CDPath), "CD1", "PHOTOS", "SUMMER", "7",
                                  formatFileDate(1000000000), "Orvik.mdb"}));

    // From inside a directory "Dir >" reaches the next head, never its own.
    click("CmdNextPath"), expectShown(5, __LINE__);
    click("CmdNextPath"), expectShown(7, __LINE__);
    click("CmdNextPath"), expectShown(7, __LINE__); // no later directory
    click("CmdNextVol"), expectShown(7, __LINE__);  // no later volume
    click("cmdPrevVol"), expectShown(5, __LINE__);
    click("cmdPrevVol"), expectShown(0, __LINE__);
    click("cmdPrevVol"), expectShown(0, __LINE__); // nothing before the first
    click("cmdPrevPath"), expectShown(0, __LINE__);

    open(3);
    click("cmdPrevPath"), expectShown(2, __LINE__); // its own head first
    click("cmdPrevPath"), expectShown(0, __LINE__); // then the previous one
    click("CmdPrevFile"), expectShown(0, __LINE__);
    click("CmdNextFile"), expectShown(1, __LINE__);
    click("CmdEnd"), expectShown(7, __LINE__);
    click("CmdNextFile"), expectShown(7, __LINE__);
    click("CmdPrevFile"), expectShown(6, __LINE__);
    click("CmdStart"), expectShown(0, __LINE__);

    // A "Vol >" that found nothing leaves NoMatch set: the next "Dir >" only
    // leaves the head and comes back, until a find succeeds again.
    click("CmdNextVol"), expectShown(5, __LINE__);
    click("CmdNextVol"), expectShown(5, __LINE__);
    click("CmdNextPath"), expectShown(5, __LINE__);
    click("CmdNextFile"), expectShown(6, __LINE__); // its lookup finds the head
    click("CmdNextPath"), expectShown(7, __LINE__);

    // The match moves follow the search lines and stop at both ends.
    open(4, {1, {at(1), at(4), at(7)}});
    EXPECT_EQ(window->CurrentIndex, 1);
    click("CmdNextMatch"), expectShown(7, __LINE__);
    click("CmdNextMatch"), expectShown(7, __LINE__);
    click("CmdStart"), expectShown(0, __LINE__);
    click("CmdCurrent"), expectShown(7, __LINE__);
    click("CmdPrevMatch"), click("CmdPrevMatch"), expectShown(1, __LINE__);
    click("CmdPrevMatch"), expectShown(1, __LINE__);
    EXPECT_EQ(window->CurrentIndex, 0);
}

TEST_F(DetailsWindowTest, listsTheDirectoryOfTheRecordAndMovesToAClickedRow) {
    open(3);
    const QStringList sub = {name(2), name(3), name(4)};
    EXPECT_EQ(listed("Listfiles"), sub);
    EXPECT_EQ(listed("ListSize"), QStringList({"7", "7", "7"}));
    EXPECT_EQ(listed("ListDate"), QStringList(3, formatFileDate(1000000000)));
    for (const char* list : {"Listfiles", "ListDate", "ListSize"})
        EXPECT_EQ(currentRow(list), 1) << list;

    open(2);
    clickRow("Listfiles", 2), expectShown(4, __LINE__); // two rows down: two records on
    clickRow("Listfiles", 2), expectShown(4, __LINE__);
    clickRow("ListSize", 0), expectShown(2, __LINE__);
    clickRow("ListDate", 1), expectShown(3, __LINE__);
    EXPECT_EQ(currentRow("Listfiles"), 1);

    open(6);
    EXPECT_EQ(listed("Listfiles"), QStringList({name(5), name(6)})); // up to the next head
    open(7);
    EXPECT_EQ(listed("Listfiles"), QStringList({name(7)})); // a lone head, the last directory
}

TEST_F(DetailsWindowTest, walksIntoAndOutOfAnArchivesDirectories) {
    if (const QString tool = missingTool({"zip"}); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    const QString content = discs.path() + "/content", top = discs.path() + "/cd3";
    makeFile(content + "/readme.txt", 10, 1000000000);
    makeFile(content + "/MAPS/e1m1.bsp", 1000, 1000000000);
    makeFile(content + "/MAPS/e1m2.bsp", 2000, 1000000000);
    QDir().mkpath(top);
    runTool({"zip", "-qrX", top + "/quake.zip", "."}, content);
    makeFile(top + "/x/last.txt", 7);
    app.drives().types.insert(top, DriveCdRom);
    state.Options.LookInArchives = true;
    ASSERT_EQ(addTree(state, top, "games"), VolumeAdd::Result::Finished);
    openCurrentCatalogue(state);
    reread();
    ASSERT_EQ(records.size(), 13u);
    const QString archive = top.toUpper() + "/QUAKE.ZIP/";

    open(8);
    click("CmdNextPath"), expectShown(9, __LINE__);
    EXPECT_EQ(box("TextPath"), archive);
    EXPECT_EQ(box("TextLen"), "10");
    click("CmdNextPath"), expectShown(10, __LINE__);
    EXPECT_EQ(box("TextPath"), archive + "MAPS/");
    QStringList maps = listed("Listfiles");
    maps.sort();
    EXPECT_EQ(maps, QStringList({"E1M1.BSP", "E1M2.BSP"}));
    click("CmdNextPath"), expectShown(12, __LINE__);
    EXPECT_EQ(box("TextPath"), top.toUpper() + "/X/");
    click("cmdPrevPath"), expectShown(10, __LINE__);
    click("cmdPrevPath"), expectShown(9, __LINE__);
    click("cmdPrevPath"), expectShown(8, __LINE__);
    EXPECT_EQ(box("TextPath"), top.toUpper() + "/");
}

TEST_F(DetailsWindowTest, keywordsAndDescriptionsAreStoredInCapitalsWithTheVolumeWarning) {
    const QString warning = "Warning: This Keyword entry is for the whole Volume";
    open(3);
    type("TextKey", "beach");
    click("CmdAddKw");
    EXPECT_TRUE(app.prompt().shown.empty()); // not a run's first record
    type("TextKey", "");
    click("CmdAddKw");
    reread();
    EXPECT_EQ(field(3, Field::CDKeywords), std::nullopt);
    EXPECT_EQ(box("TextKey"), "SUMMER"); // the run's keywords again

    open(0);
    click("CmdAddKw"); // unchanged: stored again without a warning
    EXPECT_TRUE(app.prompt().shown.empty());
    type("TextKey", "winter");
    app.prompt().queue({Answer::Cancel});
    click("CmdAddKw");
    EXPECT_EQ(app.prompt().texts(), QStringList({warning}));
    EXPECT_EQ(box("TextKey"), "SUMMER"); // refreshed from the catalogue
    type("TextKey", "winter");
    app.prompt().queue({Answer::Ok});
    click("CmdAddKw");
    reread();
    EXPECT_EQ(field(0, Field::CDKeywords), "WINTER");

    open(3);
    type("TextDesc", "");
    click("CmdChangeDesc");
    EXPECT_EQ(app.prompt().texts().last(), "Sorry you cannot delete a description!");
    type("TextDesc", "holiday photos");
    click("CmdChangeDesc");
    reread();
    EXPECT_EQ(field(0, Field::CDDescription), "HOLIDAY PHOTOS"); // the run's first record
    EXPECT_EQ(field(3, Field::CDDescription), std::nullopt);
    EXPECT_EQ(box("TextDesc"), "HOLIDAY PHOTOS");
    expectShown(3, __LINE__);

    // Keywords typed in the raw table show here on the way back.
    whenModal([](QWidget& raw) {
        QTest::keyClicks(child<QLineEdit>(raw, "Textk"), "raw"); // typed by the user
        child(raw, "CommandExit")->click();
    });
    click("CmdViewDB");
    EXPECT_EQ(box("TextKey"), "RAW");
    expectShown(3, __LINE__);
}

TEST_F(DetailsWindowTest, anEditRefusedByAnotherProgramsLockIsToldAndChangesNothing) {
    QProcess holder;
    holder.start(HOLD_CATALOGUE, {state.catalogueFile()});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    openCurrentCatalogue(state);
    state.CatalogueDatabase->setBusyTimeout(100); // rather than wait the full 5 s for the lock
    open(3);
    type("TextKey", "locked out");
    click("CmdAddKw");
    holder.kill();
    holder.waitForFinished();
    ASSERT_EQ(app.prompt().shown.size(), 1u);
    EXPECT_TRUE(app.prompt().texts()[0].startsWith("Error 5 - Another program is using"));
    reread();
    EXPECT_EQ(field(3, Field::CDKeywords), std::nullopt);
    EXPECT_EQ(box("TextKey"), "SUMMER");
    click("CmdNextFile"), expectShown(4, __LINE__); // the window goes on working
}

TEST_F(DetailsWindowTest, launchesTheFileFoundWithoutRegardToCaseAndTellsWhatFailed) {
    open(0);
    click("cmdShell");
    const QString real = discs.path() + "/cd1/" + (name(0) == "A.JPG" ? "A.jpg" : "B.jpg");
    EXPECT_EQ(app.shell().opened, QStringList({*field(0, Field::CDPath) + name(0)}));
    EXPECT_TRUE(app.prompt().shown.empty());
    app.shell().result = 31;
    click("cmdShell");
    app.shell().result = 26;
    click("cmdShell");
    EXPECT_EQ(app.prompt().texts(),
              QStringList({" Error 31 - No association exists for this file ", " Error 26"}));
    ASSERT_TRUE(QFile::remove(real));
    click("cmdShell");
    EXPECT_EQ(app.prompt().texts().last(), "Please insert correct CD and try again");
    EXPECT_EQ(app.shell().opened.size(), 3);

    // The desktop shell opens the file under its real name.
    UrlCatcher desktop;
    QDesktopServices::setUrlHandler("file", &desktop, "open");
    DesktopShell shell;
    const QString root = *field(0, Field::CDPath);
    EXPECT_GT(shell.open(root + name(1), root), 32);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(desktop.urls[0].toLocalFile(),
              discs.path() + "/cd1/" + (name(1) == "A.JPG" ? "A.jpg" : "B.jpg"));
}

} // namespace

#include "DetailsWindowTest.moc"
