// The text of the settings file in INI form: read whole, and edited one value
// at a time so that every other line (other keys, other sections, comments)
// stays as it was.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace orvik {

// `ini` with `key` in `section` set to `value`: its line replaced (later
// lines of the same key dropped), else added at the end of the section, else
// the section added at the end.
QByteArray withIniValue(const QByteArray& ini, const QString& section, const QString& key,
                        const QString& value);

// The values of `section` by key (a later line of a key wins). A value is the
// text the line holds after "=", whatever it holds (commas, semicolons,
// quotes), less the blanks around it and less what withIniValue adds to write
// it: the quotes around it, the escapes, a doubled leading "@".
QHash<QString, QString> iniValues(const QByteArray& ini, const QString& section);

} // namespace orvik
