// The details window benchmark: the real FormViewDetails, shown offscreen, on
// a record in the middle of a directory of 50,000 files, against its floor:
// reading the same 50,000 records through the recordset, as any listing must.
// Also "File >" inside that directory, which lists it again.
//
// Goal: the window opens and moves in a small multiple of the floor; it never
// makes a widget item per file.
#include "bench/support/BenchApp.h"
#include "bench/support/BenchCatalogue.h"
#include "core/AppState.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"
#include "details/FormViewDetails.h"
#include "search/CatalogueOpening.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace orvik;
using namespace orvik::bench;

namespace {

constexpr int Repeats = 5; // best of
constexpr int BigDirectory = 50'000;
constexpr int Before = 10; // a small directory ahead of the big one, another after it
constexpr int Count = Before + BigDirectory + Before;
constexpr int Middle = Before + BigDirectory / 2;

BenchRecord record(int i) {
    const bool directoryHead = i == 0 || i == Before || i == Before + BigDirectory;
    BenchRecord r;
    if (i == 0) r.volume = QStringLiteral("BIG"), r.description = QStringLiteral("ONE LARGE DIR");
    r.file = QStringLiteral("FILE%1.DAT").arg(i);
    r.date = QStringLiteral("2001-02-03 04:05:06");
    if (directoryHead) r.path = QStringLiteral("/MEDIA/BIG/DIR%1/").arg(i);
    r.length = QString::number(1000 + i);
    return r;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    BenchApp app;
    AppState& state = app.state();
    buildCatalogue(state.catalogueFile(), Count, record);
    openCurrentCatalogue(state);
    engine::Recordset& rs = *state.CatalogueRecordset;
    const QString middle = QString::number(Middle + 1);

    // The floor: the directory's records read one after another.
    const double floor = bestOfMs(
        [&] {
            engine::ReadHold hold(*rs.database());
            rs.setBookmark(QString::number(Before + 1));
            qsizetype characters = 0;
            for (int i = 0; i < BigDirectory; ++i, rs.MoveNext())
                characters += rs.Fields(engine::Field::CDFile)->size();
            if (characters == 0) std::printf("nothing read\n");
        },
        Repeats);

    int listed = 0;
    const double open = bestOfMs(
        [&] {
            state.CurrentPosition = middle;
            FormViewDetails window(state, {0, {}});
            window.show();
            if (!QTest::qWaitForWindowExposed(&window)) std::printf("window not shown\n");
            QCoreApplication::processEvents(); // the lists are painted
            listed = window.files().rowCount();
        },
        Repeats);

    state.CurrentPosition = middle;
    FormViewDetails window(state, {0, {}});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 2;
    auto* next = window.findChild<QPushButton*>(QStringLiteral("CmdNextFile"));
    const double step = bestOfMs(
        [&] {
            next->click();
            QCoreApplication::processEvents();
        },
        Repeats);
    const QString shown = window.findChild<QLineEdit*>(QStringLiteral("TextFile"))->text();

    std::printf("directory of %d files (%d listed); floor: its records read in %.1f ms\n",
                BigDirectory, listed, floor);
    std::printf("%-28s %9s %7s\n", "", "ms", "ratio");
    std::printf("%-28s %9.1f %7.2f\n", "open the details window", open, open / floor);
    std::printf("%-28s %9.1f %7.2f   (now on %s)\n", "\"File >\" inside it", step, step / floor,
                qPrintable(shown));
    return 0;
}
