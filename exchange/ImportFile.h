// A file to import, read whole through a memory map.
#pragma once

#include <QFile>
#include <cstdint>

namespace orvik {

struct MappedImport {
    const char* data = nullptr; // none for an empty file
    std::int64_t size = 0;
    std::int64_t start = 0; // past a byte order mark, which is no part of the text
};

// Opens `file` (named `name`) and maps it; throws orvik::Error when it cannot
// be read. The map lasts as long as `file` stays open.
MappedImport mapImportFile(QFile& file, const QString& name);

} // namespace orvik
