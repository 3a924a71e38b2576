#include "core/records/ByteSizes.h"

#include <QRegularExpression>
#include <cmath>
#include <stdexcept>

namespace orvik {

namespace {

const char* const Units[] = {"B", "KB", "MB", "GB", "TB", "PB", "EB"};

[[noreturn]] void bad(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

} // namespace

qint64 parseByteSize(const QString& option, const QString& text) {
    static const QRegularExpression size(
        QStringLiteral(R"(^\s*(-?)(\d+(?:\.\d*)?|\.\d+)\s*([A-Za-z]*)\s*$)"));
    const QRegularExpressionMatch match = size.match(text);
    const QString given = option + u' ' + text;
    if (!match.hasMatch())
        bad(given + QStringLiteral(": not a size (a number with K, M, G or T, as 700M or 1.5G)"));
    if (!match.captured(1).isEmpty()) bad(given + QStringLiteral(": a size is never negative"));
    QString unit = match.captured(3).toUpper();
    if (unit.size() == 2 && unit.endsWith(u'B')) unit.chop(1);
    int power = 0;
    if (unit == QLatin1String("K"))
        power = 1;
    else if (unit == QLatin1String("M"))
        power = 2;
    else if (unit == QLatin1String("G"))
        power = 3;
    else if (unit == QLatin1String("T"))
        power = 4;
    else if (!unit.isEmpty() && unit != QLatin1String("B"))
        bad(given + QStringLiteral(": unknown unit '") + match.captured(3) +
            QStringLiteral("' (K, M, G or T)"));
    const long double bytes = match.captured(2).toDouble() * std::pow(1024.0L, power);
    if (bytes > 9e18L) bad(given + QStringLiteral(": too large"));
    return qint64(std::llround(bytes));
}

std::optional<qint64> storedLength(const QString& length) {
    if (length.isEmpty()) return std::nullopt;
    for (const QChar c : length)
        if (c < u'0' || c > u'9') return std::nullopt;
    bool ok = false;
    const qint64 bytes = length.toLongLong(&ok);
    return ok ? std::optional(bytes) : std::nullopt;
}

QString readableLength(const QString& length) {
    const std::optional<qint64> bytes = storedLength(length);
    if (!bytes) return length;
    if (*bytes < 1024) return QString::number(*bytes) + QStringLiteral(" B");
    double value = double(*bytes);
    int unit = 0;
    // The unit is chosen after rounding, so 1023.96 KB reads 1.0 MB.
    while (unit + 1 < int(std::size(Units)) && std::round(value * 10) / 10 >= 1024) {
        value /= 1024;
        ++unit;
    }
    return QString::number(value, 'f', 1) + u' ' + QLatin1String(Units[unit]);
}

} // namespace orvik
