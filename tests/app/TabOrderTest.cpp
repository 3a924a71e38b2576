// Tab moves through every window as its controls are seen: row by row from
// the top, each row from the left.
#include "app/OrvikWindows.h"
#include "catalogue/FormMain.h"
#include "core/AppState.h"
#include "core/Startup.h"
#include "details/FormViewDetails.h"
#include "help/HelpWindow.h"
#include "manage/FormSelDB.h"
#include "manage/FormViewDB.h"
#include "search/FormSearch.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QCoreApplication>
#include <QListView>
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

TEST(TabOrder, followsTheScreenTopToBottomAndLeftToRightInEveryWindow) {
    TestApp app;
    AppState& state = app.state();
    settleStartup(state);
    CatalogueWriter(state).addRun("CD1", "PHOTOS", "", {directory("/M/", {"A.JPG"})});
    OrvikWindows windows(state);
    FormSearch& search = windows.search();
    QWidget& main = windows.main();
    main.show();
    child(search, "CmdListCD")->click(); // offers the erase too
    child<QListView>(search, "SearchList")->setCurrentIndex(search.results().index(0));
    FormViewDetails details(state, {0, {}}, &search);
    FormViewDB raw(state, &search);
    FormSelDB selection(state, &search);
    child<QAction>(main, "hlp")->trigger();
    child<QAction>(search, "Help")->trigger();
    std::vector<QWidget*> all = {&main, &search, &details, &raw, &selection};
    for (QWidget* opener : {&main, static_cast<QWidget*>(&search)})
        all.push_back(opener->findChild<HelpWindow*>());

    for (QWidget* window : all) {
        window->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(names(tabStops(*window)), names(readingOrder(*window)))
            << window->objectName().toStdString();
    }
}

} // namespace
