// The filters a file match can narrow its matches with: size, modification
// date, extension, volume and keywords, all of which a match must pass; and
// the regular expression that may stand in for its pattern. Taken from the
// texts the user typed, all checked together before anything runs.
#pragma once

#include "core/records/NameRegex.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace orvik {

struct ResolvedRecord;
namespace engine {
struct RecordBounds;
}

// The filters as typed; an option not given is empty.
struct FilterTexts {
    std::optional<QString> minSize, maxSize, newer, older, extensions, volume, keywords, regex;
    bool any() const {
        return minSize || maxSize || newer || older || extensions || volume || keywords || regex;
    }
};

class FileFilters {
public:
    FileFilters() = default;
    // Throws std::invalid_argument with one line naming the option and the
    // text at fault: an unknown unit, a negative size, --min-size above
    // --max-size, a date that does not exist, --newer not before --older, an
    // empty extension list or text, a malformed expression.
    explicit FileFilters(const FilterTexts& texts);

    bool any() const { return m_any; }
    const std::optional<NameRegex>& regex() const { return m_regex; }
    // The size and date filters as bounds a scan can apply before it reads a record.
    engine::RecordBounds bounds() const;

    // The filters on the record's own fields, empty where it holds none: a
    // record without a length or a date never passes a size or date filter.
    bool passesOwnFields(const QString& file, const QString& date, const QString& length) const;
    // The filters on the volume that owns the record.
    bool passesOwners(const ResolvedRecord& record) const;

private:
    bool m_any = false;
    std::optional<qint64> m_minSize, m_maxSize;
    // Stored dates' text ("YYYY-MM-DD HH:MM:SS") from which on a date is
    // newer, and before which it is older.
    std::optional<QString> m_newer, m_older;
    QStringList m_extensions; // upper case, without the dot
    std::optional<QString> m_volume, m_keywords;
    std::optional<NameRegex> m_regex;
};

// The stored date's text at which the time `text` names begins ("2009" is
// 2009-01-01 00:00:00): YYYY, YYYY-MM, YYYY-MM-DD, then " HH:MM" or
// "THH:MM", seconds optional. Throws std::invalid_argument naming `option`
// for anything else or a date or time that does not exist.
QString dateBound(const QString& option, const QString& text);

} // namespace orvik
