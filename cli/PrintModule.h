// orvik-cli's print module: the print-out as a PDF, with the GUI library it
// needs. orvik-cli loads it only for --print, so its other commands start
// without QtGui and its dependencies. The two sides share Qt's core library,
// so they hand each other Qt values; no exception crosses between them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace orvik::cli {

// What is printed, and in what, as the settings keep it.
struct PdfPrintout {
    QString fontName;
    double fontSize = 6;
    bool bold = false;
    bool italic = false;
    bool landscape = false;
    QString heading;
    QStringList lines;
};

// The PDF document and its pages, or the failure's number and description.
struct PdfResult {
    QByteArray pdf;
    int pages = 0;
    int errorNumber = 0;
    QString errorDescription;
};

// The module's file: beside orvik-cli in the build, in ORVIK_PRINT_MODULE_DIR
// (relative to orvik-cli's folder) when installed.
inline constexpr char PrintModuleFile[] = "orvik-cli-print.so";

} // namespace orvik::cli

extern "C" {
// The application a print-out needs: fonts, but no screen, whatever display
// the terminal has or lacks.
QCoreApplication* orvik_print_application(int& argc, char** argv);
// The search window's print-out of `printout` on A4 at its PDF printer's
// resolution.
void orvik_print_pdf(const orvik::cli::PdfPrintout& printout, orvik::cli::PdfResult& result);
}
