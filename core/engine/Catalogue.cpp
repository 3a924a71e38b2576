#include "core/engine/Catalogue.h"

#include "core/Error.h"
#include "core/engine/KillPoint.h"
#include "core/engine/OpenFiles.h"
#include "core/engine/Pattern.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <chrono>
#include <memory>
#include <sqlite3.h>
#include <thread>
#include <utility>

namespace orvik::engine {

namespace {

// A writer that waits for another program without limit tries this long at a
// time, letting events run in between.
constexpr int WriteTryMs = 100;

// SQLite's own text for a lock held elsewhere ("database is locked") does not
// tell the user what to do about it.
Error engineError(int number, const QString& text) {
    if ((number & 0xff) == SQLITE_BUSY || (number & 0xff) == SQLITE_LOCKED)
        return Error(number, QStringLiteral("Another program is using the catalogue; try again "
                                            "when it has finished (") +
                                 text + QStringLiteral(")"));
    return Error(number, text);
}

Error sqliteError(sqlite3* db, int code) {
    const int number = db ? sqlite3_extended_errcode(db) : code;
    const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    return engineError(number, QString::fromUtf8(text));
}

// like(text, pattern): the search pattern language, compiled once per
// statement and cached by SQLite with the pattern argument.
void likeFunction(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const Pattern* pattern = static_cast<Pattern*>(sqlite3_get_auxdata(context, 1));
    std::unique_ptr<Pattern> compiled;
    if (!pattern) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[1]));
        try {
            compiled =
                std::make_unique<Pattern>(QString::fromUtf8(text, sqlite3_value_bytes(args[1])));
        } catch (const Error& e) {
            // The query sees the pattern error's own number, not SQLite's generic 1.
            sqlite3_result_error(context, e.description().toUtf8().constData(), -1);
            sqlite3_result_error_code(context, e.number());
            return;
        }
        pattern = compiled.get();
    }
    const auto* subject = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const size_t length = size_t(sqlite3_value_bytes(args[0]));
    sqlite3_result_int(context, pattern->matchesUtf8({subject, length}));
    if (compiled)
        sqlite3_set_auxdata(context, 1, compiled.release(),
                            [](void* p) { delete static_cast<Pattern*>(p); });
}

} // namespace

Catalogue::Catalogue(const QString& path, Access access)
    : m_path(QFileInfo(path).absoluteFilePath()) {
    // SQLite's memory statistics take a global lock at every allocation;
    // nothing here reads them. Set once, before the first connection.
    static const bool unmeasured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    Q_UNUSED(unmeasured);
    static const bool killPoint = (installKillPointFromEnvironment(), true);
    Q_UNUSED(killPoint);
    if (!QFileInfo(m_path).isFile())
        throw Error(SQLITE_CANTOPEN,
                    QStringLiteral("Could not find file '") + m_path + QStringLiteral("'."));
    const int rc = sqlite3_open_v2(
        m_path.toUtf8().constData(), &m_db,
        (access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
            SQLITE_OPEN_NOMUTEX,
        nullptr);
    if (rc != SQLITE_OK) {
        Error error = sqliteError(m_db, rc);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw error;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    sqlite3_create_function_v2(m_db, "orvik_like", 2,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               likeFunction, nullptr, nullptr, nullptr);
    OpenFiles::add(m_path, this);
    try {
        exec("PRAGMA cache_size=-16384");
    } catch (...) {
        close();
        throw;
    }
}

Catalogue::~Catalogue() {
    close();
}

void Catalogue::close() {
    if (!m_db) return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    OpenFiles::remove(m_path, this);
}

void Catalogue::setBusyTimeout(int milliseconds) {
    m_busyTimeoutMs = milliseconds;
    sqlite3_busy_timeout(handle(), milliseconds);
}

sqlite3* Catalogue::handle() const {
    if (!m_db)
        throw Error(errors::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
    return m_db;
}

void Catalogue::fail() const {
    throw sqliteError(m_db, SQLITE_ERROR);
}

void Catalogue::exec(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(handle(), sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text =
            message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw engineError(sqlite3_extended_errcode(m_db), text);
    }
}

bool Catalogue::checkWritable(const std::function<bool()>& waiting) {
    if (!m_readOnlyReason.isEmpty()) throw Error(SQLITE_READONLY, m_readOnlyReason);
    if (sqlite3_db_readonly(handle(), "main") == 1)
        throw Error(SQLITE_READONLY, QStringLiteral("attempt to write a readonly database"));
    // Rolled back as it goes out of scope.
    Transaction probe(*this, waiting);
    if (!probe) return false;
    // Rewriting the header's user version makes SQLite open the journal
    // beside the file, so a folder that refuses it shows up here too.
    exec(("PRAGMA user_version = " + QByteArray::number(userVersion())).constData());
    return true;
}

void Catalogue::releaseReadLocks() {
    if (!m_db) return;
    for (sqlite3_stmt* s = sqlite3_next_stmt(m_db, nullptr); s; s = sqlite3_next_stmt(m_db, s))
        if (sqlite3_stmt_busy(s) && sqlite3_stmt_readonly(s)) sqlite3_reset(s);
}

void Catalogue::noteWrite() {
    ++m_writes;
}

void Catalogue::prepareWrites() {
    if (!m_readOnlyReason.isEmpty()) throw Error(SQLITE_READONLY, m_readOnlyReason);
    if (m_preparingWrites || !m_prepareWrites) return;
    if (m_writesPrepared && userVersion() == m_preparedVersion) return;
    m_preparingWrites = true;
    const auto done = qScopeGuard([this] { m_preparingWrites = false; });
    m_prepareWrites(*this);
    m_preparedVersion = userVersion();
    m_writesPrepared = true;
}

std::int64_t Catalogue::userVersion() {
    Statement version(*this, "PRAGMA user_version");
    version.step();
    return version.integer(0);
}

bool Catalogue::beginWrite(const std::function<bool()>& waiting) {
    // Another writer of this process on the shared connection (an add while
    // the event loop runs) is waited for as another program would be.
    while (inTransaction()) {
        if (!waiting)
            throw engineError(SQLITE_BUSY, QStringLiteral("another write of this program is open"));
        if (!waiting()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(WriteTryMs / 5));
    }
    prepareWrites();
    ++m_transactions;
    // A read lock of this connection's own would have the write lock refused
    // without waiting.
    releaseReadLocks();
    if (!waiting) {
        exec("BEGIN IMMEDIATE");
        return true;
    }
    sqlite3_busy_timeout(handle(), WriteTryMs);
    const auto restore = qScopeGuard([this] {
        if (m_db) sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    });
    for (;;) {
        try {
            exec("BEGIN IMMEDIATE");
            return true;
        } catch (const Error& error) {
            if ((error.number() & 0xff) != SQLITE_BUSY) throw;
        }
        if (!waiting()) return false;
        releaseReadLocks();
    }
}

void Catalogue::commit() {
    if (m_beforeCommit && hasPendingWrites()) m_beforeCommit();
    exec("COMMIT");
}

void Catalogue::rollback() {
    if (inTransaction()) exec("ROLLBACK");
    m_writesPrepared = false;
    ++m_writes;
}

bool Catalogue::hasPendingWrites() const {
    return m_db && sqlite3_txn_state(m_db, nullptr) == SQLITE_TXN_WRITE;
}

bool Catalogue::inTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

Statement::Statement(Catalogue& db, const char* sql) : m_db(db) {
    if (sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) !=
        SQLITE_OK)
        db.fail();
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

QByteArray storedText(const QString& text) {
    if (text.isValidUtf16()) return text.toUtf8();
    QString replaced = text;
    for (qsizetype i = 0; i < replaced.size(); ++i) {
        const bool pair = replaced[i].isHighSurrogate() && i + 1 < replaced.size() &&
                          replaced[i + 1].isLowSurrogate();
        if (pair)
            ++i;
        else if (replaced[i].isSurrogate())
            replaced[i] = QChar::ReplacementCharacter;
    }
    return replaced.toUtf8();
}

Statement& Statement::bind(int index, const QString& text) {
    // As UTF-8, the encoding catalogues are stored in, so SQLite need not convert it.
    return bindUtf8(index, storedText(text));
}

Statement& Statement::bindUtf8(int index, const QByteArray& utf8) {
    return bindText(index, utf8, SQLITE_TRANSIENT);
}

Statement& Statement::bind(int index, const std::optional<QString>& text) {
    return text ? bind(index, *text) : bindNull(index);
}

Statement& Statement::bind(int index, std::int64_t number) {
    if (sqlite3_bind_int64(m_stmt, index, number) != SQLITE_OK) m_db.fail();
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK) m_db.fail();
    return *this;
}

bool Statement::step() {
    if (!m_db.isOpen())
        throw Error(errors::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const Error error = sqliteError(m_db.handle(), rc);
    sqlite3_reset(m_stmt);
    throw error;
}

Statement& Statement::bindUtf8Unchanged(int index, const QByteArray& utf8) {
    return bindText(index, utf8, SQLITE_STATIC);
}

Statement& Statement::bindBlob(int index, const void* bytes, int size) {
    if (sqlite3_bind_blob(m_stmt, index, bytes, size, SQLITE_TRANSIENT) != SQLITE_OK) m_db.fail();
    return *this;
}

std::string_view Statement::blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return {bytes ? bytes : "", size_t(sqlite3_column_bytes(m_stmt, column))};
}

Statement& Statement::bindText(int index, const QByteArray& utf8, void (*lifetime)(void*)) {
    // Handed over with its terminating zero when it holds no other, so SQLite
    // need not copy it again to add one where a CHECK reads its length.
    const bool terminated = qstrlen(utf8.constData()) == size_t(utf8.size());
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), terminated ? -1 : int(utf8.size()),
                          lifetime) != SQLITE_OK)
        m_db.fail();
    return *this;
}

void Statement::rewind() {
    sqlite3_reset(m_stmt);
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::busy() const {
    return sqlite3_stmt_busy(m_stmt);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt, column));
}

std::string_view Statement::utf8(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return {bytes ? bytes : "", size_t(sqlite3_column_bytes(m_stmt, column))};
}

std::optional<QString> Statement::value(int column) const {
    if (isNull(column)) return std::nullopt;
    return text(column);
}

ReadHold::ReadHold(Catalogue& db) : m_db(db) {
    m_db.m_readHolds++;
}

ReadHold::~ReadHold() {
    if (--m_db.m_readHolds == 0) m_db.releaseReadLocks();
}

void ReadHold::pause() {
    m_db.releaseReadLocks();
}

Transaction::Transaction(Catalogue& db, const std::function<bool()>& waiting) : m_db(db) {
    m_done = !m_db.beginWrite(waiting);
}

Transaction::~Transaction() {
    if (!m_done) {
        try {
            m_db.rollback();
        } catch (...) {
        }
    }
}

void Transaction::commit() {
    m_db.commit();
    m_done = true;
}

void atomically(Catalogue& db, const char* name, const std::function<void()>& work) {
    if (!db.inTransaction()) {
        Transaction transaction(db);
        work();
        transaction.commit();
        return;
    }
    const QByteArray savepoint(name);
    db.exec(("SAVEPOINT " + savepoint).constData());
    try {
        work();
        db.exec(("RELEASE " + savepoint).constData());
    } catch (...) {
        if (db.inTransaction()) {
            try {
                db.exec(("ROLLBACK TO " + savepoint + "; RELEASE " + savepoint).constData());
            } catch (const Error&) {
                // The transaction can only be rolled back as a whole now.
            }
        }
        throw;
    }
}

} // namespace orvik::engine
