// Files the program writes whole or not at all (a print-out's PDF, the
// settings), so a failure never leaves half a file where a good one was.
#pragma once

#include <QByteArray>
#include <QString>

namespace orvik {

// The file that writing `file` reaches: symbolic links followed to the end,
// the folder made absolute and free of links, "." and "..". Throws Error
// (errno, its text and `file`) when the folder cannot be reached.
QString resolvedFile(const QString& file);

// Writes `bytes` to `file`. A regular file (new or replaced) is written as a
// hidden file in the same folder, flushed to the disk and renamed into place
// only when complete; a link is followed, so its target is replaced and the
// link kept. A file that may not be written is not replaced, although its
// folder may be. A device or a pipe is written directly. Throws Error (errno,
// its text and `file`) when anything fails; the target is then as it was.
void writeWholeFile(const QString& file, const QByteArray& bytes);

} // namespace orvik
