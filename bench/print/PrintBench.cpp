// The print-out benchmark: a file match of 10,000 lines printed to PDF
//  - through the search window's "&Print Results", the window shown offscreen
//    and the two questions answered, against the floor of any print-out: the
//    same lines drawn one by one on a bare PDF writer;
//  - through "orvik-cli find ... --print", a whole process, against the same
//    command without --print plus the bare drawing of its lines.
// Prints the times (best of 3), the ratios and the pages of each PDF.
#include "bench/support/BenchApp.h"
#include "bench/support/BenchCatalogue.h"
#include "core/AppState.h"
#include "search/FormSearch.h"
#include "search/ResultPrintout.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace orvik;
using namespace orvik::bench;

namespace {

constexpr int Lines = 10'000;
constexpr int Repeats = 3;

double elapsedMs(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// The pages of a PDF as its page objects count them.
int pageCount(const QString& pdf) {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

// The floor: each line one drawText on a bare PDF writer, a new page when full.
void drawBare(const QString& pdf, const QFont& font, const QStringList& lines) {
    QPdfWriter writer(pdf);
    QPainter painter(&writer);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &writer);
    double y = metrics.ascent();
    for (const QString& line : lines) {
        if (y + metrics.descent() > writer.height()) {
            writer.newPage();
            y = metrics.ascent();
        }
        painter.drawText(QPointF(0, y), line);
        y += metrics.lineSpacing();
    }
}

double runCli(const QStringList& arguments, const QString& home) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORVIK_HOME"), home);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(ORVIK_CLI), arguments);
    if (!process.waitForFinished(300000) || process.exitCode() != 0)
        std::printf("orvik-cli %s failed\n", qPrintable(arguments.join(' ')));
    return elapsedMs(clock);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    BenchApp app;
    AppState& state = app.state();
    buildCatalogue(state.catalogueFile(), Lines, [](int i) {
        const bool head = i % FilesPerDirectory == 0;
        return BenchRecord{
            i == 0 ? std::optional(QStringLiteral("CD1")) : std::nullopt,
            i == 0 ? std::optional(QStringLiteral("TEN THOUSAND FILES")) : std::nullopt,
            QStringLiteral("FILE%1.DAT").arg(i, 5, 10, QLatin1Char('0')),
            QStringLiteral("2001-02-03 04:05:06"),
            head ? std::optional(QStringLiteral("/MEDIA/CD1/DIR%1/").arg(i / FilesPerDirectory))
                 : std::nullopt,
            QString::number(1000 + i),
            std::nullopt};
    });

    FormSearch form(state);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 2;
    form.Form_Activate();
    form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral(".dat."));
    form.findChild<QPushButton*>(QStringLiteral("CmdSearchFile"))->click();
    const QStringList lines = form.results().lines();
    if (lines.size() != Lines) std::printf("the find listed %lld lines\n", qlonglong(lines.size()));
    QAction* print = form.findChild<QAction*>(QStringLiteral("Print_res"));

    const QString windowPdf = app.filePath(QStringLiteral("window.pdf"));
    const QString barePdf = app.filePath(QStringLiteral("bare.pdf"));
    const QString cliPdf = app.filePath(QStringLiteral("cli.pdf"));
    const QStringList find = {QStringLiteral("find"), QStringLiteral(".dat."),
                              QStringLiteral("--catalogue"), QStringLiteral("BENCH")};
    double window = 1e300, bare = 1e300, cli = 1e300, cliFloor = 1e300;
    QElapsedTimer clock;
    for (int i = 0; i < Repeats; ++i) {
        form.printer().setOutputFileName(windowPdf);
        clock.restart();
        print->trigger();
        window = std::min(window, elapsedMs(clock));

        clock.restart();
        drawBare(barePdf, form.PrinterFont,
                 QStringList(resultsHeading(form.queries().SearchPattern, state.CatalogueName)) +
                     lines);
        bare = std::min(bare, elapsedMs(clock));

        cli = std::min(cli,
                       runCli(find + QStringList{QStringLiteral("--print"), cliPdf}, app.path()));
        cliFloor = std::min(cliFloor, runCli(find, app.path()));
    }
    std::printf("%lld lines in %s %g pt\n", qlonglong(lines.size()),
                qPrintable(form.PrinterFont.family()), form.PrinterFont.pointSizeF());
    std::printf("%-28s %9s %9s %7s %6s\n", "print-out", "ms", "floor ms", "ratio", "pages");
    std::printf("%-28s %9.0f %9.0f %7.2f %6d\n", "window \"&Print Results\"", window, bare,
                window / bare, pageCount(windowPdf));
    std::printf("%-28s %9.0f %9.0f %7.2f %6d\n", "orvik-cli find --print", cli, cliFloor + bare,
                cli / (cliFloor + bare), pageCount(cliPdf));
    std::printf("floors: the same lines drawn on a bare PDF writer (%.0f ms, %d pages); for "
                "orvik-cli that plus the same find without --print (%.0f ms)\n",
                bare, pageCount(barePdf), cliFloor);
    return 0;
}
