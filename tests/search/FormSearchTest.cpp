#include "FormSearch.h"
#include "AppState.h"
#include "CatalogueWriter.h"
#include "OrvikWindows.h"
#include "SearchLayout.h"
#include "Startup.h"
#include "TestApp.h"
#include "engine/Recordset.h"
#include "ui/Twips.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

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
        state.DisplayPaths = true;
    }

    template <typename T> T* child(QWidget& window, const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

TEST_F(FormSearchTest, startUpWithACatalogueShowsTheSearchWindowWithItsVolumes) {
    settleStartup(state);
    OrvikWindows windows(state);
    FormSearch& search = windows.search();
    ASSERT_TRUE(search.isVisible());
    EXPECT_FALSE(reinterpret_cast<QWidget&>(windows.main()).isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search)); // activation lists the volumes
    EXPECT_EQ(search.windowTitle(), "Orvik - Search     Catalogue=ORVIK");
    EXPECT_EQ(search.results().lines(),
              QStringList({"Vol:CD1  (PHOTOS) - [KW=SUMMER]", "Vol:CD2  (MUSIC) - [KW=]"}));
    EXPECT_FALSE(state.CatalogueChanged);
    EXPECT_TRUE(search.queries().EraseEnabled);
    EXPECT_EQ(child<QLineEdit>(search, "TextMatch")->text(), "2 CDs found");
}

TEST_F(FormSearchTest, activationRelistsOrEmptiesTheListAsAutoListSays) {
    FormSearch form(state);
    form.Form_Activate();
    ASSERT_EQ(form.results().rowCount(), 2); // auto-listed: the list was empty
    child<QLineEdit>(form, "Text1")->setText("a.jpg");
    child<QPushButton>(form, "CmdSearchFile")->click();
    ASSERT_EQ(form.results().rowCount(), 1);
    form.Form_Activate(); // a filled list and no change: left alone
    EXPECT_EQ(form.results().rowCount(), 1);

    form.AutoList_Click();
    EXPECT_FALSE(state.AutoList);
    EXPECT_EQ(state.settings().get("AutoList", ""), "False");
    state.CatalogueChanged = true;
    form.Form_Activate();
    EXPECT_EQ(form.results().rowCount(), 0);
    EXPECT_FALSE(state.CatalogueChanged);
    child<QLineEdit>(form, "Text1")->clear();
    child<QPushButton>(form, "cmdSearchKeywords")->click();
    ASSERT_EQ(form.results().rowCount(), 1);
    form.Form_Activate(); // emptied once only
    EXPECT_EQ(form.results().rowCount(), 1);
}

TEST_F(FormSearchTest, fileMatchFromTheWindowTiesEachLineToItsRecord) {
    FormSearch form(state);
    form.OptDispPaths_Click();
    EXPECT_FALSE(state.DisplayPaths);
    EXPECT_EQ(state.settings().get("DisplayPaths", ""), "False");
    auto* text = child<QLineEdit>(form, "Text1");
    text->setText("jpg");
    QTest::keyClick(text, Qt::Key_Return); // the default button
    ASSERT_EQ(form.results().rowCount(), 2);
    EXPECT_TRUE(form.results().lines()[1].startsWith("B.JPG . ."));
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(), "Search completed (2 matches)");
    EXPECT_EQ(child<QPushButton>(form, "SearchExit")->text(), "Exit");
    EXPECT_FALSE(form.queries().EraseEnabled);

    auto* list = child<QListView>(form, "SearchList");
    list->setCurrentIndex(form.results().index(1));
    EXPECT_EQ(state.CurrentPosition, state.LinePositions[1]);
    state.CatalogueRecordset->setBookmark(state.CurrentPosition);
    EXPECT_EQ(state.CatalogueRecordset->Fields(engine::Field::CDFile), "B.JPG");
}

TEST_F(FormSearchTest, exitCancelsARunningQueryAndOtherwiseEndsTheProgram) {
    CatalogueWriter(state).addRun("CD3", "MANY", "", {directory("/M/", QStringList(100, "F.TXT"))});
    FormSearch form(state);
    auto* exit = child<QPushButton>(form, "SearchExit");
    // The click waits for the query to let the event loop run, after its 20th line.
    QTimer::singleShot(0, exit, [exit] {
        EXPECT_EQ(exit->text(), "Cancel");
        exit->click();
    });
    child<QLineEdit>(form, "Text1")->setText("f");
    child<QPushButton>(form, "CmdSearchFile")->click();
    EXPECT_EQ(child<QLineEdit>(form, "TextMatch")->text(),
              "Search completed (20 matches) CANCELLED BY USER");
    EXPECT_EQ(form.results().rowCount(), 20);
    EXPECT_EQ(exit->text(), "Exit");
    EXPECT_EQ(app.endings, 0);
    form.Form_Activate();
    form.SearchExit_Click();
    EXPECT_EQ(app.endings, 1);
    for (const char* key : {"SearchHeight", "SearchWidth", "SearchTop", "SearchLeft", "PrnFontName",
                            "PrnFontSize", "PrnFontBold", "PrnFontItalic", "PrnOrient"})
        EXPECT_TRUE(state.settings().contains(key)) << key;
    EXPECT_EQ(state.settings().get("PrnFontSize", ""), "6");
    EXPECT_EQ(state.settings().get("PrnOrient", ""), "1");
    EXPECT_NE(state.settings().get("PrnFontName", "XXXX"), "XXXX");
}

TEST_F(FormSearchTest, storedGeometryAndOrientationAreAppliedAtLoad) {
    state.settings().save("SearchWidth", "12000");
    state.settings().save("SearchHeight", "7500");
    state.settings().save("PrnOrient", "2");
    FormSearch form(state);
    EXPECT_NEAR(twips::fromPixelsX(form.width(), &form), 12000, 15);
    EXPECT_EQ(form.PrintOrientation, 2);
    EXPECT_EQ(form.StartOrientation, 1);
    form.Form_Unload();
    EXPECT_EQ(state.settings().get("PrnOrient", ""), "2");
    EXPECT_EQ(form.printer().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(FormSearchTest, addButtonHandsOverToTheMainWindowAndBack) {
    OrvikWindows windows(state);
    FormSearch& search = windows.search();
    QWidget& main = reinterpret_cast<QWidget&>(windows.main());
    search.show();
    main.hide();
    child<QPushButton>(search, "CmdAdd")->click();
    EXPECT_FALSE(search.isVisible());
    EXPECT_TRUE(main.isVisible());
    child<QPushButton>(main, "CmdFind")->click();
    EXPECT_TRUE(search.isVisible());
    EXPECT_FALSE(main.isVisible());

    // Both windows tell the same About message.
    child<QAction>(search, "About")->trigger();
    child<QAction>(main, "About")->trigger();
    ASSERT_EQ(app.prompt().shown.size(), 2u);
    EXPECT_TRUE(app.prompt().shown[0].text.endsWith("- Orvik v1.2.0"));
    EXPECT_EQ(app.prompt().shown[0].text, app.prompt().shown[1].text);
}

TEST(SearchLayoutRule, listStretchesFrom9000By5000Up) {
    SearchLayout layout = searchDesignLayout();
    EXPECT_FALSE(layOutSearch(layout, 9000, 4999));
    EXPECT_FALSE(layOutSearch(layout, 8999, 5000));
    EXPECT_EQ(layout.SearchList.width, searchDesignLayout().SearchList.width);
    ASSERT_TRUE(layOutSearch(layout, 9000, 5000));
    EXPECT_EQ(layout.SearchList.width, 8790);
    EXPECT_EQ(layout.SearchList.height, 3270);
    EXPECT_EQ(layout.TextMatch.top, 1230 + 3270 + 185);
    EXPECT_EQ(layout.Label1.top, layout.TextMatch.top - 200);
    EXPECT_EQ(layout.SearchExit.left + layout.SearchExit.width, 105 + 8790);
    EXPECT_EQ(layout.CmdAdd.left, 105 + layout.TextMatch.width + 100);
}

TEST_F(FormSearchTest, resizingTheWindowStretchesTheList) {
    FormSearch form(state);
    form.show();
    auto* list = child<QListView>(form, "SearchList");
    const int designWidth = list->width();
    form.resize(form.width() + 300, form.height() + 200);
    EXPECT_NEAR(list->width(), designWidth + 300, 2);
    form.resize(twips::toPixelsX(8000, &form), form.height());
    EXPECT_NEAR(list->width(), designWidth + 300, 2); // too narrow: nothing moves
}

} // namespace
