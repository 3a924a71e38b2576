// Appends records to CDTable many at a time, for the add: one INSERT of a
// batch of rows costs little more than an INSERT of one.
//
// The appender is the add's write: it holds the transaction, and while it
// appends the connection's triggers (and CDTable's CHECKs) are off, since the
// trigger that notes each new record for the file index costs more than
// writing the record. It indexes its records itself, a stretch at a time
// while the add would wait for its walk and the rest at its commit, before
// the triggers come on again. Nothing else writes in its transaction: every
// other writer of the process waits for it to end, as for another program's.
#pragma once

#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/VolumeIdentity.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orvik::engine {

// A record as UTF-8 text, field by field in table order; empty is Null.
using StoredRecord = std::array<QByteArray, FieldCount>;

class RecordAppender {
public:
    // Begins the write as Transaction does (with `waiting`, as long as
    // another program writes) and readies the catalogue for it; false when
    // waiting() gave up, with nothing begun.
    explicit RecordAppender(Catalogue& db, const std::function<bool()>& waiting = {});
    // Unless committed, rolls everything appended back: a run is never
    // committed in part. The triggers and CHECKs are on again either way.
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;
    explicit operator bool() const { return bool(m_transaction); }

    // Deletes the records from rowid `first` to `last` as any deletion
    // would, in bulk (deleteRecordsInBulk): an update's old run goes in the
    // transaction that writes the new one. The number deleted.
    int remove(std::int64_t first, std::int64_t last);
    // Throws orvik::Error when a batch is refused; from then on every append
    // and the commit fail. The rowid the record gets, known before its batch
    // is written: the run's records are numbered one after another.
    std::int64_t append(const StoredRecord& record);
    // Indexes the next `count` records written, when that many are waiting
    // for the index: work for a writer that would otherwise wait. True when
    // it did.
    bool indexStretch(std::int64_t count);
    // Writes the records still waiting, indexes them, turns the triggers and
    // CHECKs on again and commits, with the run's identity keyed by its head
    // when it has one and a record was appended. `alongside`, given the rowid
    // of the first record appended (0 for none), writes what belongs to the
    // records in the same transaction: the appended records are numbered on
    // from it, one by one.
    void commit(const VolumeIdentity* identity = nullptr,
                const std::function<void(std::int64_t head)>& alongside = {});

private:
    class GuardsOff;

    void insertWaiting(int count);
    void requireTransaction() const;
    // Indexes those written and not indexed yet up to rowid `last`.
    void indexUpTo(std::int64_t last);

    Catalogue& m_db;
    // Declared before the guards, so they are on again before it rolls back.
    Transaction m_transaction;
    std::unique_ptr<GuardsOff> m_guardsOff;
    std::vector<StoredRecord> m_waiting;
    std::unique_ptr<Statement> m_batch, m_single, m_nextRowid;
    // Appended and not indexed yet.
    std::int64_t m_firstUnindexed = 0, m_lastUnindexed = 0;
    // The rowid of the first record appended: the run's head; and of the next.
    std::int64_t m_head = 0, m_next = 0;
    bool m_failed = false;
    // With CDTable's own CHECKs, those are off while it appends and it
    // refuses over-long texts itself: the CHECKs cost a tenth of the add.
    bool m_checksItself = false;
};

} // namespace orvik::engine
