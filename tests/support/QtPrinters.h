// Lets GoogleTest print Qt strings readably in failure messages.
#pragma once

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *os << ']';
}

// EXPECT_CONTAINS(text, part) shows the whole text when the part is missing.
inline ::testing::AssertionResult qtextContains(const char* textExpression, const char*,
                                                const QString& text, const QString& part) {
    if (text.contains(part)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << textExpression << " lacks \"" << part.toStdString()
                                         << "\": \"" << text.toStdString() << '"';
}
#define EXPECT_CONTAINS(text, part) EXPECT_PRED_FORMAT2(qtextContains, text, part)
