// Appends records to CDTable many at a time, for the add: one INSERT of a
// batch of rows costs little more than an INSERT of one.
//
// While it appends, the connection's triggers (and CDTable's CHECKs) are off:
// the trigger that notes each new record for the file index costs more than
// writing the record. The appender indexes its records itself, a stretch at a
// time while the add would wait for its walk, and the rest before the
// triggers come on again: at the commit, when it ends, or first thing when
// any other write goes through the connection.
#pragma once

#include "core/engine/CatalogueTable.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvik::engine {

class Catalogue;
class Statement;

// A record as UTF-8 text, field by field in table order; empty is Null.
using StoredRecord = std::array<QByteArray, FieldCount>;

class RecordAppender {
public:
    // Inside a transaction of `db`; readies the catalogue for writing.
    explicit RecordAppender(Catalogue& db);
    // Writes and indexes what is still waiting. When it cannot, or when an
    // exception is on its way out, it rolls the transaction back: a run is
    // never committed in part.
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    // Throws orvik::Error when a batch is refused; from then on every write
    // through the connection fails until the transaction is rolled back.
    void append(const StoredRecord& record);
    // Writes the records still waiting; the commit does so too.
    void flush();
    // Indexes the next `count` records written, when that many are waiting
    // for the index: work for a writer that would otherwise wait. True when
    // it did.
    bool indexStretch(std::int64_t count);

private:
    void insertWaiting(int count);
    void requireTransaction() const;
    // Indexes the records appended since the last time.
    void indexAppended();
    // Indexes those written and not indexed yet up to rowid `last`.
    void indexUpTo(std::int64_t last);

    Catalogue& m_db;
    std::vector<StoredRecord> m_waiting;
    std::unique_ptr<Statement> m_batch, m_single, m_nextRowid;
    // Appended with the triggers off and not indexed yet.
    std::int64_t m_firstUnindexed = 0, m_lastUnindexed = 0;
    bool m_failed = false;
    // With CDTable's own CHECKs, those are off while it appends and it
    // refuses over-long texts itself: the CHECKs cost a tenth of the add.
    bool m_checksItself = false;
};

} // namespace orvik::engine
