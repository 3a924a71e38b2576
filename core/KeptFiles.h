// The files the program keeps for itself: the catalogues of the application
// folder (any NAME.mdb, in any letter case), their journals and the settings
// file. Nothing the program writes for the user may replace one of them.
#pragma once

#include <QString>

namespace orvik {

namespace errors {
// "Path/File access error": a file the program will not write.
constexpr int KeptFile = 75;
} // namespace errors

// Throws Error when writing `file` would replace a catalogue of `appFolder`, a
// catalogue's journal or `settingsFile`, by whatever path or link it is
// reached, or when the folder of `file` cannot be reached.
void refuseKeptFile(const QString& appFolder, const QString& settingsFile, const QString& file);

} // namespace orvik
