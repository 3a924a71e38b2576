// A regular expression (Perl-compatible, without regard to case) that a file
// match tests against a record's name and directory, as it tests its pattern.
#pragma once

#include <QRegularExpression>
#include <QString>

namespace orvik {

class NameRegex {
public:
    // Throws std::invalid_argument naming `expression` when it is malformed.
    explicit NameRegex(const QString& expression);

    const QString& text() const { return m_text; }
    // Whether the expression matches anywhere in the name or the directory
    // (either may be empty: a record without one).
    bool matches(const QString& file, const QString& directory) const;
    // A search pattern whose matches include every record this expression
    // matches: "*RUN*" around the longest literal run every match must
    // contain, so the file index can find the candidates; "**" when there is
    // none.
    QString candidatePattern() const;

private:
    QString m_text;
    QRegularExpression m_expression;
};

// The longest run of characters that every match of `expression` contains
// as it is (up to case), or "" when none can be told for certain. Taken only
// outside alternations, groups, classes and quantified atoms; runs hold only
// ASCII characters that the search pattern and its upper-casing treat as the
// expression does.
QString requiredLiteral(const QString& expression);

} // namespace orvik
