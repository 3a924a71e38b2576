#include "search/Duplicates.h"

#include "core/engine/Catalogue.h"
#include "core/records/ByteSizes.h"

#include <QHash>
#include <algorithm>
#include <map>

namespace orvik {

namespace {

struct Found {
    QString catalogue;
    std::int64_t record;
};

struct Candidate {
    std::optional<qint64> length;
    std::vector<Found> files;
};

// Whether a file of `length` takes part: never an empty one, nor one below `minSize`.
bool counts(const std::optional<qint64>& length, const std::optional<qint64>& minSize) {
    if (length == 0) return false;
    return !minSize || (length && *length >= *minSize);
}

// Every hash of every catalogue with its number of files: a hash held once in
// each of two catalogues is a duplicate too.
std::map<engine::Checksum, int> hashCounts(AnswerCatalogues& catalogues) {
    std::map<engine::Checksum, int> counts;
    catalogues.forEach([&](const QString&, const std::shared_ptr<engine::Catalogue>& db) {
        if (!engine::hasChecksumTable(*db)) return;
        engine::Statement select(*db, "SELECT Hash, count(*) FROM CDChecksum GROUP BY Hash");
        while (select.step())
            if (const auto hash = checksumOf(select.blob(0)))
                counts[*hash] += int(select.integer(1));
    });
    return counts;
}

} // namespace

std::vector<DuplicateGroup> findDuplicates(AnswerCatalogues& catalogues,
                                           std::optional<qint64> minSize) {
    std::map<engine::Checksum, int> everywhere;
    if (catalogues.every()) everywhere = hashCounts(catalogues);
    std::map<engine::Checksum, Candidate> byHash;
    QHash<QPair<QString, qint64>, Candidate> byNameAndLength;

    catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        const bool sums = engine::hasChecksumTable(*db);
        if (sums) {
            // In one catalogue the hash index finds the repeated hashes alone;
            // across several, the counts of every catalogue say which repeat.
            engine::Statement select(
                *db, catalogues.every()
                         ? "SELECT c.Hash, c.Record, t.CDFileLen FROM CDChecksum c JOIN CDTable t "
                           "ON t.rowid = c.Record"
                         : "SELECT c.Hash, c.Record, t.CDFileLen FROM CDChecksum c JOIN CDTable t "
                           "ON t.rowid = c.Record WHERE c.Hash IN (SELECT Hash FROM CDChecksum "
                           "GROUP BY Hash HAVING count(*) > 1)");
            while (select.step()) {
                const auto hash = checksumOf(select.blob(0));
                if (!hash) continue;
                if (const auto total = everywhere.find(*hash);
                    catalogues.every() && (total == everywhere.end() || total->second < 2))
                    continue;
                const std::optional<qint64> length = storedLength(select.text(2));
                if (!counts(length, minSize)) continue;
                Candidate& candidate = byHash[*hash];
                if (length) candidate.length = std::max(candidate.length.value_or(0), *length);
                candidate.files.push_back({name, select.integer(1)});
            }
        }
        engine::Statement unsummed(
            *db, sums ? "SELECT rowid, CDFile, CDFileLen FROM CDTable t WHERE CDFile IS NOT NULL "
                        "AND CDFileLen IS NOT NULL AND NOT EXISTS (SELECT 1 FROM CDChecksum c "
                        "WHERE c.Record = t.rowid)"
                      : "SELECT rowid, CDFile, CDFileLen FROM CDTable WHERE CDFile IS NOT NULL "
                        "AND CDFileLen IS NOT NULL");
        while (unsummed.step()) {
            const std::optional<qint64> length = storedLength(unsummed.text(2));
            if (!length || !counts(length, minSize)) continue;
            Candidate& candidate = byNameAndLength[{unsummed.text(1), *length}];
            candidate.length = length;
            candidate.files.push_back({name, unsummed.integer(0)});
        }
    });

    std::vector<DuplicateGroup> groups;
    std::map<QString, std::vector<std::int64_t>> wanted; // the records to resolve, by catalogue
    auto take = [&](std::optional<engine::Checksum> checksum, const Candidate& candidate) {
        if (candidate.files.size() < 2) return;
        DuplicateGroup group{checksum, candidate.length, {}};
        for (const Found& found : candidate.files) {
            wanted[found.catalogue].push_back(found.record);
            group.files.push_back({found.catalogue, {}});
            group.files.back().record.bookmark = QString::number(found.record); // resolved below
        }
        groups.push_back(std::move(group));
    };
    for (const auto& [hash, candidate] : byHash)
        take(hash, candidate);
    for (const Candidate& candidate : byNameAndLength)
        take(std::nullopt, candidate);

    std::map<std::pair<QString, std::int64_t>, ResolvedRecord> resolved;
    catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        const auto records = wanted.find(name);
        if (records == wanted.end()) return;
        for (ResolvedRecord& record : resolveRecords(db, records->second))
            resolved[{name, record.bookmark.toLongLong()}] = std::move(record);
    });
    for (DuplicateGroup& group : groups) {
        for (AnswerFile& file : group.files)
            file.record = resolved[{file.catalogue, file.record.bookmark.toLongLong()}];
        std::sort(group.files.begin(), group.files.end(),
                  [](const AnswerFile& a, const AnswerFile& b) {
                      return std::pair(a.catalogue, a.record.bookmark.toLongLong()) <
                             std::pair(b.catalogue, b.record.bookmark.toLongLong());
                  });
    }
    // Largest waste first; then the sure before the probable, then by the first file's name.
    std::stable_sort(groups.begin(), groups.end(),
                     [](const DuplicateGroup& a, const DuplicateGroup& b) {
                         if (a.wasted() != b.wasted()) return a.wasted() > b.wasted();
                         if (a.checksum.has_value() != b.checksum.has_value())
                             return a.checksum.has_value();
                         return a.files.front().record.file < b.files.front().record.file;
                     });
    return groups;
}

} // namespace orvik
