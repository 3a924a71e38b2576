#include "core/records/FileFilters.h"

#include "core/engine/Recordset.h"
#include "core/records/ByteSizes.h"
#include "core/records/RecordResolution.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <iterator>
#include <stdexcept>

namespace orvik {

namespace {

[[noreturn]] void bad(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

// A stored date as written by the add; anything else counts as no date.
bool isStoredDate(const QString& date) {
    static constexpr char16_t Form[] = u"####-##-## ##:##:##";
    if (date.size() != qsizetype(std::size(Form)) - 1) return false;
    for (qsizetype i = 0; i < date.size(); ++i)
        if (Form[i] == u'#' ? date[i] < u'0' || date[i] > u'9' : date[i] != QChar(Form[i]))
            return false;
    return true;
}

QString nonEmpty(const char* option, const QString& text) {
    if (text.isEmpty()) bad(QLatin1String(option) + QStringLiteral(" needs a text"));
    return text;
}

} // namespace

QString dateBound(const QString& option, const QString& text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{4})(?:-(\d\d)(?:-(\d\d)(?:[T ](\d\d):(\d\d)(?::(\d\d))?)?)?)?$)"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    auto number = [&m](int group, int otherwise) {
        return m.captured(group).isEmpty() ? otherwise : m.captured(group).toInt();
    };
    const QDate date = m.hasMatch() ? QDate(number(1, 0), number(2, 1), number(3, 1)) : QDate();
    const QTime time = m.hasMatch() ? QTime(number(4, 0), number(5, 0), number(6, 0)) : QTime();
    if (!date.isValid() || !time.isValid())
        bad(option + u' ' + text +
            QStringLiteral(": no such date (YYYY, YYYY-MM, YYYY-MM-DD or YYYY-MM-DD HH:MM[:SS])"));
    return date.toString(QStringLiteral("yyyy-MM-dd")) + u' ' +
           time.toString(QStringLiteral("HH:mm:ss"));
}

FileFilters::FileFilters(const FilterTexts& texts) : m_any(texts.any()) {
    if (texts.minSize) m_minSize = parseByteSize(QStringLiteral("--min-size"), *texts.minSize);
    if (texts.maxSize) m_maxSize = parseByteSize(QStringLiteral("--max-size"), *texts.maxSize);
    if (m_minSize && m_maxSize && *m_minSize > *m_maxSize)
        bad(QStringLiteral("--min-size %1 is above --max-size %2")
                .arg(*texts.minSize, *texts.maxSize));
    if (texts.newer) m_newer = dateBound(QStringLiteral("--newer"), *texts.newer);
    if (texts.older) m_older = dateBound(QStringLiteral("--older"), *texts.older);
    if (m_newer && m_older && *m_newer >= *m_older)
        bad(QStringLiteral("--newer %1 is not before --older %2").arg(*texts.newer, *texts.older));
    if (texts.extensions) {
        for (QString extension : texts.extensions->split(u',')) {
            extension = extension.trimmed();
            if (extension.startsWith(u'.')) extension.remove(0, 1);
            if (!extension.isEmpty()) m_extensions << extension.toUpper();
        }
        if (m_extensions.isEmpty())
            bad(QStringLiteral("--ext needs at least one extension, as mp3,flac"));
    }
    if (texts.volume) m_volume = nonEmpty("--volume", *texts.volume);
    if (texts.keywords) m_keywords = nonEmpty("--keywords", *texts.keywords);
    try {
        if (texts.regex) m_regex.emplace(*texts.regex);
    } catch (const std::invalid_argument& malformed) {
        bad(QStringLiteral("--regex ") + QString::fromStdString(malformed.what()));
    }
}

engine::RecordBounds FileFilters::bounds() const {
    return {m_minSize, m_maxSize, m_newer, m_older};
}

bool FileFilters::passesOwnFields(const QString& file, const QString& date,
                                  const QString& length) const {
    if (m_minSize || m_maxSize) {
        const std::optional<qint64> bytes = storedLength(length);
        if (!bytes || (m_minSize && *bytes < *m_minSize) || (m_maxSize && *bytes > *m_maxSize))
            return false;
    }
    if (m_newer || m_older) {
        if (!isStoredDate(date) || (m_newer && date < *m_newer) || (m_older && date >= *m_older))
            return false;
    }
    if (!m_extensions.isEmpty()) {
        const qsizetype dot = file.lastIndexOf(u'.');
        if (dot < 0) return false;
        const QStringView extension = QStringView(file).mid(dot + 1);
        bool listed = false;
        for (const QString& wanted : m_extensions)
            listed = listed || extension.compare(wanted, Qt::CaseInsensitive) == 0;
        if (!listed) return false;
    }
    return true;
}

bool FileFilters::passesOwners(const ResolvedRecord& record) const {
    if (m_volume && !record.volume.contains(*m_volume, Qt::CaseInsensitive) &&
        !record.description.contains(*m_volume, Qt::CaseInsensitive))
        return false;
    return !m_keywords || record.keywords.contains(*m_keywords, Qt::CaseInsensitive);
}

} // namespace orvik
