// The help windows as the two main windows open them: their fixed text, its
// place, and a second opening or focus that adds nothing.
#include "app/OrvikWindows.h"
#include "catalogue/FormMain.h"
#include "core/Startup.h"
#include "core/ui/Twips.h"
#include "help/FormHelp.h"
#include "help/FormHelpSearch.h"
#include "search/FormSearch.h"
#include "tests/support/TestApp.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using namespace orvik;
using namespace orvik::test;

namespace {

// The rows of `list` whose text is cut: at the viewport's sides or at the row's edges.
QStringList rowsCut(const QListWidget& list) {
    const QFontMetrics metrics(list.font());
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    QStringList cut;
    for (int row = 0; row < list.count(); ++row) {
        const QRect shown = list.visualItemRect(list.item(row));
        const QRect text = shown.adjusted(margin, 0, -margin, 0);
        const QString line = list.item(row)->text();
        const QRect needed = metrics.boundingRect(QRect(text.topLeft(), QSize(text.width(), 10000)),
                                                  Qt::AlignLeft | Qt::TextWordWrap, line);
        if (shown.left() < 0 || shown.right() >= list.viewport()->width() ||
            needed.width() > text.width() || needed.height() > shown.height())
            cut << line;
    }
    return cut;
}

// Opens the help window of `opener`'s menu item `item`, laid out.
HelpWindow& openHelp(QWidget& opener, const char* item) {
    opener.findChild<QAction*>(item)->trigger();
    HelpWindow& help = *opener.findChild<HelpWindow*>();
    help.findChild<QListWidget*>("ListHelp")->doItemsLayout();
    return help;
}

TEST(HelpWindows, theHelpMenusShowTheirTextOnceAtTheCentreWithoutBlocking) {
    TestApp app;
    settleStartup(app.state());
    OrvikWindows windows(app.state());
    QWidget& search = windows.search();
    QWidget& main = reinterpret_cast<QWidget&>(windows.main());
    const struct {
        QWidget& opener;
        const char* item;
        const char* tip;
        int lines;
        int row;
        const char* line; // with its leading blanks or backslashes
    } cases[] = {
        {main, "hlp", "Orvik has useful ToolTips", 25, 8,
         "   typically the root of your CD drive (default). The Status box shows the directory "
         "chosen."},
        {search, "Help", "", 28, 5,
         "      one file for each path such as 'WINDOWS\\FRED.BMP' and 'WINDOWS\\TEMP\\123.TMP'."}};
    for (const auto& c : cases) {
        QAction* item = c.opener.findChild<QAction*>(c.item);
        item->trigger();
        item->trigger();
        const QList<HelpWindow*> open = c.opener.findChildren<HelpWindow*>();
        ASSERT_EQ(open.size(), 1) << c.item;
        HelpWindow& help = *open[0];
        EXPECT_TRUE(help.isVisible());
        EXPECT_FALSE(help.isModal());
        EXPECT_EQ(help.pos(), QPoint(twips::toPixelsX(app.state().CentreLeft, &help),
                                     twips::toPixelsY(app.state().CentreTop, &help)));
        auto* list = help.findChild<QListWidget*>("ListHelp");
        EXPECT_EQ(list->toolTip(), c.tip);
        EXPECT_EQ(list->palette().color(QPalette::Text), QColor(0, 0, 255));
        const QStringList lines = rows(*list);
        EXPECT_EQ(lines.size(), c.lines) << c.item;
        EXPECT_EQ(lines.value(c.row), c.line);
    }

    // The search help is filled again at each focus, and "&Done" unloads it.
    auto* help = search.findChild<FormHelpSearch*>();
    auto* list = help->findChild<QListWidget*>("ListHelp");
    list->item(0)->setText("changed");
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    list->clearFocus();
    list->setFocus();
    EXPECT_EQ(rows(*list).value(0), "A listing of all Volumes in the current catalogue is shown "
                                    "on entry (if option is enabled).");
    EXPECT_EQ(rows(*list).value(18), QString(24, ' ') + "line length so that you can see the CD "
                                                        "Description on printouts.");
    help->findChild<QPushButton*>("CommandExit")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(search.findChildren<HelpWindow*>().isEmpty());
}

TEST(HelpWindows, showEveryLineWholeWrappingItWhenTheWindowIsNarrowed) {
    TestApp app;
    settleStartup(app.state());
    OrvikWindows windows(app.state());
    const std::pair<QWidget*, const char*> menus[] = {{&windows.main(), "hlp"},
                                                      {&windows.search(), "Help"}};
    for (const auto& [opener, item] : menus) {
        HelpWindow& help = openHelp(*opener, item);
        auto& list = *help.findChild<QListWidget*>("ListHelp");
        EXPECT_EQ(rowsCut(list), QStringList()) << item;
        EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0) << item;
        EXPECT_EQ(list.verticalScrollBar()->maximum(), 0) << item << ": every row in sight";

        help.resize(help.width() / 2, help.height());
        list.doItemsLayout();
        EXPECT_EQ(rowsCut(list), QStringList()) << item;
        EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0) << item;
    }
}

TEST(HelpWindows, escapeClosesAHelpWindow) {
    TestApp app;
    settleStartup(app.state());
    OrvikWindows windows(app.state());
    HelpWindow& help = openHelp(windows.search(), "Help");
    QTest::keyClick(help.findChild<QListWidget*>("ListHelp"), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows.search().findChildren<HelpWindow*>().isEmpty());
}

} // namespace
