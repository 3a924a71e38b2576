// Catalogue files: NAME.mdb in the application folder, names matched to files
// without regard to case, and CreateCatalogue, the one routine that deletes a
// catalogue's files and creates an empty one.
#pragma once

#include <QString>
#include <QStringList>

namespace orvik {

class AppState;

// Why `name` cannot name a catalogue file in the application folder, or an
// empty text when it can (the name shown with "?" for control characters). A
// catalogue never lands outside the folder (a separator, "." or ".."), as a
// hidden file (a leading "."), under a name cut short by the system (a NUL),
// under a name that lists as something else (a control character such as a
// line break), or under a name too long for the file system.
QString catalogueNameProblem(const QString& name);

// folder/NAME.mdb with NAME upper-cased, or the existing file whose name
// matches it without regard to case. `name` passes catalogueNameProblem.
QString catalogueFilePath(const QString& folder, const QString& name);
// Whether a catalogue file is there. A file of no bytes holds nothing (a
// creation cut short by an older version) and counts as missing, so it is
// created afresh instead of failing for ever with "no such table".
bool catalogueExists(const QString& file);
// The catalogue files in `folder` ("*.mdb" without regard to case, hidden
// ones left out), sorted without regard to case.
QStringList catalogueFileNames(const QString& folder);
// Names (file names without ".mdb") of the catalogues in `folder`, sorted.
QStringList catalogueNames(const QString& folder);

// Status in: 2 deletes only, anything else deletes and creates. Status out:
// 0 done, 1 failed after the message "Can't delete/create catalogue file NAME".
// A catalogue open in this process is never deleted, and a name that fails
// catalogueNameProblem touches no file: both are failures.
void CreateCatalogue(AppState& state, int& status);

} // namespace orvik
