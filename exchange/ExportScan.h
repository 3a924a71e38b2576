// The forward scan every export makes: each record of the catalogue (or of
// one volume) in append order with its resolved owners, as record resolution
// resolves it, handed to a sink volume by volume and directory by directory.
#pragma once

#include "core/engine/VolumeIdentity.h"

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvik {

class Progress;
namespace engine {
class Catalogue;
}

// The bytes of `text`, without a copy.
inline std::string_view view(const QByteArray& text) {
    return {text.constData(), size_t(text.size())};
}

// Texts are UTF-8, "" where Null.
struct ExportedVolume {
    std::int64_t head = 0; // the rowid of its head, 0 for records before any
    QByteArray label, description, keywords, location;
    std::optional<engine::VolumeIdentity> identity;
};

// Valid for the length of the call that hands it over.
struct ExportedFile {
    std::string_view file, date, length;
    // Resolved: the record's own, else its volume's.
    std::string_view keywords;
    bool ownKeywords = false;  // it has keywords other than its volume's
    std::string_view checksum; // 32 hex digits or ""
    std::int64_t bookmark = 0;
};

class ExportSink {
public:
    virtual ~ExportSink() = default;
    virtual void begin(const QByteArray& catalogue) = 0;
    // Each volume's files come after it, each directory's after the directory.
    virtual void volume(const ExportedVolume& volume) = 0;
    virtual void directory(const QByteArray& path) = 0;
    virtual void file(const ExportedFile& file) = 0;
    virtual void end() = 0;
};

// Scans the whole catalogue, or with `volumeRecord` the volume holding that
// record, into `sink`. Never writes. False when cancelled (the sink has not
// been ended); throws Error on a failure, and when `volumeRecord` names no
// volume.
bool scanForExport(engine::Catalogue& db, const QString& catalogueName,
                   std::optional<std::int64_t> volumeRecord, ExportSink& sink, Progress& progress,
                   const bool& cancelFlag);

} // namespace orvik
