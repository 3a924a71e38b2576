#include "cli/PrintModule.h"

#include "core/Error.h"
#include "search/ResultPrintout.h"

#include <QGuiApplication>
#include <QPageLayout>

using namespace orvik;

QCoreApplication* orvik_print_application(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
}

void orvik_print_pdf(const cli::PdfPrintout& printout, cli::PdfResult& result) {
    try {
        const QPageLayout paper(QPageSize(QPageSize::A4),
                                printout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                QMarginsF());
        const QFont font =
            printerFont(printout.fontName, printout.fontSize, printout.bold, printout.italic);
        result.pdf = resultPdf(paper, 1200, font, printout.heading, printout.lines, result.pages);
    } catch (const Error& error) {
        result.errorNumber = error.number();
        result.errorDescription = error.description();
    }
}
