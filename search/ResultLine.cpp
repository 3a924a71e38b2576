#include "search/ResultLine.h"

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

float QueryWidth::nameColumn(bool displayPaths) const {
    if (m_twips == 0) return m_characters;
    return float(m_twips / 9465.0 * (displayPaths ? 53.0 : 30.0));
}

QString dateColumn(const QString& date) {
    return date.size() < 19 ? (date + Blanks13).left(19) : date;
}

QString lengthColumn(const QString& length) {
    return (length + Blanks13).left(9);
}

QString composeFileLine(const QString& path, const QString& file, float width, const QString& date,
                        const QString& length, const QString& volume, const QString& description) {
    // Built in one buffer: the query composes a line for every match.
    QString line;
    line.reserve(path.size() + file.size() + qsizetype(width) + 40 + volume.size() +
                 description.size());
    line += path;
    line += file;
    if (line.size() < width + 1) {
        // std::nearbyint rounds halves to even under the default rounding mode.
        const qsizetype cut = qsizetype(std::nearbyint(width));
        if (line.size() > cut)
            line.truncate(cut);
        else
            line += QStringView(dotLeader()).left(cut - line.size());
    }
    line += u' ';
    line += date;
    if (date.size() < 19) line += QStringView(Blanks13).left(19 - date.size());
    line += u' ';
    line += QStringView(length).left(9);
    if (length.size() < 9) line += QStringView(Blanks13).left(9 - length.size());
    line += QLatin1StringView("  ");
    line += volume;
    line += QLatin1StringView("   ");
    line += description;
    return line;
}

QString composeVolumeLine(const QString& volume, const QString& description,
                          const QString& keywords) {
    return QStringLiteral("Vol:") + volume + QStringLiteral("  (") + description +
           QStringLiteral(")") + QStringLiteral(" - [KW=") + keywords + QStringLiteral("]");
}

QString resultsHeading(const QString& searchText, const QString& catalogueName) {
    return QStringLiteral("Orvik - Results of search for ") + searchText +
           QStringLiteral(" in Catalogue ") + catalogueName;
}

QString everyCatalogueResultsHeading(const QString& searchText) {
    return QStringLiteral("Orvik - Results of search for ") + searchText +
           QStringLiteral(" in every catalogue");
}

} // namespace orvik
