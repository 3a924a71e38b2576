#include "exchange/ImportFile.h"

#include "core/Error.h"

#include <cerrno>
#include <cstring>

namespace orvik {

MappedImport mapImportFile(QFile& file, const QString& name) {
    if (!file.open(QIODevice::ReadOnly))
        throw Error(ENOENT, QStringLiteral("Cannot read %1: %2").arg(name, file.errorString()));
    MappedImport mapped;
    mapped.size = file.size();
    if (mapped.size > 0) {
        mapped.data = reinterpret_cast<const char*>(file.map(0, mapped.size));
        if (!mapped.data)
            throw Error(EIO, QStringLiteral("Cannot read %1: %2").arg(name, file.errorString()));
    }
    if (mapped.size >= 3 && std::memcmp(mapped.data, "\xEF\xBB\xBF", 3) == 0) mapped.start = 3;
    return mapped;
}

} // namespace orvik
