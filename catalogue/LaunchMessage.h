// What the user reads when the desktop shell could not open a file.
#pragma once

#include <QString>

namespace orvik {

// The main window's wording of result 31; the details window has its own.
inline const QString MainNoAssociation = QStringLiteral(" - No asociation exists for this file ");

// " Error N" followed by the suffix of a known result; empty for a result of
// 33 or more, which is success.
QString launchMessage(int result, const QString& noAssociation = MainNoAssociation);

} // namespace orvik
