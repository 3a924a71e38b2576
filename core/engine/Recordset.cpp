#include "core/engine/Recordset.h"

#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/FileIndex.h"
#include "core/engine/IndexedFind.h"

#include <limits>
#include <sqlite3.h>

namespace orvik::engine {

namespace {

constexpr std::int64_t First = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Last = std::numeric_limits<std::int64_t>::max();
constexpr const char* Columns =
    "SELECT rowid, CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, CDKeywords "
    "FROM CDTable ";

void bindBounds(Statement& statement, const RecordBounds& bounds) {
    if (bounds.minLength) statement.bind(4, *bounds.minLength);
    if (bounds.maxLength) statement.bind(5, *bounds.maxLength);
    if (bounds.newer) statement.bind(6, *bounds.newer);
    if (bounds.older) statement.bind(7, *bounds.older);
}

Error noCurrentRecord() {
    return Error(errors::NoCurrentRecord, QStringLiteral("No current record."));
}

} // namespace

// Rowids a pattern find examines between two pauses: a few milliseconds' work.
constexpr std::int64_t WindowRows = 8192;

struct Recordset::Scan {
    std::unique_ptr<Statement> statement;
    QString pattern;
    RecordBounds bounds;
    bool active = false;
    bool windowed = false;
    std::int64_t windowEdge = 0; // the last rowid of the window being stepped through
    std::int64_t lastRowid = 0;
    std::uint64_t writes = 0;
};

Criterion Criterion::NotNull(Field field) {
    return {Kind::NotNull, field, {}};
}

Criterion Criterion::FileOrPathLike(const QString& pattern, const RecordBounds& bounds) {
    return {Kind::FileOrPathLike, Field::CDFile, pattern, bounds};
}

Recordset::Recordset(std::shared_ptr<Catalogue> db, RecordsetType type)
    : m_db(std::move(db)), m_type(type) {
    requireOpen();
    // A recordset opens on its first record, or at BOF and EOF when empty.
    if (seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Forward, First))
        m_bof = m_eof = false;
}

Recordset::~Recordset() = default;

void Recordset::requireOpen() const {
    if (!m_db || !m_db->isOpen())
        throw Error(errors::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

void Recordset::prepareWrites() {
    m_db->prepareWrites();
    if (!m_writing) m_hasFileIndex.reset();
    m_writing = true;
}

std::unique_ptr<Transaction> Recordset::ownTransaction() {
    if (m_db->inTransaction()) return nullptr;
    return std::make_unique<Transaction>(*m_db);
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (m_bof || m_eof) throw noCurrentRecord();
    if (m_deleted) throw Error(3167, QStringLiteral("Record is deleted."));
}

Recordset::Scan& Recordset::scanFor(const Criterion& criterion, Direction direction) {
    // A statement for each set of bounds given, so each tests only those.
    const RecordBounds& bounds = criterion.m_bounds;
    const int bounded = (bounds.minLength ? 1 : 0) | (bounds.maxLength ? 2 : 0) |
                        (bounds.newer ? 4 : 0) | (bounds.older ? 8 : 0);
    const auto key =
        std::make_tuple(int(criterion.m_kind), int(criterion.m_field), int(direction), bounded);
    auto& slot = m_scans[key];
    if (slot) return *slot;
    const bool forward = direction == Direction::Forward;
    QByteArray sql = Columns;
    sql += forward ? "WHERE rowid > ?1 " : "WHERE rowid < ?1 ";
    switch (criterion.m_kind) {
    case Criterion::Kind::All:
        break;
    case Criterion::Kind::NotNull: {
        // The "(F IS NOT NULL)=1" form lets SQLite walk the field's head index in rowid order.
        const QByteArray name = fieldName(criterion.m_field);
        sql += "AND " + name + " IS NOT NULL AND (" + name + " IS NOT NULL)=1 ";
        break;
    }
    case Criterion::Kind::FileOrPathLike:
        // Examined a window of rowids at a time, so a long stretch without a
        // match can pause between windows with no statement open.
        sql += forward ? "AND rowid <= ?3 " : "AND rowid >= ?3 ";
        // The bounds come before the pattern: a record outside them costs no match.
        if (bounds.minLength) sql += "AND CAST(CDFileLen AS INTEGER) >= ?4 ";
        if (bounds.maxLength) sql += "AND CAST(CDFileLen AS INTEGER) <= ?5 ";
        if (bounds.newer) sql += "AND CDFileDate >= ?6 ";
        if (bounds.older) sql += "AND CDFileDate < ?7 ";
        sql += "AND (orvik_like(CDFile, ?2) OR orvik_like(CDPath, ?2)) ";
        break;
    }
    sql += forward ? "ORDER BY rowid" : "ORDER BY rowid DESC";
    slot = std::make_unique<Scan>();
    slot->windowed = criterion.m_kind == Criterion::Kind::FileOrPathLike;
    slot->statement = std::make_unique<Statement>(*m_db, sql.constData());
    return *slot;
}

IndexedFind* Recordset::indexedFind(const QString& pattern, Direction direction) {
    if (!m_hasFileIndex) m_hasFileIndex = hasFileIndex(*m_db);
    if (!*m_hasFileIndex) return nullptr;
    auto& find = m_indexedFinds[direction == Direction::Forward ? 0 : 1];
    if (!find) find = std::make_unique<IndexedFind>(*m_db, direction == Direction::Forward);
    return find->uses(pattern) ? find.get() : nullptr;
}

bool Recordset::seekIndexed(const QString& pattern, Direction direction, std::int64_t from) {
    for (;;) {
        IndexedFind* find = indexedFind(pattern, direction);
        switch (find->next(from, [this](const Statement& row) { loadRow(row); })) {
        case IndexedFind::Outcome::Found:
            m_bof = m_eof = false;
            return true;
        case IndexedFind::Outcome::End:
            return false;
        case IndexedFind::Outcome::Stretch:
            break;
        }
        from = find->reached();
        if (m_pauseDuringFinds && !m_pauseDuringFinds()) return false;
        requireOpen(); // the pause may have closed the recordset
    }
}

bool Recordset::seek(const Criterion& criterion, Direction direction, std::int64_t from) {
    requireOpen();
    if (criterion.m_kind == Criterion::Kind::FileOrPathLike &&
        indexedFind(criterion.m_pattern, direction))
        return seekIndexed(criterion.m_pattern, direction, from);
    Scan* scan = &scanFor(criterion, direction);
    bool continues = scan->active && scan->statement->busy() && scan->lastRowid == from &&
                     scan->writes == m_db->writeCount() && scan->pattern == criterion.m_pattern &&
                     scan->bounds == criterion.m_bounds;
    std::int64_t start = from;
    for (;;) {
        if (!continues) {
            scan->statement->reset();
            scan->statement->bind(1, start);
            if (criterion.m_kind == Criterion::Kind::FileOrPathLike)
                scan->statement->bind(2, criterion.m_pattern);
            if (criterion.m_bounds.any()) bindBounds(*scan->statement, criterion.m_bounds);
            if (scan->windowed) {
                scan->windowEdge = windowEdge(start, direction);
                scan->statement->bind(3, scan->windowEdge);
            }
            scan->pattern = criterion.m_pattern;
            scan->bounds = criterion.m_bounds;
            scan->writes = m_db->writeCount();
            scan->active = true;
        }
        continues = false;
        bool found = false;
        try {
            found = scan->statement->step();
        } catch (...) {
            scan->active = false;
            throw;
        }
        if (found) {
            loadRow(*scan->statement);
            scan->lastRowid = m_rowid;
            m_bof = m_eof = false;
        }
        // Outside a query's hold the read lock goes at once, so other programs can write.
        if (!found || !m_db->holdsReads()) {
            scan->statement->reset();
            scan->active = false;
        }
        if (found || !scan->windowed) return found;
        // The next window begins at the next record, so a gap in the rowids costs one seek.
        const std::optional<std::int64_t> next = neighbour(scan->windowEdge, direction);
        if (!next) return false;
        start = direction == Direction::Forward ? *next - 1 : *next + 1;
        if (m_pauseDuringFinds && !m_pauseDuringFinds()) return false;
        requireOpen(); // the pause may have closed the recordset
        scan = &scanFor(criterion, direction);
    }
}

std::int64_t Recordset::windowEdge(std::int64_t start, Direction direction) {
    if (direction == Direction::Forward)
        return start > Last - WindowRows ? Last : start + WindowRows;
    return start < First + WindowRows ? First : start - WindowRows;
}

std::optional<std::int64_t> Recordset::neighbour(std::int64_t rowid, Direction direction) {
    auto& statement = direction == Direction::Forward ? m_nextRowidAfter : m_nextRowidBefore;
    if (!statement)
        statement = std::make_unique<Statement>(
            *m_db, direction == Direction::Forward
                       ? "SELECT rowid FROM CDTable WHERE rowid > ?1 ORDER BY rowid LIMIT 1"
                       : "SELECT rowid FROM CDTable WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1");
    statement->bind(1, rowid);
    std::optional<std::int64_t> found;
    if (statement->step()) found = statement->integer(0);
    statement->reset();
    return found;
}

void Recordset::setPauseDuringFinds(std::function<bool()> pause) {
    m_pauseDuringFinds = std::move(pause);
}

void Recordset::loadRow(const Statement& statement) {
    m_rowid = statement.integer(0);
    for (int i = 0; i < FieldCount; ++i)
        m_row[size_t(i)] = statement.value(i + 1);
    m_deleted = false;
}

void Recordset::MoveFirst() {
    if (!seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Forward, First))
        throw noCurrentRecord();
}

void Recordset::MoveLast() {
    if (!seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Backward, Last))
        throw noCurrentRecord();
}

void Recordset::MoveNext() {
    requireOpen();
    if (m_eof) throw noCurrentRecord();
    const std::int64_t from = m_bof ? First : m_rowid;
    if (!seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Forward, from)) {
        m_eof = true;
        m_bof = false;
    }
}

void Recordset::MovePrevious() {
    requireOpen();
    if (m_bof) throw noCurrentRecord();
    const std::int64_t from = m_eof ? Last : m_rowid;
    if (!seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Backward, from)) {
        m_bof = true;
        m_eof = false;
    }
}

QString Recordset::Bookmark() const {
    requireCurrent();
    return QString::number(m_rowid);
}

void Recordset::setBookmark(const QString& bookmark) {
    requireOpen();
    bool ok = false;
    const std::int64_t rowid = bookmark.toLongLong(&ok);
    // The seek may land on a later record; a bookmark that names none moves nothing.
    const auto bof = m_bof, eof = m_eof, deleted = m_deleted;
    const auto kept = m_rowid;
    const Row row = m_row;
    if (ok && rowid != First &&
        seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Forward, rowid - 1) &&
        m_rowid == rowid)
        return;
    m_bof = bof, m_eof = eof, m_deleted = deleted, m_rowid = kept, m_row = row;
    throw Error(errors::InvalidBookmark, QStringLiteral("Not a valid bookmark."));
}

void Recordset::FindFirst(const Criterion& criterion) {
    m_noMatch = !seek(criterion, Direction::Forward, First);
}

void Recordset::FindLast(const Criterion& criterion) {
    m_noMatch = !seek(criterion, Direction::Backward, Last);
}

void Recordset::FindNext(const Criterion& criterion) {
    requireOpen();
    if (m_eof && !m_bof) {
        m_noMatch = true;
        return;
    }
    m_noMatch = !seek(criterion, Direction::Forward, m_bof ? First : m_rowid);
}

void Recordset::FindPrevious(const Criterion& criterion) {
    requireOpen();
    if (m_bof && !m_eof) {
        m_noMatch = true;
        return;
    }
    m_noMatch = !seek(criterion, Direction::Backward, m_eof ? Last : m_rowid);
}

Value Recordset::Fields(Field field) const {
    requireCurrent();
    return m_row[size_t(field)];
}

void Recordset::AddNew() {
    requireOpen();
    m_buffer = Row{};
    m_editMode = EditMode::Adding;
}

void Recordset::Edit() {
    requireCurrent();
    m_buffer = m_row;
    m_assigned = 0;
    m_editMode = EditMode::Editing;
}

void Recordset::setField(Field field, const Value& value) {
    if (m_editMode == EditMode::None)
        throw Error(errors::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    // An empty field is Null, never empty text.
    m_buffer[size_t(field)] = value && value->isEmpty() ? std::nullopt : value;
    m_assigned |= 1 << int(field);
}

void Recordset::Update() {
    requireOpen();
    if (m_editMode == EditMode::None)
        throw Error(errors::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    m_db->noteWrite();
    const auto own = ownTransaction();
    prepareWrites();
    if (!m_insert) m_insert = std::make_unique<Statement>(*m_db, InsertRecordSql);
    Statement* statement = m_insert.get();
    if (m_editMode == EditMode::Editing) {
        // Only the fields assigned since Edit are written, so a change another
        // program made meanwhile to the other fields is kept.
        if (!m_update)
            m_update = std::make_unique<Statement>(
                *m_db, "UPDATE CDTable SET "
                       "CDVolume = CASE WHEN ?9 & 1 THEN ?1 ELSE CDVolume END, "
                       "CDDescription = CASE WHEN ?9 & 2 THEN ?2 ELSE CDDescription END, "
                       "CDFile = CASE WHEN ?9 & 4 THEN ?3 ELSE CDFile END, "
                       "CDFileDate = CASE WHEN ?9 & 8 THEN ?4 ELSE CDFileDate END, "
                       "CDPath = CASE WHEN ?9 & 16 THEN ?5 ELSE CDPath END, "
                       "CDFileLen = CASE WHEN ?9 & 32 THEN ?6 ELSE CDFileLen END, "
                       "CDKeywords = CASE WHEN ?9 & 64 THEN ?7 ELSE CDKeywords END "
                       "WHERE rowid = ?8");
        statement = m_update.get();
        statement->bind(8, m_rowid);
        statement->bind(9, std::int64_t(m_assigned));
    } else {
        statement->bind(8, nextRowid());
    }
    for (int i = 0; i < FieldCount; ++i)
        statement->bind(i + 1, m_buffer[size_t(i)]);
    try {
        statement->step();
    } catch (...) {
        statement->reset();
        throw;
    }
    statement->reset();
    const std::int64_t written =
        m_editMode == EditMode::Editing ? m_rowid : sqlite3_last_insert_rowid(m_db->handle());
    if (own) own->commit();
    if (m_editMode == EditMode::Editing)
        m_row = m_buffer;
    else
        m_nextRowid = written + 1;
    m_lastModified = written;
    m_editMode = EditMode::None;
}

// Within one transaction of this connection nobody else appends, so the
// number is looked up once per transaction rather than once per record.
std::int64_t Recordset::nextRowid() {
    const bool known = m_db->inTransaction() && m_rowidTransaction == m_db->transactionNumber() &&
                       sqlite3_last_insert_rowid(m_db->handle()) == m_lastModified;
    if (known) return m_nextRowid;
    if (!m_nextRowidQuery) m_nextRowidQuery = std::make_unique<Statement>(*m_db, NextRowidSql);
    m_nextRowidQuery->step();
    m_nextRowid = m_nextRowidQuery->integer(0);
    m_nextRowidQuery->reset();
    m_rowidTransaction = m_db->transactionNumber();
    return m_nextRowid;
}

void Recordset::CancelUpdate() {
    m_editMode = EditMode::None;
}

void Recordset::Delete() {
    requireCurrent();
    m_db->noteWrite();
    const auto own = ownTransaction();
    prepareWrites();
    if (!m_delete)
        m_delete = std::make_unique<Statement>(*m_db, "DELETE FROM CDTable WHERE rowid = ?1");
    m_delete->bind(1, m_rowid);
    m_delete->step();
    m_delete->reset();
    if (own) own->commit();
    m_deleted = true;
}

QString Recordset::LastModified() const {
    if (m_lastModified == 0) throw noCurrentRecord();
    return QString::number(m_lastModified);
}

void Recordset::Close() {
    m_scans.clear();
    for (auto& find : m_indexedFinds)
        find.reset();
    m_insert.reset();
    m_update.reset();
    m_delete.reset();
    m_nextRowidQuery.reset();
    m_nextRowidAfter.reset();
    m_nextRowidBefore.reset();
    m_db.reset();
    m_bof = m_eof = true;
}

bool Recordset::isOpen() const {
    return m_db && m_db->isOpen();
}

} // namespace orvik::engine
