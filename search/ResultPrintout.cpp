#include "search/ResultPrintout.h"

#include "core/AppState.h"
#include "core/Error.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace orvik {

namespace {
const QString NoPrinterFont = QStringLiteral("XXXX");
// The usual margin on every side of the paper, in millimetres.
constexpr double Margin = 20;

// The usual margins, or the printer's own where it cannot print that near the edge.
void setMargins(QPagedPaintDevice& device) {
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF least = layout.minimumMargins(), most = layout.maximumMargins();
    auto side = [](double low, double high) { return std::clamp(Margin, low, high); };
    device.setPageMargins(QMarginsF(side(least.left(), most.left()), side(least.top(), most.top()),
                                    side(least.right(), most.right()),
                                    side(least.bottom(), most.bottom())),
                          QPageLayout::Millimeter);
}

// The start of `line` that fits in `width`, cut between two characters.
QString cutAt(const QString& line, const QFontMetricsF& metrics, double width) {
    if (metrics.horizontalAdvance(line) <= width) return line;
    qsizetype fits = 0, over = line.size();
    while (over - fits > 1) {
        const qsizetype middle = (fits + over) / 2;
        if (metrics.horizontalAdvance(line.left(middle)) <= width)
            fits = middle;
        else
            over = middle;
    }
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, line);
    characters.setPosition(fits);
    if (!characters.isAtBoundary()) fits = characters.toPreviousBoundary();
    return line.left(fits);
}
} // namespace

std::optional<QString> courierNew() {
    const QString wanted = QStringLiteral("Courier New");
    for (const QString& family : QFontDatabase::families())
        if (family.compare(wanted, Qt::CaseInsensitive) == 0) return family;
    return std::nullopt;
}

QString fixedPrinterFamily() {
    return courierNew().value_or(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
}

QFont printerFont(const QString& name, double size, bool bold, bool italic) {
    QFont font(name.compare(NoPrinterFont, Qt::CaseInsensitive) == 0 ? fixedPrinterFamily() : name);
    font.setPointSizeF(size > 0 ? size : 6);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

int printResultLines(QPagedPaintDevice& device, const QFont& font, const QString& heading,
                     const QStringList& lines) {
    setMargins(device);
    QPainter painter;
    if (!painter.begin(&device)) throw Error(errors::PrinterError, QStringLiteral("Printer error"));
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &device);
    // The painter's origin is the top left corner inside the margins.
    const double pageWidth = device.width(), pageHeight = device.height();
    int pages = 1;
    double baseline = metrics.ascent();
    auto print = [&](const QString& line) {
        if (baseline + metrics.descent() > pageHeight && baseline > metrics.ascent()) {
            device.newPage();
            ++pages;
            baseline = metrics.ascent();
        }
        painter.drawText(QPointF(0, baseline), cutAt(line, metrics, pageWidth));
        baseline += metrics.lineSpacing();
    };
    print(heading);
    for (const QString& line : lines)
        print(line);
    if (!painter.end()) throw Error(errors::PrinterError, QStringLiteral("Printer error"));
    return pages;
}

QByteArray resultPdf(const QPageLayout& layout, int resolution, const QFont& font,
                     const QString& heading, const QStringList& lines, int& pages) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setCreator(AppName);
    writer.setResolution(resolution);
    writer.setPageLayout(layout);
    pages = printResultLines(writer, font, heading, lines);
    return pdf.data();
}

} // namespace orvik
