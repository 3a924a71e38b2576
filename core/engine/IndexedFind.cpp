#include "core/engine/IndexedFind.h"

#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/FileIndex.h"

#include <algorithm>
#include <iterator>
#include <tuple>

namespace orvik::engine {

namespace {

// Candidates asked of the index at once, and looked at between two chances
// to pause: a few milliseconds' work each.
constexpr std::int64_t BatchSize = 8192;
constexpr int StretchSize = 4096;
// Records read of each trigram to tell how common it is; trigrams up to this
// many times as common as the rarest still go into the query, up to MaxTerms.
constexpr std::int64_t ProbeSize = 256;
constexpr double CommonerFactor = 10;
constexpr qsizetype MaxTerms = 6;
// Candidates this few cost less to confirm than another trigram costs to
// probe (a lookup in every segment of the index): the trigram is the query.
constexpr std::int64_t FewEnough = 32;

// The columns Recordset loads: rowid, then the seven fields.
constexpr int FileColumn = 3, PathColumn = 5;

// Up to ?2 rowids beyond ?1, in the order of the finds.
const char* beyond(bool forward) {
    return forward ? "> ?1 ORDER BY rowid LIMIT ?2" : "< ?1 ORDER BY rowid DESC LIMIT ?2";
}

} // namespace

IndexedFind::IndexedFind(Catalogue& db, bool forward) : m_db(db), m_forward(forward) {}

IndexedFind::~IndexedFind() = default;

bool IndexedFind::uses(const QString& pattern) {
    if (m_pattern && pattern == m_patternText) return !m_query.isEmpty();
    m_patternText = pattern;
    forget();
    try {
        m_pattern.emplace(pattern);
    } catch (const Error&) {
        // The scan reports the malformed pattern as it always has.
        m_pattern.reset();
        return false;
    }
    const QStringList terms = fileIndexTerms(*m_pattern);
    if (terms.isEmpty()) {
        m_query.clear();
        return false;
    }
    // The probes' records serve the finds only while nobody writes: the
    // snapshot they are taken in is the one the finds check against.
    checkSnapshot();
    m_query = chooseTerms(terms);
    if (!m_db.holdsReads()) release();
    return true;
}

// A common trigram costs the index more to read than the candidates it rules
// out cost to confirm, so the query takes the rarest trigram and those not
// much more common. How common each is comes from its first ProbeSize
// records: their count when fewer, else how far into the catalogue they reach.
// When every trigram taken has fewer, the probes have read all their records,
// and those holding them all are the candidates without asking the index again.
// A trigram of very few records is the query by itself.
QString IndexedFind::chooseTerms(const QStringList& terms) {
    struct Probe {
        double estimate;
        QString term;
        bool complete; // fewer than ProbeSize: rowids holds all of them
        std::vector<std::int64_t> rowids;
    };
    std::optional<std::pair<double, double>> span; // the first rowid and the records from it
    Statement probe(m_db, "SELECT rowid FROM CDFileIndex WHERE CDFileIndex MATCH ?1 "
                          "ORDER BY rowid LIMIT ?2");
    std::vector<Probe> probes;
    for (const QString& term : terms) {
        probe.bind(1, term).bind(2, ProbeSize);
        std::vector<std::int64_t> rowids;
        while (probe.step())
            rowids.push_back(probe.integer(0));
        probe.reset();
        const auto count = std::int64_t(rowids.size());
        if (count <= FewEnough) {
            m_known = std::move(rowids);
            return term;
        }
        if (count < ProbeSize) {
            probes.push_back({double(count), term, true, std::move(rowids)});
            continue;
        }
        if (!span) {
            Statement ends(
                m_db, "SELECT (SELECT min(rowid) FROM CDTable), (SELECT max(rowid) FROM CDTable)");
            ends.step();
            const double first = double(ends.integer(0));
            span.emplace(first, double(ends.integer(1)) - first + 1);
        }
        const auto [first, records] = *span;
        const double reached = double(rowids.back());
        probes.push_back(
            {double(ProbeSize) * records / std::max(1.0, reached - first + 1), term, false, {}});
    }
    std::sort(probes.begin(), probes.end(), [](const Probe& a, const Probe& b) {
        return std::tie(a.estimate, a.term) < std::tie(b.estimate, b.term);
    });
    const double worthReading =
        std::max(probes.front().estimate * CommonerFactor, double(ProbeSize));
    QStringList chosen;
    std::optional<std::vector<std::int64_t>> known;
    bool allKnown = true;
    for (const Probe& p : probes) {
        if (chosen.size() == MaxTerms || (!chosen.isEmpty() && p.estimate > worthReading)) continue;
        chosen << p.term;
        allKnown = allKnown && p.complete;
        if (!allKnown) continue;
        if (!known) {
            known = p.rowids;
            continue;
        }
        std::vector<std::int64_t> both;
        std::set_intersection(known->begin(), known->end(), p.rowids.begin(), p.rowids.end(),
                              std::back_inserter(both));
        known = std::move(both);
    }
    if (allKnown) m_known = std::move(known);
    return chosen.join(QStringLiteral(" AND "));
}

void IndexedFind::checkSnapshot() {
    if (!m_version) m_version = std::make_unique<Statement>(m_db, "PRAGMA data_version");
    // While the statement stands on its row it holds the read lock, and no
    // other connection can have written since it was taken.
    if (!m_version->busy()) {
        m_version->reset();
        m_version->step();
        const std::int64_t version = m_version->integer(0);
        if (version != m_dataVersion) forget();
        m_dataVersion = version;
    }
    if (m_writes != m_db.writeCount()) forget();
    m_writes = m_db.writeCount();
}

bool IndexedFind::batchCovers(std::int64_t from) const {
    if (!m_haveBatch) return false;
    if (m_forward) return from >= m_batchFrom && (m_batchIsLast || from < m_candidates.back());
    return from <= m_batchFrom && (m_batchIsLast || from > m_candidates.back());
}

namespace {

// Up to BatchSize rowids beyond `from`, in the order of the finds.
std::vector<std::int64_t> rowids(Statement& statement, std::int64_t from, const QString* query) {
    std::vector<std::int64_t> found;
    if (query) statement.bind(3, *query);
    statement.bind(1, from).bind(2, BatchSize);
    try {
        while (statement.step())
            found.push_back(statement.integer(0));
    } catch (...) {
        statement.reset();
        throw;
    }
    statement.reset();
    return found;
}

} // namespace

void IndexedFind::forget() {
    m_haveBatch = false;
    m_known.reset();
}

// The probes' records beyond `from`, in the order of the finds: fewer than a
// batch, so the batch ends with them.
std::vector<std::int64_t> IndexedFind::knownBeyond(std::int64_t from) const {
    if (m_forward)
        return {std::upper_bound(m_known->begin(), m_known->end(), from), m_known->end()};
    return {std::make_reverse_iterator(std::lower_bound(m_known->begin(), m_known->end(), from)),
            m_known->rend()};
}

std::vector<std::int64_t> IndexedFind::indexedBeyond(std::int64_t from) {
    if (!m_batch)
        m_batch = std::make_unique<Statement>(
            m_db,
            (QByteArray("SELECT rowid FROM CDFileIndex WHERE CDFileIndex MATCH ?3 AND rowid ") +
             beyond(m_forward))
                .constData());
    return rowids(*m_batch, from, &m_query);
}

void IndexedFind::fetchBatch(std::int64_t from) {
    if (!m_waiting)
        m_waiting = std::make_unique<Statement>(
            m_db,
            (QByteArray("SELECT Id AS rowid FROM CDIndexAdded WHERE rowid ") + beyond(m_forward))
                .constData());
    const std::vector<std::int64_t> indexed = m_known ? knownBeyond(from) : indexedBeyond(from);
    // The records still waiting for the index are candidates whatever they hold.
    const std::vector<std::int64_t> waiting = rowids(*m_waiting, from, nullptr);
    auto before = [this](std::int64_t a, std::int64_t b) { return m_forward ? a < b : a > b; };
    // A full list may go on beyond its last rowid: the batch ends at the nearer such edge.
    std::optional<std::int64_t> edge;
    for (const auto* list : {&indexed, &waiting})
        if (std::int64_t(list->size()) == BatchSize && (!edge || before(list->back(), *edge)))
            edge = list->back();
    m_candidates.clear();
    std::set_union(indexed.begin(), indexed.end(), waiting.begin(), waiting.end(),
                   std::back_inserter(m_candidates), before);
    if (edge)
        m_candidates.erase(
            std::upper_bound(m_candidates.begin(), m_candidates.end(), *edge, before),
            m_candidates.end());
    m_batchFrom = from;
    m_batchIsLast = !edge;
    m_haveBatch = true;
}

bool IndexedFind::confirm(std::int64_t rowid) {
    if (!m_row)
        m_row = std::make_unique<Statement>(
            m_db, "SELECT rowid, CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, "
                  "CDKeywords FROM CDTable WHERE rowid = ?1");
    m_row->reset();
    m_row->bind(1, rowid);
    if (!m_row->step()) return false; // gone since the index named it
    auto matches = [&](int column) {
        return !m_row->isNull(column) && m_pattern->matchesUtf8(m_row->utf8(column));
    };
    return matches(FileColumn) || matches(PathColumn);
}

void IndexedFind::release() {
    if (m_version) m_version->reset();
    if (m_row) m_row->reset();
}

IndexedFind::Outcome IndexedFind::next(std::int64_t from,
                                       const std::function<void(const Statement&)>& load) {
    // Outside a query's hold nothing stays open between finds.
    struct Release {
        IndexedFind& find;
        ~Release() {
            if (!find.m_db.holdsReads()) find.release();
        }
    } release{*this};
    checkSnapshot();
    int examined = 0;
    for (;;) {
        if (!batchCovers(from)) fetchBatch(from);
        auto candidate = m_forward
                             ? std::upper_bound(m_candidates.begin(), m_candidates.end(), from)
                             : std::upper_bound(m_candidates.begin(), m_candidates.end(), from,
                                                std::greater<>());
        for (; candidate != m_candidates.end(); ++candidate) {
            if (examined++ == StretchSize) return Outcome::Stretch;
            m_reached = *candidate;
            if (confirm(*candidate)) {
                load(*m_row);
                return Outcome::Found;
            }
        }
        if (m_batchIsLast) return Outcome::End;
        from = m_candidates.back();
    }
}

} // namespace orvik::engine
