#include "catalogue/ArchiveSignatures.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace orvik {

namespace {

using namespace std::string_view_literals;

bool startsWith(std::string_view bytes, std::string_view signature, std::size_t at = 0) {
    return bytes.size() >= at + signature.size() && bytes.substr(at, signature.size()) == signature;
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Signatures at the start of compressed streams and of archives.
constexpr std::string_view Leading[] = {
    "\x1f\x8b"sv, // gzip
    "\x1f\x9d"sv, // compress
    "BZh"sv,      // bzip2
    "\xfd"
    "7zXZ\0"sv,              // xz
    "LZIP"sv,                // lzip
    "\x89LZO\0\r\n\x1a\n"sv, // lzop
    "\x04\x22\x4d\x18"sv,    // lz4
    "\x02\x21\x4c\x18"sv,    // lz4, legacy
    "\x28\xb5\x2f\xfd"sv,    // zstd
    "GRZipII"sv,             // grzip
    "LRZI"sv,                // lrzip
    "\xed\xab\xee\xdb"sv,    // rpm
    "7z\xbc\xaf\x27\x1c"sv,  // 7-Zip
    "Rar!\x1a\x07"sv,        // RAR 4 and 5
    "MSCF"sv,                // cabinet
    "!<arch>\n"sv,           // ar
    "!<thin>\n"sv,           // ar, thin
    "xar!"sv,                // xar
    "WARC/"sv,               // web archive
    "0707"sv,                // cpio in its text forms
    "\xc7\x71"sv,            // cpio, binary
    "\x71\xc7"sv,            // cpio, binary, big-endian
    "MZ"sv,                  // self-extracting archives: an executable
    "\x7f"
    "ELF"sv, //   with the archive after it
};

// A zip's records begin "PK" and two digits of kind.
bool zipRecord(std::string_view bytes) {
    if (!startsWith(bytes, "PK"sv) || bytes.size() < 4) return false;
    const char kind[2] = {bytes[2], bytes[3]};
    for (const std::string_view known : {"\1\2"sv, "\3\4"sv, "\5\6"sv, "\6\6"sv, "\7\10"sv, "00"sv})
        if (known == std::string_view(kind, 2)) return true;
    return false;
}

// A raw LZMA stream has no signature: its first byte packs three small
// numbers, then comes the dictionary's size, a power of two or one of the
// sizes the compressor picks (whole MiB, or two bits set).
bool lzmaStream(std::string_view bytes) {
    if (bytes.size() < 13) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (p[0] > (4 * 5 + 4) * 9 + 8) return false;
    const std::uint32_t dictionary = littleEndian32(p + 1);
    return dictionary >= 0x1000 && dictionary <= 0x08000000 &&
           (std::popcount(dictionary) <= 2 || (dictionary & 0xFFFFF) == 0);
}

// A tar header is 512 bytes whose checksum field holds the sum of its bytes
// (the field itself counted as spaces); old tars have no other mark. A
// block of zeros is the end of an empty tar.
bool tarHeader(std::string_view bytes) {
    if (bytes.size() < 512) return false;
    if (startsWith(bytes, "ustar"sv, 257)) return true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    // The checksum field first: in most files that are no tar it holds no
    // octal number, and the sum of the block is left undone.
    int i = 148;
    while (i < 156 && p[i] == ' ')
        ++i;
    if (i == 156 || p[i] < '0' || p[i] > '7')
        return p[148] == 0 && std::all_of(p, p + 512, [](unsigned char c) { return c == 0; });
    unsigned stored = 0;
    for (; i < 156 && p[i] >= '0' && p[i] <= '7'; ++i)
        stored = stored * 8 + unsigned(p[i] - '0');
    unsigned sum = 8 * ' ';
    for (int at = 0; at < 512; ++at)
        sum += at >= 148 && at < 156 ? 0 : p[at];
    return stored == sum;
}

// ISO 9660 and UDF volume descriptors follow 32 KiB of system area, one
// every 2 KiB.
bool discImage(std::string_view bytes) {
    for (std::size_t at = 32768 + 1; at + 5 <= bytes.size(); at += 2048)
        for (const std::string_view id : {"CD001"sv, "BEA01"sv, "NSR02"sv, "NSR03"sv, "TEA01"sv})
            if (startsWith(bytes, id, at)) return true;
    return false;
}

// The end of a zip's central directory, which a reader of the whole block
// looks for behind anything (a zip after an executable or other data).
bool zipEnd(std::string_view bytes) {
    return bytes.find("PK\5\6"sv) != std::string_view::npos;
}

// A uuencoded or base64 file: a line that begins "begin". Text holds a "b"
// every few words, so the lines' starts are sought sixteen bytes at a time
// rather than each "b" in turn.
bool encodedText(std::string_view bytes) {
    const auto beginsLine = [bytes](std::size_t at) {
        return (at == 0 || bytes[at - 1] == '\n' || bytes[at - 1] == '\r') &&
               startsWith(bytes, "begin"sv, at);
    };
    if (beginsLine(0)) return true;
    using Bytes16 = unsigned char __attribute__((vector_size(16)));
    std::size_t at = 1;
    for (; at + 16 <= bytes.size(); at += 16) {
        Bytes16 here, before;
        std::memcpy(&here, bytes.data() + at, 16);
        std::memcpy(&before, bytes.data() + at - 1, 16);
        const auto found = (here == 'b') & ((before == '\n') | (before == '\r'));
        std::uint64_t halves[2];
        std::memcpy(halves, &found, 16);
        if ((halves[0] | halves[1]) == 0) continue;
        for (std::size_t i = at; i < at + 16; ++i)
            if (beginsLine(i)) return true;
    }
    for (; at < bytes.size(); ++at)
        if (beginsLine(at)) return true;
    return false;
}

} // namespace

bool mayBeArchive(const char* block, std::size_t size) {
    const std::string_view bytes(block, size);
    // Most files match no first byte: the comparisons are left undone.
    for (const std::string_view signature : Leading)
        if (!bytes.empty() && bytes[0] == signature[0] && startsWith(bytes, signature)) return true;
    if (bytes.size() > 6 && bytes[2] == '-' && bytes[3] == 'l' &&
        (bytes[4] == 'h' || bytes[4] == 'z'))
        return true; // LHA's "-lh5-"
    return zipRecord(bytes) || lzmaStream(bytes) || tarHeader(bytes) || discImage(bytes) ||
           zipEnd(bytes) || encodedText(bytes);
}

} // namespace orvik
