// "Find with Filters" in the search window: its dialog, and its lines as a
// file match's, from the current catalogue or from every one.
#include "core/AppState.h"
#include "core/Startup.h"
#include "search/FormSearch.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

using namespace orvik;
using namespace orvik::test;

namespace {

class FilterSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        settleStartup(state);
        state.Options.UseFilter = "False";
        state.Options.DisplayPaths = false;
        state.Options.SaveLengths = state.Options.SaveDates = true;
        makeFile(disc.path() + "/small.mp3", 100);
        makeFile(disc.path() + "/big.mp3", 5 * 1024 * 1024);
        makeFile(disc.path() + "/big.txt", 6 * 1024 * 1024);
        ASSERT_EQ(addTree(state, disc.path(), "Music"), VolumeAdd::Result::Finished);
    }

    // The dialog filled by `fill`, then OK, its boxes answered as given.
    void find(FormSearch& form, std::function<void(QWidget&)> fill,
              std::initializer_list<Answer> answers = {}) {
        app.prompt().queue(answers);
        whenModal([fill](QWidget& dialog) {
            fill(dialog);
            child(dialog, "CmdOK")->click();
            if (dialog.isVisible()) child(dialog, "CmdCancel")->click();
        });
        child(form, "CmdFilters")->click();
    }
    static void type(QWidget& dialog, const char* box, const QString& text) {
        child<QLineEdit>(dialog, box)->setText(text);
    }

    TestApp app;
    AppState& state = app.state();
    QTemporaryDir disc;
};

TEST_F(FilterSearchTest, itsLinesFillTheListAsAFileMatchsAndLeadToTheirRecords) {
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form)); // lists the volumes after the add
    find(form, [](QWidget& dialog) {
        type(dialog, "TextPattern", "*.mp3");
        type(dialog, "TextMinSize", "1M");
        child<QCheckBox>(dialog, "ChkHumanSizes")->setChecked(true);
    });
    ASSERT_EQ(form.results().rowCount(), 1);
    EXPECT_CONTAINS(form.results().lines()[0], "BIG.MP3");
    EXPECT_CONTAINS(form.results().lines()[0], "5.0 MB");
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(), "Search completed (1 matches)");
    child<QListView>(form, "SearchList")->setCurrentIndex(form.results().index(0));
    whenModal([](QWidget& details) {
        EXPECT_EQ(child<QLineEdit>(details, "TextFile")->text(), "BIG.MP3");
        child(details, "CmdExit")->click();
    });
    child(form, "CmdDetails")->click();

    // A plain file match afterwards has no filters.
    query(form, "big*");
    EXPECT_EQ(form.results().rowCount(), 2);
}

TEST_F(FilterSearchTest, theDialogOpensWithTheValuesItWasLastLeftWith) {
    FormSearch form(state);
    find(form, [](QWidget& dialog) {
        type(dialog, "TextPattern", "^big\\.");
        child<QCheckBox>(dialog, "ChkRegex")->setChecked(true);
        type(dialog, "TextExtensions", "mp3");
    });
    EXPECT_EQ(form.results().rowCount(), 1);
    app.restart();
    FormSearch again(app.state());
    QStringList shown;
    whenModal([&shown](QWidget& dialog) {
        shown << child<QLineEdit>(dialog, "TextPattern")->text()
              << child<QLineEdit>(dialog, "TextExtensions")->text()
              << (child<QCheckBox>(dialog, "ChkRegex")->isChecked() ? "regex" : "pattern");
        child(dialog, "CmdCancel")->click();
    });
    child(again, "CmdFilters")->click();
    EXPECT_EQ(shown, QStringList({"^big\\.", "mp3", "regex"}));
}

TEST_F(FilterSearchTest, aMistakeIsNamedAndKeepsTheDialogOpenWithNothingRun) {
    FormSearch form(state);
    form.Form_Activate(); // lists the volume
    bool stayedOpen = false;
    find(form, [&stayedOpen](QWidget& dialog) {
        type(dialog, "TextMinSize", "12Q");
        child(dialog, "CmdOK")->click();
        stayedOpen = dialog.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_FALSE(app.prompt().texts().isEmpty());
    EXPECT_CONTAINS(app.prompt().texts().constFirst(), "Length at least");
    EXPECT_EQ(form.results().lines(), QStringList({"Vol:*NO_NAME*  (MUSIC) - [KW=]"}));
}

TEST_F(FilterSearchTest, everyCataloguesLinesNameTheirOwnAndOpenInItOnceItIsMadeCurrent) {
    QTemporaryDir other;
    makeFile(other.path() + "/far.mp3", 2 * 1024 * 1024);
    state.CatalogueName = "OTHER";
    ASSERT_EQ(addTree(state, other.path(), "Elsewhere"), VolumeAdd::Result::Finished);
    state.CatalogueName = "ORVIK";
    FormSearch form(state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form)); // lists the volumes after the add
    find(form, [](QWidget& dialog) {
        type(dialog, "TextMinSize", "1M");
        type(dialog, "TextExtensions", "mp3");
        child<QCheckBox>(dialog, "ChkAllCatalogues")->setChecked(true);
    });
    const QStringList lines = form.results().lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("BIG.MP3")) << lines[0].toStdString();
    EXPECT_FALSE(lines[0].contains("[ORVIK]"));
    EXPECT_TRUE(lines[1].startsWith("FAR.MP3") && lines[1].endsWith("  [OTHER]"))
        << lines[1].toStdString();
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(),
              "Search completed (2 matches in every catalogue)");

    const QString pdf = app.home() + "/every.pdf";
    form.printer().setOutputFileName(pdf);
    app.prompt().queue({Answer::Ok});
    child<QAction>(form, "Print_res")->trigger();
    EXPECT_EQ(pdfLines(pdf), simplified({"Orvik - Results of search for ** in every catalogue"}) +
                                 simplified(lines));

    auto* list = child<QListView>(form, "SearchList");
    list->setCurrentIndex(form.results().index(1));
    app.prompt().queue({Answer::No});
    child(form, "CmdDetails")->click();
    EXPECT_EQ(state.CatalogueName, "ORVIK");
    app.prompt().queue({Answer::Yes});
    QString shown;
    whenModal([&shown](QWidget& details) {
        shown = child<QLineEdit>(details, "TextFile")->text();
        child(details, "CmdExit")->click();
    });
    child(form, "CmdDetails")->click();
    EXPECT_EQ(state.CatalogueName, "OTHER");
    EXPECT_EQ(shown, "FAR.MP3");
}

} // namespace
