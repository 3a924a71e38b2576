#include "search/RedundantVolumes.h"

#include "core/engine/Catalogue.h"
#include "core/records/VolumeBrowse.h"

#include <algorithm>
#include <limits>
#include <map>

namespace orvik {

namespace {

// A volume of one of the catalogues: its catalogue's turn and its head's place.
using VolumeKey = std::pair<int, size_t>;
constexpr VolumeKey SeveralVolumes{-1, 0};

struct CatalogueVolumes {
    QString name;
    std::vector<std::int64_t> heads;
    std::vector<std::pair<size_t, engine::Checksum>> files; // each checksummed file's volume
};

} // namespace

std::vector<RedundantVolume> findRedundantVolumes(AnswerCatalogues& catalogues) {
    std::vector<CatalogueVolumes> read;
    std::map<engine::Checksum, VolumeKey> holder; // the one volume holding a hash, or several
    catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        CatalogueVolumes& volumes = read.emplace_back();
        volumes.name = name;
        for (const VolumeHead& head : readVolumeHeads(*db))
            volumes.heads.push_back(head.rowid);
        if (volumes.heads.empty() || !engine::hasChecksumTable(*db)) return;
        engine::Statement select(*db, "SELECT c.Hash, c.Record FROM CDChecksum c JOIN CDTable t "
                                      "ON t.rowid = c.Record WHERE t.CDFileLen IS NOT '0'");
        while (select.step()) {
            const auto hash = checksumOf(select.blob(0));
            const auto after =
                std::upper_bound(volumes.heads.begin(), volumes.heads.end(), select.integer(1));
            if (!hash || after == volumes.heads.begin()) continue;
            const size_t volume = size_t(after - volumes.heads.begin() - 1);
            volumes.files.emplace_back(volume, *hash);
            const VolumeKey key{int(read.size() - 1), volume};
            const auto [known, added] = holder.try_emplace(*hash, key);
            if (!added && known->second != key) known->second = SeveralVolumes;
        }
    });

    std::vector<RedundantVolume> redundant;
    catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        const auto same = std::find_if(read.begin(), read.end(),
                                       [&](const CatalogueVolumes& c) { return c.name == name; });
        if (same == read.end()) return;
        const CatalogueVolumes& volumes = *same;
        std::vector<qint64> held(volumes.heads.size());
        for (const auto& [volume, hash] : volumes.files)
            if (holder[hash] == SeveralVolumes) ++held[volume];
        engine::Statement count(
            *db, "SELECT count(*), coalesce(sum(CAST(CDFileLen AS INTEGER)), 0) FROM "
                 "CDTable WHERE rowid >= ?1 AND rowid < ?2 AND CDFile IS NOT "
                 "NULL AND CDFileLen IS NOT '0'");
        std::vector<RedundantVolume> found;
        for (size_t volume = 0; volume < volumes.heads.size(); ++volume) {
            if (held[volume] == 0) continue;
            const std::int64_t end = volume + 1 < volumes.heads.size()
                                         ? volumes.heads[volume + 1]
                                         : std::numeric_limits<std::int64_t>::max();
            count.reset();
            count.bind(1, volumes.heads[volume]).bind(2, end);
            if (!count.step() || count.integer(0) != held[volume]) continue;
            RedundantVolume whole{name, {}, held[volume], count.integer(1)};
            whole.head.bookmark = QString::number(volumes.heads[volume]);
            found.push_back(whole);
        }
        std::vector<std::int64_t> heads;
        for (const RedundantVolume& volume : found)
            heads.push_back(volume.head.bookmark.toLongLong());
        const std::vector<ResolvedRecord> resolved = resolveRecords(db, heads);
        for (size_t i = 0; i < found.size(); ++i) {
            found[i].head = resolved[i];
            redundant.push_back(found[i]);
        }
    });
    return redundant;
}

} // namespace orvik
