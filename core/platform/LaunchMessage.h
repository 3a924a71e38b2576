// What the user reads when the desktop shell could not open a file.
#pragma once

#include <QString>

namespace orvik {

// Result 31 in the main window's wording and in the details window's.
inline const QString MainNoAssociation = QStringLiteral(" - No asociation exists for this file ");
inline const QString DetailsNoAssociation =
    QStringLiteral(" - No association exists for this file ");

// " Error N" followed by the suffix of a known result; empty for a result of
// 33 or more, which is success.
QString launchMessage(int result, const QString& noAssociation = MainNoAssociation);

} // namespace orvik
