#include "exchange/ExchangeFormat.h"

#include <QFileInfo>

namespace orvik {

std::optional<ExchangeFormat> formatNamed(const QString& name) {
    const QString lower = name.toLower();
    if (lower == QLatin1String("csv")) return ExchangeFormat::Csv;
    if (lower == QLatin1String("json")) return ExchangeFormat::Json;
    if (lower == QLatin1String("html") || lower == QLatin1String("htm"))
        return ExchangeFormat::Html;
    if (lower == QLatin1String("efu")) return ExchangeFormat::Efu;
    return std::nullopt;
}

std::optional<ExchangeFormat> formatOfFile(const QString& file) {
    return formatNamed(QFileInfo(file).suffix());
}

QString unknownFormatText(const QString& what, bool forImport) {
    return QStringLiteral("Unknown format of %1: the formats known are %2.")
        .arg(what, forImport ? QStringLiteral("csv, json and efu")
                             : QStringLiteral("csv, json, html and efu"));
}

} // namespace orvik
