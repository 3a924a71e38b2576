// The search window benchmark: the file match run through the real FormSearch,
// shown offscreen, against the same query with a plain sink and no window, on
// the benchmarks' catalogue of 1,000,000 records, for 10,000 and 100,000
// matching lines. Also counts what the list painted while the query ran.
//
// With --million it also lists all 1,000,000 records.
//
// Goal: 100,000 lines listed through the window in at most 1.3 times the time
// of the query without a window, with lines on screen while it runs.
#include "bench/support/BenchApp.h"
#include "bench/support/BenchCatalogue.h"
#include "core/AppState.h"
#include "core/Progress.h"
#include "core/ui/Twips.h"
#include "search/FormSearch.h"
#include "search/SearchQueries.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace orvik;
using namespace orvik::bench;

namespace {

constexpr int Repeats = 3; // best of

// Keeps the lines, as the window's model does, and nothing else.
struct PlainSink : ResultSink {
    QStringList lines;
    void clear() override { lines.clear(); }
    void append(const QString& line, const ResolvedRecord&) override { lines.append(line); }
};

// Paints the list as the default delegate does and notes, while the query
// runs, the frames that showed lines.
class WatchingDelegate : public QStyledItemDelegate {
public:
    WatchingDelegate(FormSearch& form, QListView& view)
        : QStyledItemDelegate(&view), m_form(form), m_view(view) {
        view.viewport()->installEventFilter(this);
    }
    void start() {
        seen = {};
        m_clock.start();
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!m_form.queries().Busy) return;
        if (m_inFrame++ == 0) {
            ++seen.frames;
            seen.listedAtLastFrame = m_view.model()->rowCount();
            if (seen.firstLineMs < 0) seen.firstLineMs = double(m_clock.nsecsElapsed()) / 1e6;
        }
        seen.fullestFrame = std::max(seen.fullestFrame, m_inFrame);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) m_inFrame = 0;
        return false;
    }

    struct Seen {
        int frames = 0, fullestFrame = 0, listedAtLastFrame = 0;
        double firstLineMs = -1;
    };
    mutable Seen seen;

private:
    FormSearch& m_form;
    QListView& m_view;
    mutable int m_inFrame = 0;
    QElapsedTimer m_clock;
};

double elapsedMs(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    BenchApp app;
    AppState& state = app.state();

    QElapsedTimer clock;
    clock.start();
    buildCatalogue(state.catalogueFile());
    std::printf("catalogue of %d records built in %.0f ms\n", Records, elapsedMs(clock));

    FormSearch form(state);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 2;
    auto* list = form.findChild<QListView*>(QStringLiteral("SearchList"));
    auto* text = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* find = form.findChild<QPushButton*>(QStringLiteral("CmdSearchFile"));
    auto* watch = new WatchingDelegate(form, *list);
    list->setItemDelegate(watch);
    const QueryWidth width =
        QueryWidth::window(twips::fromPixelsX(form.frameGeometry().width(), &form));

    PlainSink sink;
    SilentProgress silent;
    SearchQueries bare(state, sink, silent);

    std::printf("%-10s %8s %11s %8s %11s %7s | while running: %6s %6s %8s %9s\n", "lines",
                "no win ms", "lines/s", "win ms", "lines/s", "ratio", "frames", "shown", "listed",
                "first ms");
    // "*01.DAT" and "*1.DAT" list about 10,000 and 100,000 records; a lone "."
    // lists all of them.
    QStringList typedTexts = {QStringLiteral("01.dat."), QStringLiteral("1.dat.")};
    if (qApp->arguments().contains(QStringLiteral("--million")))
        typedTexts.append(QStringLiteral("."));
    for (const QString& typed : typedTexts) {
        double floor = 1e300, shown = 1e300;
        qsizetype floorLines = 0, windowLines = 0;
        WatchingDelegate::Seen seen;
        for (int i = 0; i < Repeats; ++i) {
            clock.restart();
            bare.startFileSearch(typed);
            bare.Query_MyFindFile(width);
            floor = std::min(floor, elapsedMs(clock));
            floorLines = sink.lines.size();

            text->setText(typed);
            watch->start();
            clock.restart();
            find->click();
            QCoreApplication::processEvents(); // the last lines reach the screen
            const double ms = elapsedMs(clock);
            if (ms < shown) {
                shown = ms;
                seen = watch->seen;
            }
            windowLines = form.results().rowCount();
        }
        if (floorLines != windowLines)
            std::printf("lines differ: %lld without window, %lld in the window\n",
                        qlonglong(floorLines), qlonglong(windowLines));
        std::printf("%-10lld %8.0f %11.0f %8.0f %11.0f %7.2f | %22d %6d %8d %9.0f\n",
                    qlonglong(windowLines), floor, double(floorLines) / floor * 1000, shown,
                    double(windowLines) / shown * 1000, shown / floor, seen.frames,
                    seen.fullestFrame, seen.listedAtLastFrame, seen.firstLineMs);
    }
    std::printf("frames: list paints that showed lines while the query ran; shown: lines in "
                "the fullest; listed: the list's lines at the last; first ms: first line on "
                "screen after the click\n");
    return 0;
}
