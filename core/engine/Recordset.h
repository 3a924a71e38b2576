// A DAO-style cursor over CDTable: moves, finds with typed criteria,
// bookmarks (the rowid as decimal text) and edits. Records always come in
// append order. Every move or find is one indexed seek. Under a ReadHold a
// scan that goes on from where it stopped continues its open statement;
// without one, no statement is left holding the catalogue between calls.
#pragma once

#include "core/engine/CatalogueTable.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace orvik::engine {

class Catalogue;
class IndexedFind;
class Statement;
class Transaction;

enum class RecordsetType { Table = 1, Dynaset = 2 };

// The lengths and dates a file match's records must hold, so that a scan
// need not read the records outside them. A record passes when its CDFileLen
// read as a number, or its CDFileDate as text, lies within; a record without
// one never does. The caller still judges what it reads: a length that is no
// number may pass here.
struct RecordBounds {
    std::optional<std::int64_t> minLength, maxLength;
    std::optional<QString> newer, older; // from `newer` on, before `older`
    bool any() const { return minLength || maxLength || newer || older; }
    bool operator==(const RecordBounds& other) const = default;
};

// What a find looks for. Built from typed values only, so user text is always
// a bound parameter and never SQL.
class Criterion {
public:
    // "CDPath<> Null": the field holds a value.
    static Criterion NotNull(Field field);
    // "(CDFile like 'p') OR (CDPath like 'p')" in the search pattern language,
    // among the records within `bounds`.
    static Criterion FileOrPathLike(const QString& pattern, const RecordBounds& bounds = {});

    bool operator==(const Criterion& other) const = default;

private:
    friend class Recordset;
    enum class Kind { All, NotNull, FileOrPathLike };
    Criterion(Kind kind, Field field, QString pattern, RecordBounds bounds = {})
        : m_kind(kind), m_field(field), m_pattern(std::move(pattern)), m_bounds(std::move(bounds)) {
    }
    Kind m_kind;
    Field m_field;
    QString m_pattern;
    RecordBounds m_bounds;
};

class Recordset {
public:
    Recordset(std::shared_ptr<Catalogue> db, RecordsetType type);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    RecordsetType type() const { return m_type; }
    const std::shared_ptr<Catalogue>& database() const { return m_db; }

    bool BOF() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool NoMatch() const { return m_noMatch; }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    QString Bookmark() const;
    void setBookmark(const QString& bookmark);

    // Called between stretches of records that a pattern find examines without
    // a match, with none of the find's statements open: the moment to let the
    // event loop run. Returning false gives the find up; it then reports no match.
    void setPauseDuringFinds(std::function<bool()> pause);

    void FindFirst(const Criterion& criterion);
    void FindLast(const Criterion& criterion);
    void FindNext(const Criterion& criterion);
    void FindPrevious(const Criterion& criterion);

    // The current record's field; Null comes back as an empty optional.
    Value Fields(Field field) const;

    void AddNew();
    void Edit();
    // Assigns a field of the record being added or edited ("Collect"); empty
    // text is stored as Null.
    void setField(Field field, const Value& value);
    void Update();
    void CancelUpdate();
    void Delete();
    // Bookmark of the record added or changed last.
    QString LastModified() const;

    void Close();
    bool isOpen() const;

private:
    enum class Direction { Forward, Backward };
    struct Scan;

    Scan& scanFor(const Criterion& criterion, Direction direction);
    // Steps the scan from `from` (exclusive); positions on the hit or returns false.
    bool seek(const Criterion& criterion, Direction direction, std::int64_t from);
    // The file match through the trigram index, when the catalogue has one
    // and the pattern a literal run it can look up; null otherwise.
    IndexedFind* indexedFind(const QString& pattern, Direction direction);
    bool seekIndexed(const QString& pattern, Direction direction, std::int64_t from);
    void requireOpen() const;
    void requireCurrent() const;
    // A write joins the transaction its caller holds, or is one of its own.
    std::unique_ptr<Transaction> ownTransaction();
    // Before the first write: adds what an older catalogue lacks.
    void prepareWrites();
    static std::int64_t windowEdge(std::int64_t start, Direction direction);
    // The rowid of the first record beyond `rowid` in `direction`.
    std::optional<std::int64_t> neighbour(std::int64_t rowid, Direction direction);
    std::int64_t nextRowid();
    void loadRow(const Statement& statement);

    std::shared_ptr<Catalogue> m_db;
    RecordsetType m_type;
    bool m_bof = true, m_eof = true, m_noMatch = false;
    bool m_deleted = false;
    std::int64_t m_rowid = 0; // the current record, when neither BOF nor EOF
    Row m_row;
    enum class EditMode { None, Adding, Editing } m_editMode = EditMode::None;
    Row m_buffer;
    unsigned m_assigned = 0; // bit per field assigned since Edit
    std::int64_t m_lastModified = 0;
    bool m_writing = false; // the catalogue has been made ready for writes
    std::map<std::tuple<int, int, int, int>, std::unique_ptr<Scan>> m_scans;
    std::optional<bool> m_hasFileIndex;
    std::unique_ptr<IndexedFind> m_indexedFinds[2];
    std::unique_ptr<Statement> m_insert, m_update, m_delete, m_nextRowidQuery;
    std::unique_ptr<Statement> m_nextRowidAfter, m_nextRowidBefore;
    std::function<bool()> m_pauseDuringFinds;
    std::int64_t m_nextRowid = 0;
    std::uint64_t m_rowidTransaction = UINT64_MAX;
};

} // namespace orvik::engine
