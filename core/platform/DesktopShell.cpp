#include "core/platform/DesktopShell.h"

#include "core/platform/FileSystem.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <unistd.h>

namespace orvik {

int DesktopShell::open(const QString& file, const QString& directory) {
    if (!directory.isEmpty() && resolvePath(directory).isEmpty()) return shellresult::PathNotFound;
    const QString real = resolvePath(file);
    if (real.isEmpty()) return shellresult::FileNotFound;
    if (::access(QFile::encodeName(real).constData(), R_OK) != 0) return shellresult::AccessDenied;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(real)) ? shellresult::Success
                                                                : shellresult::NoAssociation;
}

} // namespace orvik
