// Opening the shown file with its default application, from the stored
// (upper-case) path; tells the user what went wrong.
#pragma once

#include <QString>

namespace orvik {

class AppState;

// Launches CurPath + CurFile through the shell; returns the shell's result,
// 0 when the file is not on the disc in the drive. A file catalogued inside an
// archive is extracted from the archive on the disc and that copy launched.
int launchCurrentFile(AppState& state, const QString& CurPath, const QString& CurFile);

} // namespace orvik
