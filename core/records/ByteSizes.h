// File lengths as people write and read them: "700M", "1.5G" (K, M, G and T
// are powers of 1024) and "1.2 GB".
#pragma once

#include <QString>
#include <optional>

namespace orvik {

// The bytes `text` names: a number, whole or with a fraction, and an optional
// unit K, M, G or T (any case, "B" may follow; a lone "B" is bytes). Throws
// std::invalid_argument, naming `option` and the text, for anything else.
qint64 parseByteSize(const QString& option, const QString& text);
// A stored length as a number of bytes; none when the record holds no length
// or something other than digits.
std::optional<qint64> storedLength(const QString& length);
// A stored length as "512 B", "1.2 GB": one decimal from KB on, in powers of
// 1024. A length that is no number stays as it is.
QString readableLength(const QString& length);

} // namespace orvik
