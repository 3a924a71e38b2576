// A file match through the trigram index (FileIndex.h): the index names the
// candidate records a batch at a time, in record order, and the pattern
// matcher confirms each against its CDFile and CDPath. A batch is kept
// between finds and across pauses for as long as nobody writes to the
// catalogue, so going on from a match costs no new index query.
#pragma once

#include "core/engine/Pattern.h"

#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace orvik::engine {

class Catalogue;
class Statement;

class IndexedFind {
public:
    enum class Outcome { Found, End, Stretch };

    IndexedFind(Catalogue& db, bool forward);
    ~IndexedFind();
    IndexedFind(const IndexedFind&) = delete;
    IndexedFind& operator=(const IndexedFind&) = delete;

    // Takes `pattern` for the finds that follow; false when the index cannot
    // narrow it down (no literal run of three characters, or malformed), so
    // the caller reads every record instead.
    bool uses(const QString& pattern);
    // The first record beyond `from` that matches, handed to `load` (rowid
    // and the seven fields). Stretch: a stretch of candidates held no match;
    // the caller may pause and go on from reached().
    Outcome next(std::int64_t from, const std::function<void(const Statement&)>& load);
    std::int64_t reached() const { return m_reached; }
    // The index query the finds ask, for the pattern last taken.
    const QString& query() const { return m_query; }

private:
    QString chooseTerms(const QStringList& terms);
    // Forgets the batch when another connection or this one wrote meanwhile.
    void checkSnapshot();
    bool batchCovers(std::int64_t from) const;
    // Drops the batch and the probes' records.
    void forget();
    void fetchBatch(std::int64_t from);
    std::vector<std::int64_t> knownBeyond(std::int64_t from) const;
    std::vector<std::int64_t> indexedBeyond(std::int64_t from);
    bool confirm(std::int64_t rowid);
    void release();

    Catalogue& m_db;
    const bool m_forward;
    QString m_patternText;
    std::optional<Pattern> m_pattern;
    QString m_query;

    // The records holding every trigram of the query, in rowid order, when
    // the probes read all the records of each: the index is not asked again.
    std::optional<std::vector<std::int64_t>> m_known;
    std::vector<std::int64_t> m_candidates; // in the order of the finds
    bool m_haveBatch = false;
    bool m_batchIsLast = false; // no candidates beyond the batch
    std::int64_t m_batchFrom = 0;
    std::int64_t m_dataVersion = 0;
    std::uint64_t m_writes = 0;
    std::int64_t m_reached = 0;

    std::unique_ptr<Statement> m_batch, m_waiting, m_row, m_version;
};

} // namespace orvik::engine
