#include "catalogue/VolumeSummary.h"

#include "core/engine/Catalogue.h"
#include "core/records/VolumeListing.h"

namespace orvik {

std::optional<VolumeSummary> summariseVolume(engine::Catalogue& db, std::int64_t rowid) {
    engine::ReadHold hold(db);
    const std::optional<std::int64_t> headRowid = findVolumeHead(db, rowid);
    if (!headRowid) return std::nullopt;
    engine::Statement head(
        db, "SELECT CDVolume, CDDescription, CDKeywords FROM CDTable WHERE rowid = ?1");
    head.bind(1, *headRowid);
    head.step();
    VolumeSummary volume;
    volume.head = *headRowid;
    volume.label = head.text(0);
    volume.description = head.text(1);
    volume.keywords = head.text(2);
    volume.identity = engine::readVolumeIdentity(db, volume.head);
    volume.location = engine::readVolumeLocation(db, volume.head);
    if (volume.identity) {
        volume.directories = volume.identity->directories;
        volume.files = volume.identity->files;
        volume.bytes = volume.identity->bytes;
        return volume;
    }
    // The run ends before the next head.
    engine::Statement counts(
        db, "SELECT count(CDPath), count(*), coalesce(sum(CAST(CDFileLen AS INTEGER)), 0) "
            "FROM CDTable WHERE rowid >= ?1 AND rowid < coalesce((SELECT min(rowid) FROM CDTable "
            "WHERE CDVolume IS NOT NULL AND rowid > ?1), 9223372036854775807)");
    counts.bind(1, volume.head);
    counts.step();
    volume.directories = counts.integer(0);
    volume.files = counts.integer(1);
    volume.bytes = counts.integer(2);
    return volume;
}

} // namespace orvik
