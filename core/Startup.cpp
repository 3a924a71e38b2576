#include "core/Startup.h"

#include "core/AppState.h"
#include "core/platform/Drives.h"

#include <algorithm>

namespace orvik {

namespace {

// The system drive when it is fixed, then the CD-ROM mounts in reverse sorted
// order, each hit replacing the last, so the first CD-ROM in order wins.
QString probeDefaultDrive(const Drives& drives) {
    QString drive;
    if (drives.driveType(SystemDrive) == DriveFixed) drive = SystemDrive;
    QStringList mounts = drives.mountPoints();
    std::sort(mounts.begin(), mounts.end());
    for (auto it = mounts.crbegin(); it != mounts.crend(); ++it)
        if (*it != SystemDrive && drives.driveType(*it) == DriveCdRom) drive = *it;
    return drive;
}

} // namespace

void settleStartup(AppState& state) {
    Settings& settings = state.settings();
    state.Options.DisplayPaths = true;
    state.CatalogueName = AppName;
    state.Options.DefaultExtensions = DefaultExtensionList;

    state.Options.DefaultDrive = settings.get(QStringLiteral("DefaultDrive"), QString()).toUpper();
    if (state.Options.DefaultDrive.isEmpty())
        state.Options.DefaultDrive = probeDefaultDrive(state.drives());
    const int type = state.drives().driveType(state.Options.DefaultDrive);
    if (type < DriveRemovable || type > DriveCdRom) state.Options.DefaultDrive = SystemDrive;
    settings.save(QStringLiteral("DefaultDrive"), state.Options.DefaultDrive);

    const QString name = settings.get(QStringLiteral("DBName"), state.CatalogueName);
    settings.save(QStringLiteral("DBName"), name);
    state.CatalogueName = name.toUpper();

    state.Options.ExtensionString = settings.get(QStringLiteral("ExtensionString"), QString());
    if (state.Options.ExtensionString.isEmpty())
        state.Options.ExtensionString = state.Options.DefaultExtensions;
    settings.save(QStringLiteral("ExtensionString"), state.Options.ExtensionString);

    state.CatalogueChanged = true;
}

} // namespace orvik
