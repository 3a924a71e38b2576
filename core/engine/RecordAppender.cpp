#include "core/engine/RecordAppender.h"

#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/FileIndex.h"

#include <sqlite3.h>

namespace orvik::engine {

namespace {

constexpr int BatchRows = 128;

// The INSERT of `rows` records; record i binds ?(8i+1)..?(8i+7) to its
// fields and ?(8i+8) to its rowid.
QByteArray insertSql(int rows) {
    // A refused record fails the whole run, which is rolled back: OR FAIL
    // spares each statement a journal of its own.
    QByteArray sql =
        "INSERT OR FAIL INTO CDTable (CDVolume, CDDescription, CDFile, CDFileDate, CDPath, "
        "CDFileLen, CDKeywords, rowid) VALUES ";
    for (int i = 0; i < rows; ++i)
        sql += QByteArray(i ? "," : "") + "(?,?,?,?,?,?,?,?)";
    return sql;
}

// Refuses what CDTable's CHECKs would: a text of more characters than its
// field holds, as SQLite counts them.
void refuseOverlong(const StoredRecord& record) {
    for (const Field field : AllFields)
        if (!fitsField(field, record[size_t(field)]))
            throw Error(SQLITE_CONSTRAINT_CHECK,
                        QStringLiteral("CHECK constraint failed: length(%1) <= %2")
                            .arg(QLatin1String(fieldName(field)))
                            .arg(fieldMaxChars(field)));
}

// Turning a connection's triggers or its CHECK constraints on or off has
// SQLite prepare every statement again at its next run, so statements
// prepared meanwhile hold no code for them.
void enableTriggers(Catalogue& db, bool on) {
    sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, on ? 1 : 0, nullptr);
}

void enableChecks(Catalogue& db, bool on) {
    sqlite3_exec(db.handle(),
                 on ? "PRAGMA ignore_check_constraints = 0" : "PRAGMA ignore_check_constraints = 1",
                 nullptr, nullptr, nullptr);
}

} // namespace

// The connection's triggers, and with `checksToo` its CHECKs, off for as long
// as it lives.
class RecordAppender::GuardsOff {
public:
    GuardsOff(Catalogue& db, bool checksToo) : m_db(db), m_checks(checksToo) {
        enableTriggers(m_db, false);
        if (m_checks) enableChecks(m_db, false);
    }
    ~GuardsOff() {
        if (!m_db.isOpen()) return;
        enableTriggers(m_db, true);
        if (m_checks) enableChecks(m_db, true);
    }
    GuardsOff(const GuardsOff&) = delete;
    GuardsOff& operator=(const GuardsOff&) = delete;

private:
    Catalogue& m_db;
    bool m_checks;
};

RecordAppender::RecordAppender(Catalogue& db, const std::function<bool()>& waiting)
    : m_db(db), m_transaction(db, waiting) {
    if (!m_transaction) return;
    m_checksItself = hasOwnChecks(db);
    m_guardsOff = std::make_unique<GuardsOff>(db, m_checksItself);
    m_waiting.reserve(BatchRows);
}

RecordAppender::~RecordAppender() = default;

int RecordAppender::remove(std::int64_t first, std::int64_t last) {
    requireTransaction();
    try {
        return deleteRecordsInBulk(m_db, first, last);
    } catch (...) {
        m_failed = true;
        throw;
    }
}

std::int64_t RecordAppender::append(const StoredRecord& record) {
    if (m_head == 0) {
        requireTransaction();
        if (!m_nextRowid) m_nextRowid = std::make_unique<Statement>(m_db, NextRowidSql);
        m_nextRowid->step();
        m_head = m_next = m_nextRowid->integer(0);
        m_nextRowid->reset();
    }
    m_waiting.push_back(record);
    const std::int64_t rowid = m_next++;
    if (int(m_waiting.size()) == BatchRows) insertWaiting(BatchRows);
    return rowid;
}

void RecordAppender::commit(const VolumeIdentity* identity,
                            const std::function<void(std::int64_t head)>& alongside) {
    insertWaiting(int(m_waiting.size()));
    requireTransaction();
    if (m_firstUnindexed != 0) indexUpTo(m_lastUnindexed);
    m_guardsOff.reset();
    if (identity && m_head != 0) writeVolumeIdentity(m_db, m_head, *identity);
    if (alongside) alongside(m_head);
    m_transaction.commit();
}

// SQLite ends a transaction itself after some failures (a full disc, a read
// error); a record written after that would be committed on its own.
void RecordAppender::requireTransaction() const {
    if (m_failed)
        throw Error(SQLITE_ABORT, QStringLiteral("The appended records could not all be written."));
    if (!m_db.inTransaction())
        throw Error(SQLITE_ABORT_ROLLBACK,
                    QStringLiteral("The transaction ended before the records were written."));
}

void RecordAppender::insertWaiting(int count) {
    if (count == 0) return;
    requireTransaction();
    std::unique_ptr<Statement>& statement = count == BatchRows ? m_batch : m_single;
    if (!statement)
        statement = std::make_unique<Statement>(m_db, insertSql(count == BatchRows ? count : 1));
    // Those waiting are the last appended.
    const std::int64_t first = m_next - count;
    m_db.noteWrite();

    const int rows = count == BatchRows ? count : 1;
    for (int done = 0; done < count; done += rows) {
        try {
            for (int i = 0; i < rows; ++i) {
                const StoredRecord& record = m_waiting[size_t(done + i)];
                if (m_checksItself) refuseOverlong(record);
                for (int f = 0; f < FieldCount; ++f) {
                    const int index = i * (FieldCount + 1) + f + 1;
                    if (record[size_t(f)].isEmpty())
                        statement->bindNull(index);
                    else
                        statement->bindUtf8Unchanged(index, record[size_t(f)]);
                }
                statement->bind(i * (FieldCount + 1) + FieldCount + 1, first + done + i);
            }
            statement->step();
        } catch (...) {
            statement->reset();
            m_waiting.clear();
            m_failed = true;
            throw;
        }
        // Every parameter is bound again before the next step.
        statement->rewind();
    }
    m_waiting.clear();
    if (m_firstUnindexed == 0) m_firstUnindexed = first;
    m_lastUnindexed = first + count - 1;
}

bool RecordAppender::indexStretch(std::int64_t count) {
    if (m_firstUnindexed == 0 || m_lastUnindexed - m_firstUnindexed + 1 < count) return false;
    requireTransaction();
    indexUpTo(m_firstUnindexed + count - 1);
    return true;
}

void RecordAppender::indexUpTo(std::int64_t last) {
    try {
        engine::indexAppended(m_db, m_firstUnindexed, last);
    } catch (...) {
        m_failed = true;
        throw;
    }
    m_firstUnindexed = last == m_lastUnindexed ? 0 : last + 1;
}

} // namespace orvik::engine
