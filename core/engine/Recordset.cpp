#include "engine/Recordset.h"

#include "Error.h"
#include "engine/Database.h"

#include <limits>
#include <sqlite3.h>

namespace orvik::engine {

namespace {

constexpr std::int64_t First = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Last = std::numeric_limits<std::int64_t>::max();
constexpr const char* Columns =
    "SELECT rowid, CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, CDKeywords "
    "FROM CDTable ";

Error noCurrentRecord() {
    return Error(errors::NoCurrentRecord, QStringLiteral("No current record."));
}

} // namespace

struct Recordset::Scan {
    std::unique_ptr<Statement> statement;
    QString pattern;
    bool active = false;
    std::int64_t lastRowid = 0;
    std::uint64_t writes = 0;
};

Criterion Criterion::NotNull(Field field) {
    return {Kind::NotNull, field, {}};
}

Criterion Criterion::FileOrPathLike(const QString& pattern) {
    return {Kind::FileOrPathLike, Field::CDFile, pattern};
}

Recordset::Recordset(std::shared_ptr<Database> db, RecordsetType type)
    : m_db(std::move(db)), m_type(type) {
    requireOpen();
    ensureHeadIndexes(*m_db);
    m_insert = std::make_unique<Statement>(
        *m_db, "INSERT INTO CDTable (CDVolume, CDDescription, CDFile, CDFileDate, CDPath, "
               "CDFileLen, CDKeywords) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    // A recordset opens on its first record, or at BOF and EOF when empty.
    if (seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Forward, First))
        m_bof = m_eof = false;
}

Recordset::~Recordset() = default;

void Recordset::requireOpen() const {
    if (!m_db || !m_db->isOpen())
        throw Error(errors::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (m_bof || m_eof) throw noCurrentRecord();
    if (m_deleted) throw Error(3167, QStringLiteral("Record is deleted."));
}

Recordset::Scan& Recordset::scanFor(const Criterion& criterion, Direction direction) {
    const auto key = std::make_tuple(int(criterion.m_kind), int(criterion.m_field), int(direction));
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
        sql += "AND (orvik_like(CDFile, ?2) OR orvik_like(CDPath, ?2)) ";
        break;
    }
    sql += forward ? "ORDER BY rowid" : "ORDER BY rowid DESC";
    slot = std::make_unique<Scan>();
    slot->statement = std::make_unique<Statement>(*m_db, sql.constData());
    return *slot;
}

bool Recordset::seek(const Criterion& criterion, Direction direction, std::int64_t from) {
    requireOpen();
    Scan& scan = scanFor(criterion, direction);
    const bool continues = scan.active && scan.statement->busy() && scan.lastRowid == from &&
                           scan.writes == m_db->writeCount() && scan.pattern == criterion.m_pattern;
    if (!continues) {
        scan.statement->reset();
        scan.statement->bind(1, from);
        if (criterion.m_kind == Criterion::Kind::FileOrPathLike)
            scan.statement->bind(2, criterion.m_pattern);
        scan.pattern = criterion.m_pattern;
        scan.writes = m_db->writeCount();
        scan.active = true;
    }
    bool found = false;
    try {
        found = scan.statement->step();
    } catch (...) {
        scan.active = false;
        throw;
    }
    if (!found) {
        // Release the read lock at once so other connections can write.
        scan.statement->reset();
        scan.active = false;
        return false;
    }
    loadRow(*scan.statement);
    scan.lastRowid = m_rowid;
    m_bof = m_eof = false;
    return true;
}

void Recordset::loadRow(const Statement& statement) {
    m_rowid = statement.integer(0);
    for (int i = 0; i < FieldCount; ++i)
        m_row[size_t(i)] = statement.value(i + 1);
    m_deleted = false;
}

void Recordset::resetScans() {
    for (auto& [key, scan] : m_scans) {
        scan->statement->reset();
        scan->active = false;
    }
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
    if (ok && rowid != First &&
        seek(Criterion(Criterion::Kind::All, Field::CDFile, {}), Direction::Forward, rowid - 1) &&
        m_rowid == rowid)
        return;
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
    m_editMode = EditMode::Editing;
}

void Recordset::setField(Field field, const Value& value) {
    if (m_editMode == EditMode::None)
        throw Error(errors::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    m_buffer[size_t(field)] = value;
}

void Recordset::Update() {
    requireOpen();
    if (m_editMode == EditMode::None)
        throw Error(errors::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    Statement* statement = m_insert.get();
    if (m_editMode == EditMode::Editing) {
        if (!m_update)
            m_update = std::make_unique<Statement>(
                *m_db, "UPDATE CDTable SET CDVolume = ?1, CDDescription = ?2, CDFile = ?3, "
                       "CDFileDate = ?4, CDPath = ?5, CDFileLen = ?6, CDKeywords = ?7 "
                       "WHERE rowid = ?8");
        statement = m_update.get();
        statement->bind(8, m_rowid);
    }
    for (int i = 0; i < FieldCount; ++i)
        statement->bind(i + 1, m_buffer[size_t(i)]);
    m_db->noteWrite();
    try {
        statement->step();
    } catch (...) {
        statement->reset();
        throw;
    }
    statement->reset();
    if (m_editMode == EditMode::Editing) {
        m_row = m_buffer;
        m_lastModified = m_rowid;
    } else {
        m_lastModified = sqlite3_last_insert_rowid(m_db->handle());
    }
    m_editMode = EditMode::None;
}

void Recordset::CancelUpdate() {
    m_editMode = EditMode::None;
}

void Recordset::Delete() {
    requireCurrent();
    if (!m_delete)
        m_delete = std::make_unique<Statement>(*m_db, "DELETE FROM CDTable WHERE rowid = ?1");
    m_delete->bind(1, m_rowid);
    m_db->noteWrite();
    m_delete->step();
    m_delete->reset();
    m_deleted = true;
}

QString Recordset::LastModified() const {
    if (m_lastModified == 0) throw noCurrentRecord();
    return QString::number(m_lastModified);
}

void Recordset::Close() {
    m_scans.clear();
    m_insert.reset();
    m_update.reset();
    m_delete.reset();
    m_db.reset();
    m_bof = m_eof = true;
}

bool Recordset::isOpen() const {
    return m_db && m_db->isOpen();
}

} // namespace orvik::engine
