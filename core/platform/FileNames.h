// File names as the kernel has them (bytes) and as the program keeps them
// (text). Bytes that are not UTF-8 become the lone surrogates U+DC80..U+DCFF
// and turn back into the same bytes, so any name can be listed and reopened.
#pragma once

#include <QByteArray>
#include <QString>

namespace orvik {

QString decodeFileName(const char* bytes);
QByteArray encodeFileName(const QString& name);

} // namespace orvik
