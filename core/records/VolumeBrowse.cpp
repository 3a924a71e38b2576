#include "core/records/VolumeBrowse.h"

#include "core/engine/Catalogue.h"

namespace orvik {

std::vector<VolumeHead> readVolumeHeads(engine::Catalogue& db) {
    // The condition repeats the heads' index expression so SQLite takes it.
    engine::Statement select(db, "SELECT rowid, CDVolume, CDDescription FROM CDTable WHERE "
                                 "CDVolume IS NOT NULL AND (CDVolume IS NOT NULL)=1 "
                                 "ORDER BY rowid");
    std::vector<VolumeHead> heads;
    while (select.step())
        heads.push_back({select.integer(0), select.text(1), select.text(2)});
    return heads;
}

std::vector<ListedDirectory> readVolumeTree(engine::Catalogue& db, std::int64_t head) {
    engine::ReadHold hold(db); // the run and its records in one read
    const std::optional<VolumeRun> run = findVolumeRun(db, head);
    if (!run || run->head != head) return {};
    return listVolumeDirectory(db, *run, run->top, true);
}

} // namespace orvik
