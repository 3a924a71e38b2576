#include "search/UniqueFiles.h"

#include "core/engine/Catalogue.h"
#include "core/records/VolumeListing.h"

#include <map>

namespace orvik {

UniqueFiles findUniqueFiles(AnswerCatalogues& catalogues, std::int64_t bookmark) {
    UniqueFiles unique;
    std::optional<VolumeRun> run;
    std::map<engine::Checksum, std::vector<std::int64_t>> atRisk; // by hash, their records
    catalogues.forCurrent([&](const QString&, const std::shared_ptr<engine::Catalogue>& db) {
        run = findVolumeRun(*db, bookmark);
        if (!run) return;
        unique.volumeFound = true;
        engine::Statement head(*db, "SELECT CDVolume, CDDescription FROM CDTable WHERE rowid = ?1");
        head.bind(1, run->head);
        if (head.step()) unique.label = head.text(0) + " (" + head.text(1) + ')';
        const bool sums = engine::hasChecksumTable(*db);
        engine::Statement unsummed(
            *db, sums ? "SELECT count(*) FROM CDTable t WHERE rowid >= ?1 AND rowid < ?2 AND "
                        "CDFile IS NOT NULL AND CDFileLen IS NOT '0' AND NOT EXISTS (SELECT 1 "
                        "FROM CDChecksum c WHERE c.Record = t.rowid)"
                      : "SELECT count(*) FROM CDTable WHERE rowid >= ?1 AND rowid < ?2 AND CDFile "
                        "IS NOT NULL AND CDFileLen IS NOT '0'");
        unsummed.bind(1, run->head).bind(2, run->end);
        unique.withoutChecksum = unsummed.step() ? unsummed.integer(0) : 0;
        if (!sums) return;
        // Each hash of the run looked up in the hash index for a record outside the run.
        engine::Statement select(
            *db, "SELECT c.Hash, c.Record FROM CDChecksum c JOIN CDTable t ON t.rowid = c.Record "
                 "WHERE c.Record >= ?1 AND c.Record < ?2 AND t.CDFileLen IS NOT '0' AND NOT "
                 "EXISTS (SELECT 1 FROM CDChecksum o WHERE o.Hash = c.Hash AND (o.Record < ?1 "
                 "OR o.Record >= ?2))");
        select.bind(1, run->head).bind(2, run->end);
        while (select.step())
            if (const auto hash = checksumOf(select.blob(0)))
                atRisk[*hash].push_back(select.integer(1));
    });
    if (!run) return unique;
    if (catalogues.every()) {
        catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
            if (name == catalogues.current() || !engine::hasChecksumTable(*db)) return;
            engine::Statement held(*db, "SELECT 1 FROM CDChecksum WHERE Hash = ?1");
            for (auto file = atRisk.begin(); file != atRisk.end();) {
                held.reset();
                held.bindBlob(1, file->first.data(), int(file->first.size()));
                file = held.step() ? atRisk.erase(file) : std::next(file);
            }
        });
    }
    std::vector<std::int64_t> records;
    for (const auto& [hash, ofHash] : atRisk)
        records.insert(records.end(), ofHash.begin(), ofHash.end());
    catalogues.forCurrent([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        for (ResolvedRecord& record : resolveRecords(db, records))
            unique.files.push_back({name, std::move(record)});
    });
    return unique;
}

} // namespace orvik
