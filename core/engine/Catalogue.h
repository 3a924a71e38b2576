// Thin RAII over SQLite: a connection, prepared statements and transactions.
// sqlite3.h stays out of headers; every failure is an orvik::Error carrying
// SQLite's extended result code and message.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace orvik::engine {

class Catalogue;

// Runs `work` whole or not at all: in a savepoint `name` of the transaction
// begun, or else in a Transaction of its own. After some failures (a full
// disk) SQLite has rolled the whole transaction back itself, savepoint and
// all; the failure is what the user is told, not the rollback of nothing.
void atomically(Catalogue& db, const char* name, const std::function<void()>& work);

// The text SQLite stores for `text`: UTF-8, a lone surrogate (from a name
// that was not UTF-8) as the replacement character.
QByteArray storedText(const QString& text);

class Catalogue {
public:
    // Opens an existing file read and write (shared), or only for reading;
    // fails when there is none.
    enum class Access { ReadWrite, ReadOnly };
    explicit Catalogue(const QString& path, Access access = Access::ReadWrite);
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    const QString& path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    // Closes the connection at once; statements still alive become unusable.
    void close();

    void exec(const char* sql);
    sqlite3* handle() const;

    // How long a statement waits for another program to let go of the file
    // before it gives up and says so.
    static constexpr int DefaultBusyTimeoutMs = 5000;
    void setBusyTimeout(int milliseconds);

    bool inTransaction() const;
    // True inside a transaction that has written something.
    bool hasPendingWrites() const;

    // Grows with every write through this connection, so cursors can tell when
    // the rows under them may have changed.
    std::uint64_t writeCount() const { return m_writes; }
    // Grows with every transaction begun, so a value kept for the length of
    // one transaction can tell it is still in it.
    std::uint64_t transactionNumber() const { return m_transactions; }
    // Called before every write, so the cursors see it.
    void noteWrite();
    // Resets every statement of this connection that holds a read lock.
    void releaseReadLocks();
    // While a ReadHold is alive, reading statements keep stepping between
    // calls; otherwise every read lets go of its lock before it returns, so an
    // idle window or a finished query never keeps another program from writing.
    bool holdsReads() const { return m_readHolds > 0; }
    // Throws unless the catalogue can be written: not read-only, and its
    // folder takes a journal. Another program writing it is waited for as
    // a Transaction waits; false once waiting() gives up. Writes nothing.
    bool checkWritable(const std::function<bool()>& waiting = {});
    // Work that belongs to every transaction that wrote, done just before it commits.
    void setBeforeCommit(std::function<void()> step) { m_beforeCommit = std::move(step); }

    // What the file needs before this connection first writes (a catalogue's
    // migration to the present schema), run once by a Transaction before it
    // begins and by prepareWrites(); again after a rollback, and when another
    // program has changed the file's user version since (a newer release may
    // have migrated it under this long-lived connection).
    void setPrepareWrites(std::function<void(Catalogue&)> prepare) {
        m_prepareWrites = std::move(prepare);
        m_writesPrepared = false;
    }
    void prepareWrites();
    // Opened only for reading, for `reason`: every write this program would
    // make fails with it, before it reads anything else.
    void setReadOnlyReason(const QString& reason) { m_readOnlyReason = reason; }

    // Throws the connection's last error as an orvik::Error.
    [[noreturn]] void fail() const;

private:
    // Writes go through a Transaction, which begins, commits and rolls back.
    friend class Transaction;
    // Begins a transaction that holds the write lock from its start, so
    // another program's write is waited for: SQLite refuses at once, without
    // waiting, a transaction that has read and then comes to write while
    // another program writes. Without `waiting` it waits up to the busy
    // timeout and then throws. With it, it waits as long as another program
    // writes, in short tries with waiting() between them (to say so and let
    // events run); false, with nothing begun, once waiting() gives up.
    bool beginWrite(const std::function<bool()>& waiting = {});
    // Runs the step set by setBeforeCommit first when the transaction wrote.
    void commit();
    void rollback();
    std::int64_t userVersion();

    QString m_path;
    sqlite3* m_db = nullptr;
    int m_busyTimeoutMs = DefaultBusyTimeoutMs;
    std::uint64_t m_writes = 0;
    std::uint64_t m_transactions = 0;
    int m_readHolds = 0;
    std::function<void()> m_beforeCommit;
    std::function<void(Catalogue&)> m_prepareWrites;
    bool m_writesPrepared = false, m_preparingWrites = false;
    std::int64_t m_preparedVersion = 0;
    QString m_readOnlyReason;
    friend class ReadHold;
};

// Keeps a scan's read lock between its finds, for the length of one query.
// pause() lets go of it at the moments the user may act, so another program
// can write; the scan then goes on from where it stood with one seek.
class ReadHold {
public:
    explicit ReadHold(Catalogue& db);
    ~ReadHold();
    ReadHold(const ReadHold&) = delete;
    ReadHold& operator=(const ReadHold&) = delete;
    void pause();

private:
    Catalogue& m_db;
};

class Statement {
public:
    Statement(Catalogue& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const QString& text);
    Statement& bind(int index, const std::optional<QString>& text);
    Statement& bindUtf8(int index, const QByteArray& utf8);
    // Binds the text without a copy: `utf8` must stay as it is until the
    // statement has been stepped.
    Statement& bindUtf8Unchanged(int index, const QByteArray& utf8);
    Statement& bind(int index, std::int64_t number);
    Statement& bindNull(int index);
    Statement& bindBlob(int index, const void* bytes, int size);

    // True while a row is available.
    bool step();
    // True between a step that gave a row and the next reset.
    bool busy() const;
    void reset();
    // Resets for the next step with the same parameters bound, for a caller
    // that binds every one of them again.
    void rewind();

    bool isNull(int column) const;
    std::int64_t integer(int column) const;
    QString text(int column) const;
    // The column's text as SQLite holds it, valid until the next step or reset.
    std::string_view utf8(int column) const;
    std::optional<QString> value(int column) const;
    // The column's bytes, valid until the next step or reset.
    std::string_view blob(int column) const;

private:
    Statement& bindText(int index, const QByteArray& utf8, void (*lifetime)(void*));

    Catalogue& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Every write of the program: holds the write lock from its start and rolls
// back in its destructor unless committed (after a failure SQLite may have
// rolled back itself already; the failure is what the user is told, not the
// rollback). With `waiting` it waits for another program's write as
// Catalogue::beginWrite does, and is not begun when waiting() gives up.
class Transaction {
public:
    explicit Transaction(Catalogue& db, const std::function<bool()>& waiting = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    explicit operator bool() const { return !m_done; }
    void commit();

private:
    Catalogue& m_db;
    bool m_done = false;
};

} // namespace orvik::engine
