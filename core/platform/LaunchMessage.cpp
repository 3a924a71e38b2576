#include "core/platform/LaunchMessage.h"

namespace orvik {

QString launchMessage(int result, const QString& noAssociation) {
    if (result >= 33) return {};
    QString message = QStringLiteral(" Error ") + QString::number(result);
    switch (result) {
    case 2:
        return message + QStringLiteral(" - File not Found ");
    case 3:
        return message + QStringLiteral(" - Path not found ");
    case 5:
        return message + QStringLiteral(" - Access denied ");
    case 8:
        return message + QStringLiteral(" - Out of memory ");
    case 28:
        return message + QStringLiteral(" - Device Timeout ");
    case 29:
        return message + QStringLiteral(" - Device Failed ");
    case 30:
        return message + QStringLiteral(" - Device Busy ");
    case 31:
        return message + noAssociation;
    default:
        return message;
    }
}

} // namespace orvik
