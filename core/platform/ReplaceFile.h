// Replacing a small file all at once: a failure (a full disk, a file that may
// not be written) leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace orvik {

// Writes `contents` to a new file beside `path`, flushes it to the disk and
// renames it over `path` (over a link's target, keeping the file's
// permissions). A file that may not be written is not replaced, although
// its folder may be. Throws Error (errno and its text) and leaves nothing
// behind when any step fails.
void replaceFile(const QString& path, const QByteArray& contents);

} // namespace orvik
