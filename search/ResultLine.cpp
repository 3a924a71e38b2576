#include "ResultLine.h"

#include <cmath>

namespace orvik {

namespace {

QString starInFront(const QString& text) {
    if (text.startsWith(u'*') || text.startsWith(u'?')) return text;
    return u'*' + text;
}

const QString& dotLeader() {
    static const QString leader = QStringLiteral(" .").repeated(52);
    return leader;
}

const QString Blanks13 = QString(13, u' ');

} // namespace

QString fileMatchPattern(const QString& text) {
    QString pattern = starInFront(text.toUpper());
    if (pattern.endsWith(u'.'))
        pattern.chop(1);
    else
        pattern += u'*';
    return pattern;
}

QString volumePattern(const QString& text) {
    return starInFront(text.toUpper()) + u'*';
}

float nameColumnWidth(double windowWidthTwips, bool displayPaths) {
    return float(windowWidthTwips / 9465.0 * (displayPaths ? 53.0 : 30.0));
}

QString dateColumn(const QString& date) {
    return date.size() < 19 ? (date + Blanks13).left(19) : date;
}

QString lengthColumn(const QString& length) {
    return (length + Blanks13).left(9);
}

QString composeFileLine(const QString& name, float width, const QString& date,
                        const QString& length, const QString& volume, const QString& description) {
    QString line;
    if (name.size() < width + 1) {
        // std::nearbyint rounds halves to even under the default rounding mode.
        line = (name + dotLeader()).left(qsizetype(std::nearbyint(width))) + u' ';
    } else {
        line = name + u' ';
    }
    line += dateColumn(date) + u' ' + lengthColumn(length) + QStringLiteral("  ") + volume +
            QStringLiteral("   ") + description;
    return line;
}

QString composeVolumeLine(const QString& volume, const QString& description,
                          const QString& keywords) {
    return QStringLiteral("Vol:") + volume + QStringLiteral("  (") + description +
           QStringLiteral(")") + QStringLiteral(" - [KW=") + keywords + QStringLiteral("]");
}

} // namespace orvik
