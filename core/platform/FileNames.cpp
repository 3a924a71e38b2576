#include "core/platform/FileNames.h"

#include <algorithm>
#include <cstring>

namespace orvik {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at `s` (at most `left` bytes), 0 when invalid.
int sequenceLength(const unsigned char* s, size_t left, char32_t& point) {
    const unsigned char c = s[0];
    int length;
    char32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2, point = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, point = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, point = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (size_t(length) > left) return 0;
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        point = (point << 6) | (s[i] & 0x3F);
    }
    if (point < min || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return length;
}

} // namespace

QString decodeFileName(const char* bytes) {
    const size_t size = std::strlen(bytes);
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    // Most names are plain ASCII, which reads the same in every encoding.
    if (std::all_of(s, s + size, [](unsigned char c) { return c < 0x80; }))
        return QString::fromLatin1(bytes, qsizetype(size));
    QString name;
    name.reserve(qsizetype(size));
    for (size_t i = 0; i < size;) {
        if (s[i] < 0x80) {
            name += QChar(s[i++]);
            continue;
        }
        char32_t point = 0;
        const int length = sequenceLength(s + i, size - i, point);
        if (length == 0) {
            name += QChar(char16_t(EscapeBase + s[i++]));
            continue;
        }
        name += QString::fromUcs4(&point, 1);
        i += size_t(length);
    }
    return name;
}

QByteArray encodeFileName(const QString& name) {
    const bool escapes = std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() >= EscapeBase + 0x80 && c.unicode() <= EscapeBase + 0xFF;
    });
    if (!escapes && name.isValidUtf16()) return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size());
    const qsizetype size = name.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = name[i].unicode();
        if (c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF) {
            bytes += char(c - EscapeBase);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && name[i + 1].isLowSurrogate()) {
            bytes += QString(name.constData() + i, 2).toUtf8();
            ++i;
        } else {
            bytes += QString(QChar(c)).toUtf8();
        }
    }
    return bytes;
}

} // namespace orvik
