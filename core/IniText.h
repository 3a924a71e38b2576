// The text of the settings file, edited one value at a time in the INI form
// the settings store reads: every other line (other keys, other sections,
// comments) stays as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace orvik {

// `ini` with `key` in `section` set to `value`: its line replaced (later
// lines of the same key dropped), else added at the end of the section, else
// the section added at the end.
QByteArray withIniValue(const QByteArray& ini, const QString& section, const QString& key,
                        const QString& value);

} // namespace orvik
