// Which catalogued volumes a directory is: the same file system (by UUID, or
// by label and size where either has no UUID) at the same place in it.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace orvik {

class AppState;
class Drives;
namespace engine {
class Catalogue;
}

struct CataloguedVolume {
    std::int64_t head = 0; // the bookmark of the volume's first record
    QString label, description;
    QString scanned; // ISO 8601 in UTC, as stored
};

// The volumes of `db` that `path` is, in catalogue order. Reads only; throws
// orvik::Error when `path` cannot be reached.
std::vector<CataloguedVolume> recogniseVolume(engine::Catalogue& db, const Drives& drives,
                                              const QString& path);

// The volumes of the current catalogue that `path` is; none when there is no
// catalogue, or it or the path cannot be read.
std::vector<CataloguedVolume> recogniseInCurrentCatalogue(AppState& state, const QString& path);

// The local date of a stored scan time: "2026-11-02".
QString scanDate(const QString& scanned);
// "Catalogued as GAMES1 – PCW DEC 1998, 2026-11-02".
QString cataloguedText(const CataloguedVolume& volume);

} // namespace orvik
