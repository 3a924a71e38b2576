// The search window's "&Print" menu as operations on its printer and printer
// font: the printer's description, the two questions before a print-out, the
// print-out itself, the default font and the paper orientation. Failures are
// reported in the menu's own message boxes.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QFont;
class QPrinter;

namespace orvik {

class AppState;
class Error;

// The orientation as the settings keep it: 1 portrait, 2 landscape.
int orientationOf(const QPrinter& printer);
// "PDF" for the PDF printer that stands in when no printer is installed.
QString deviceName(const QPrinter& printer);

class ResultPrinting {
public:
    ResultPrinting(QPrinter& printer, QFont& font, AppState& state)
        : m_printer(printer), m_font(font), m_state(state) {}

    // The device, font, style, size and paper, as the first question shows them.
    QString description() const;
    // Asks, then prints `heading` and `lines`. A PDF printer is given its file
    // for one print-out: the one already set, else the one `chooseFile` names
    // (empty: nothing is printed). The file is written whole or not at all,
    // and never over a catalogue, its journal or the settings file.
    void printResults(const QString& heading, const QStringList& lines,
                      const std::function<QString()>& chooseFile);
    // Size 6, plain, and "Courier New" when the printer has it.
    void setDefaultFont();
    // Puts the paper in `orientation` (1 or 2); a printer that cannot take it
    // is reported.
    void setOrientation(int orientation);

private:
    void report(const Error& error, const QString& message, const QString& title);

    QPrinter& m_printer;
    QFont& m_font;
    AppState& m_state;
};

} // namespace orvik
