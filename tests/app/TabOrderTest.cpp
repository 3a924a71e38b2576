// Every window: Tab moves through it as its controls are seen (row by row
// from the top, each row from the left), and it shows the program's texts.
#include "app/OrvikWindows.h"
#include "catalogue/FormMain.h"
#include "core/AppState.h"
#include "core/Startup.h"
#include "details/FormViewDetails.h"
#include "help/HelpWindow.h"
#include "manage/FormSelDB.h"
#include "manage/FormViewDB.h"
#include "search/FormBrowse.h"
#include "search/FormFilters.h"
#include "search/FormSearch.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/Widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <algorithm>

using namespace orvik;
using namespace orvik::test;

namespace {

// The controls of `window` that Tab stops at, in the order of its focus chain.
std::vector<QWidget*> tabStops(QWidget& window) {
    std::vector<QWidget*> stops;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
        if (w->window() == &window && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&window))
            stops.push_back(w);
    return stops;
}

QStringList names(const std::vector<QWidget*>& controls) {
    QStringList all;
    for (const QWidget* control : controls)
        all << control->objectName();
    return all;
}

// The same controls as they are read: controls whose tops lie within half a
// line of each other form a row.
std::vector<QWidget*> readingOrder(QWidget& window) {
    std::vector<QWidget*> controls = tabStops(window);
    auto top = [&](QWidget* w) { return w->mapTo(&window, QPoint()).y(); };
    auto left = [&](QWidget* w) { return w->mapTo(&window, QPoint()).x(); };
    std::stable_sort(controls.begin(), controls.end(),
                     [&](QWidget* a, QWidget* b) { return top(a) < top(b); });
    const int halfLine = window.fontMetrics().height() / 2;
    for (auto row = controls.begin(); row != controls.end();) {
        const auto end = std::find_if(row, controls.end(),
                                      [&](QWidget* w) { return top(w) - top(*row) > halfLine; });
        std::stable_sort(row, end, [&](QWidget* a, QWidget* b) { return left(a) < left(b); });
        row = end;
    }
    return controls;
}

// Every window of the program, the details and raw windows on the first record.
class EveryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        settleStartup(state);
        CatalogueWriter(state).addRun("CD1", "PHOTOS", "", {directory("/M/", {"A.JPG"})});
        windows.main().show();
        child(search, "CmdListCD")->click(); // offers the erase too
        child<QListView>(search, "SearchList")->setCurrentIndex(search.results().index(0));
        child<QAction>(windows.main(), "hlp")->trigger();
        child<QAction>(search, "Help")->trigger();
        QWidget& main = windows.main();
        all = {&main, &search, &details, &raw, &selection, &filters};
        for (QWidget* opener : {&main, static_cast<QWidget*>(&search)})
            all.push_back(opener->findChild<HelpWindow*>());
        all.push_back(&FormBrowse::showFor(state, search));
    }

    TestApp app;
    AppState& state = app.state();
    OrvikWindows windows{state};
    FormSearch& search = windows.search();
    FormViewDetails details{state, {0, {}}, &search};
    FormViewDB raw{state, &search};
    FormSelDB selection{state, &search};
    FormFilters filters{state, {}, &search};
    std::vector<QWidget*> all;
};

TEST_F(EveryWindow, tabFollowsTheScreenTopToBottomAndLeftToRight) {
    for (QWidget* window : all) {
        window->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(names(tabStops(*window)), names(readingOrder(*window)))
            << window->objectName().toStdString();
    }
}

// The program's texts on its windows, buttons, labels, frames and menus are
// its users' words: a change to one is a change to tests/data/captions.txt.
TEST_F(EveryWindow, showsTheProgramsOwnCaptions) {
    QStringList captions;
    for (QWidget* window : all) {
        window->show(); // titles name the catalogue once shown
        QCoreApplication::processEvents();
        const QString name = window->objectName();
        captions << name + " window: " + window->windowTitle();
        // Its own controls, not those of the windows it opened; a menu is its window's.
        auto owner = [](const QObject* control) {
            for (const QObject* o = control->parent(); o; o = o->parent())
                if (const auto* w = qobject_cast<const QWidget*>(o);
                    w && w->isWindow() && !qobject_cast<const QMenu*>(w))
                    return w;
            return static_cast<const QWidget*>(nullptr);
        };
        auto add = [&](const QObject* control, const QString& text) {
            if (!text.isEmpty() && owner(control) == window)
                captions << name + " " + control->objectName() + ": " +
                                QString(text).replace('\r', "\\r").replace('\n', "\\n");
        };
        for (const QAbstractButton* control : window->findChildren<QAbstractButton*>())
            add(control, control->text());
        for (const QLabel* control : window->findChildren<QLabel*>())
            add(control, control->text());
        for (const QGroupBox* control : window->findChildren<QGroupBox*>())
            add(control, control->title());
        for (const QAction* control : window->findChildren<QAction*>())
            add(control, control->text());
    }
    QFile pinned(QStringLiteral(ORVIK_TEST_DATA) + "/captions.txt");
    ASSERT_TRUE(pinned.open(QIODevice::ReadOnly));
    EXPECT_EQ(captions, QString::fromUtf8(pinned.readAll()).split('\n', Qt::SkipEmptyParts));
}

} // namespace
