#include "search/Duplicates.h"

#include "core/engine/Catalogue.h"
#include "core/records/ByteSizes.h"

#include <QHash>
#include <algorithm>
#include <map>

namespace orvik {

namespace {

// A file found: its catalogue's turn among those read, and its record.
using Found = std::pair<size_t, std::int64_t>;

struct Candidate {
    std::optional<engine::Checksum> checksum;
    std::optional<qint64> length;
    std::vector<Found> files;

    qint64 wasted() const { return wastedSpace(length, files.size()); }
};

// Whether a file of `length` takes part: never an empty one, nor one below `minSize`.
bool listed(const std::optional<qint64>& length, const std::optional<qint64>& minSize) {
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
    QStringList names; // of the catalogues read, in turn

    catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        const size_t turn = size_t(names.size());
        names << name;
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
                if (!listed(length, minSize)) continue;
                Candidate& candidate = byHash[*hash];
                candidate.checksum = hash;
                if (length) candidate.length = std::max(candidate.length.value_or(0), *length);
                candidate.files.emplace_back(turn, select.integer(1));
            }
            // Where every record has a checksum there is nothing to group by name.
            engine::Statement unsummedCount(*db, "SELECT (SELECT count(*) FROM CDTable) - "
                                                 "(SELECT count(*) FROM CDChecksum)");
            if (unsummedCount.step() && unsummedCount.integer(0) <= 0) return;
        }
        engine::Statement unsummed(
            *db, sums ? "SELECT rowid, CDFile, CDFileLen FROM CDTable t WHERE CDFile IS NOT NULL "
                        "AND CDFileLen IS NOT NULL AND NOT EXISTS (SELECT 1 FROM CDChecksum c "
                        "WHERE c.Record = t.rowid)"
                      : "SELECT rowid, CDFile, CDFileLen FROM CDTable WHERE CDFile IS NOT NULL "
                        "AND CDFileLen IS NOT NULL");
        while (unsummed.step()) {
            const std::optional<qint64> length = storedLength(unsummed.text(2));
            if (!length || !listed(length, minSize)) continue;
            Candidate& candidate = byNameAndLength[{unsummed.text(1), *length}];
            candidate.length = length;
            candidate.files.emplace_back(turn, unsummed.integer(0));
        }
    });

    std::vector<Candidate> found;
    for (auto& [hash, candidate] : byHash)
        if (candidate.files.size() > 1) found.push_back(std::move(candidate));
    for (Candidate& candidate : byNameAndLength)
        if (candidate.files.size() > 1) found.push_back(std::move(candidate));
    for (Candidate& candidate : found)
        std::sort(candidate.files.begin(), candidate.files.end());
    // Largest waste first; then the sure before the probable, then in the order of their files.
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.wasted() != b.wasted()) return a.wasted() > b.wasted();
        if (a.checksum.has_value() != b.checksum.has_value()) return a.checksum.has_value();
        return a.files.front() < b.files.front();
    });

    // Each catalogue's records resolved in one forward pass, then found again by rowid.
    std::vector<std::vector<std::int64_t>> wanted(size_t(names.size()));
    for (const Candidate& candidate : found)
        for (const auto& [turn, record] : candidate.files)
            wanted[turn].push_back(record);
    std::vector<std::vector<ResolvedRecord>> resolved(wanted.size());
    catalogues.forEach([&](const QString& name, const std::shared_ptr<engine::Catalogue>& db) {
        const qsizetype turn = names.indexOf(name);
        if (turn < 0) return;
        std::sort(wanted[size_t(turn)].begin(), wanted[size_t(turn)].end());
        resolved[size_t(turn)] = resolveRecords(db, wanted[size_t(turn)]);
    });
    std::vector<DuplicateGroup> groups;
    groups.reserve(found.size());
    for (const Candidate& candidate : found) {
        DuplicateGroup& group =
            groups.emplace_back(DuplicateGroup{candidate.checksum, candidate.length, {}});
        for (const auto& [turn, record] : candidate.files) {
            const std::vector<std::int64_t>& rowids = wanted[turn];
            const size_t at =
                size_t(std::lower_bound(rowids.begin(), rowids.end(), record) - rowids.begin());
            if (at < resolved[turn].size())
                group.files.push_back({names[qsizetype(turn)], resolved[turn][at]});
        }
    }
    return groups;
}

} // namespace orvik
