// The one failure type of the engine and platform layers: a number and a
// description, shown to the user as "Error N - description".
#pragma once

#include <QString>
#include <stdexcept>

namespace orvik {

class Error : public std::runtime_error {
public:
    Error(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number),
          m_description(description) {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    // The text of the first message box of every failure report.
    QString message() const {
        return QStringLiteral("Error ") + QString::number(m_number) + QStringLiteral(" - ") +
               m_description;
    }

private:
    int m_number;
    QString m_description;
};

// Numbers of the failures the engine layer raises itself (the rest are SQLite's
// extended result codes and errno values).
namespace errors {
constexpr int NoCurrentRecord = 3021;
constexpr int ObjectClosed = 3420;
constexpr int InvalidBookmark = 3159;
constexpr int UpdateWithoutEdit = 3020;
constexpr int BadPattern = 93;
constexpr int Overflow = 6;
} // namespace errors

} // namespace orvik
