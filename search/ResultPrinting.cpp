#include "search/ResultPrinting.h"

#include "core/AppState.h"
#include "core/Error.h"
#include "core/KeptFiles.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "core/platform/WholeFile.h"
#include "search/ResultPrintout.h"

#include <QFont>
#include <QPageLayout>
#include <QPrinter>

namespace orvik {

namespace {
constexpr qsizetype LinesWithoutWarning = 50;

QString styleText(const QFont& font) {
    if (font.bold())
        return font.italic() ? QStringLiteral("  Bold&Italic") : QStringLiteral("  Bold");
    return font.italic() ? QStringLiteral("  Italic") : QStringLiteral("  ");
}
} // namespace

int orientationOf(const QPrinter& printer) {
    return printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

QString deviceName(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? QStringLiteral("PDF")
                                                         : printer.printerName();
}

QString ResultPrinting::description() const {
    return deviceName(m_printer) + QStringLiteral("\n\n Font=") + m_font.family() +
           styleText(m_font) + QStringLiteral("  Size=") +
           Settings::numberText(m_font.pointSizeF()) +
           (orientationOf(m_printer) == 2 ? QStringLiteral("  Paper=Landscape")
                                          : QStringLiteral("  Paper=Portrait"));
}

void ResultPrinting::printResults(const QString& heading, const QStringList& lines,
                                  const std::function<QString()>& chooseFile) {
    if (m_state.prompt().ask(QStringLiteral("Print search results to printer: ") + description(),
                             Buttons::OkCancel, Icon::None,
                             QStringLiteral("Printing ...")) != Answer::Ok)
        return;
    if (lines.size() > LinesWithoutWarning &&
        m_state.prompt().ask(QStringLiteral("Do you really want to print all ") +
                                 QString::number(lines.size()) + QStringLiteral(" lines?"),
                             Buttons::OkCancel, Icon::None,
                             QStringLiteral("Print warning")) != Answer::Ok)
        return;
    const bool toFile = m_printer.outputFormat() == QPrinter::PdfFormat;
    QString file = m_printer.outputFileName();
    if (toFile && file.isEmpty()) {
        file = chooseFile ? chooseFile() : QString();
        if (file.isEmpty()) return;
    }
    try {
        if (toFile) {
            // Written whole or not at all, and never over a file the program keeps.
            refuseKeptFile(m_state.appFolder(), m_state.settings().file(), file);
            int pages = 0;
            writeWholeFile(file, resultPdf(m_printer.pageLayout(), m_printer.resolution(), m_font,
                                           heading, lines, pages));
        } else {
            printResultLines(m_printer, m_font, heading, lines);
        }
    } catch (const Error& error) {
        report(error, QStringLiteral("Problems found with printing!"),
               QStringLiteral("Print Error"));
    }
    // The next print-out asks for its file again rather than overwrite this one.
    if (toFile) m_printer.setOutputFileName(QString());
}

void ResultPrinting::setDefaultFont() {
    try {
        m_font.setPointSizeF(6);
        m_font.setItalic(false);
        m_font.setBold(false);
        if (const auto courier = courierNew()) m_font.setFamily(*courier);
    } catch (const Error& error) {
        report(error, QStringLiteral("Problems found with setting Fonts for Printer!"),
               QStringLiteral("Print Font Error"));
    }
}

void ResultPrinting::setOrientation(int orientation) {
    try {
        const auto wanted = orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
        if (!m_printer.setPageOrientation(wanted))
            throw Error(errors::PrinterProperty,
                        QStringLiteral("Printer driver does not support specified property"));
    } catch (const Error& error) {
        report(error, QStringLiteral("Problems found with setting Printer device !"),
               QStringLiteral("Printer Setup Error"));
    }
}

void ResultPrinting::report(const Error& error, const QString& message, const QString& title) {
    m_state.prompt().tell(error.message(), Icon::Exclamation);
    m_state.prompt().tell(message, Icon::Exclamation, title);
}

} // namespace orvik
