// The print-out of a result list: the heading line that names the search and
// the catalogue, then every line of the list, one printed line each, within
// the margins, a new page whenever one is full. Lines are never wrapped; the
// right margin cuts them. Used by the search window's printer and by its and
// orvik-cli's PDF files alike.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QPageLayout;
class QPagedPaintDevice;

namespace orvik {

namespace errors {
constexpr int PrinterError = 482;
constexpr int PrinterProperty = 483;
} // namespace errors

// "Courier New" as the printer's font list spells it, when it has it. The
// printer prints with the system's fonts, so those are its list.
std::optional<QString> courierNew();
// "Courier New" when there is one, else the system's fixed-pitch font.
QString fixedPrinterFamily();
// The printer font as the settings keep it (PrnFontName, PrnFontSize,
// PrnFontBold, PrnFontItalic); the name "XXXX" stands for fixedPrinterFamily,
// a size that is not above 0 for 6 points.
QFont printerFont(const QString& name, double size, bool bold, bool italic);

// Prints `heading` and `lines` on `device` and ends the document; returns the
// number of pages. Throws Error when the device cannot be printed on.
int printResultLines(QPagedPaintDevice& device, const QFont& font, const QString& heading,
                     const QStringList& lines);
// The same print-out as a PDF document in memory, on paper of `layout` at
// `resolution` dots per inch; `pages` gets the number of pages. Throws Error
// when it cannot be drawn.
QByteArray resultPdf(const QPageLayout& layout, int resolution, const QFont& font,
                     const QString& heading, const QStringList& lines, int& pages);

} // namespace orvik
