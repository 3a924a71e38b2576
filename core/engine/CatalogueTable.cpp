#include "core/engine/CatalogueTable.h"

#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Checksums.h"
#include "core/engine/FileIndex.h"
#include "core/engine/VolumeIdentity.h"

#include <algorithm>
#include <iterator>
#include <sqlite3.h>

namespace orvik::engine {

const char* fieldName(Field field) {
    switch (field) {
    case Field::CDVolume:
        return "CDVolume";
    case Field::CDDescription:
        return "CDDescription";
    case Field::CDFile:
        return "CDFile";
    case Field::CDFileDate:
        return "CDFileDate";
    case Field::CDPath:
        return "CDPath";
    case Field::CDFileLen:
        return "CDFileLen";
    case Field::CDKeywords:
        return "CDKeywords";
    }
    return "";
}

namespace {

// Only heads carry these fields, so each index holds a few entries per
// directory or volume; keyed on a constant so it is ordered by rowid. A table
// with an index also keeps its rowids through VACUUM, which renumbers the
// records of a table without one: bookmarks and the file index rely on that.
struct Addition {
    const char* name;
    const char* sql;
};
constexpr Addition HeadIndexes[] = {
    {"CDTable_PathHeads", "CREATE INDEX CDTable_PathHeads ON CDTable((CDPath IS NOT NULL)) "
                          "WHERE CDPath IS NOT NULL"},
    {"CDTable_VolumeHeads", "CREATE INDEX CDTable_VolumeHeads ON CDTable((CDVolume IS NOT NULL)) "
                            "WHERE CDVolume IS NOT NULL"},
    {"CDTable_DescriptionHeads",
     "CREATE INDEX CDTable_DescriptionHeads ON CDTable((CDDescription IS NOT NULL)) "
     "WHERE CDDescription IS NOT NULL"},
    {"CDTable_KeywordRecords", "CREATE INDEX CDTable_KeywordRecords ON "
                               "CDTable((CDKeywords IS NOT NULL)) WHERE CDKeywords IS NOT NULL"},
};

// A bookmark is a rowid, and SQLite would hand the rowid of a deleted last
// record to the next one appended: CDTableRowids remembers the highest rowid
// ever deleted, and appends number their records above it.
constexpr Addition RowidKeeping[] = {
    {"CDTableRowids", "CREATE TABLE CDTableRowids (Highest INTEGER NOT NULL);"
                      "INSERT INTO CDTableRowids VALUES (0)"},
    {"CDTable_KeepRowids", "CREATE TRIGGER CDTable_KeepRowids AFTER DELETE ON CDTable "
                           "WHEN OLD.rowid > (SELECT Highest FROM CDTableRowids) "
                           "BEGIN UPDATE CDTableRowids SET Highest = OLD.rowid; END"},
};

constexpr const char* CreateTable =
    "CREATE TABLE CDTable ("
    "CDVolume TEXT(4096) CHECK (length(CDVolume) <= 4096),"
    "CDDescription TEXT(4096) CHECK (length(CDDescription) <= 4096),"
    "CDFile TEXT(4096) CHECK (length(CDFile) <= 4096),"
    "CDFileDate DATETIME CHECK (length(CDFileDate) <= 4096),"
    "CDPath TEXT(4096) CHECK (length(CDPath) <= 4096),"
    "CDFileLen TEXT(20) CHECK (length(CDFileLen) <= 20),"
    "CDKeywords TEXT(4096) CHECK (length(CDKeywords) <= 4096))";

// The header's mark of a catalogue whose CDTable this program made ("ORVK").
constexpr int OwnTableMark = 0x4F52564B;

template <size_t N> void addMissing(Catalogue& db, const Addition (&additions)[N]) {
    Statement exists(db, "SELECT 1 FROM sqlite_master WHERE name = ?1");
    for (const Addition& addition : additions) {
        exists.bind(1, QString::fromLatin1(addition.name));
        const bool present = exists.step();
        exists.reset();
        if (!present) db.exec(addition.sql);
    }
}

// Version 1: what releases before versions added at a catalogue's first
// write. They wrote CDTable with exactly CreateTable, so its stored text is
// what tells their table from one of another make, once, here.
void addHeadsRowidsAndFileIndex(Catalogue& db) {
    addMissing(db, HeadIndexes);
    addMissing(db, RowidKeeping);
    addFileIndex(db);
    Statement definition(db,
                         "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'CDTable'");
    if (definition.step() && definition.text(0) == QLatin1String(CreateTable)) {
        definition.reset();
        db.exec(("PRAGMA application_id = " + QByteArray::number(OwnTableMark)).constData());
    }
}

// The steps from each version to the next, in order: step i makes version i + 1.
// A new table is keyed by its record's rowid and removed with the record.
constexpr void (*MigrationSteps[])(Catalogue&) = {
    addHeadsRowidsAndFileIndex, addVolumeIdentityTable, addLookInArchivesColumn, addChecksumTable};
static_assert(std::size(MigrationSteps) == SchemaVersion);

void setSchemaVersion(Catalogue& db, int version) {
    db.exec(("PRAGMA user_version = " + QByteArray::number(version)).constData());
}

} // namespace

const char* const InsertRecordSql =
    "INSERT INTO CDTable (CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, "
    "CDKeywords, rowid) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
const char* const NextRowidSql = "SELECT max(coalesce((SELECT max(rowid) FROM CDTable), 0), "
                                 "(SELECT Highest FROM CDTableRowids)) + 1";

void createCatalogueTable(Catalogue& db) {
    Transaction transaction(db);
    db.exec(CreateTable);
    addMissing(db, HeadIndexes);
    addMissing(db, RowidKeeping);
    addFileIndex(db);
    addVolumeIdentityTable(db);
    addLookInArchivesColumn(db);
    addChecksumTable(db);
    db.exec(("PRAGMA application_id = " + QByteArray::number(OwnTableMark)).constData());
    setSchemaVersion(db, SchemaVersion);
    transaction.commit();
}

int schemaVersion(Catalogue& db) {
    Statement version(db, "PRAGMA user_version");
    version.step();
    return int(version.integer(0));
}

QString readOnlyReason(int version) {
    if (version <= SchemaVersion) return {};
    return QStringLiteral("This catalogue was written by a newer version of Orvik (catalogue "
                          "version %1, this one knows up to %2); it is opened read-only.")
        .arg(version)
        .arg(SchemaVersion);
}

void prepareForWriting(Catalogue& db) {
    const int version = schemaVersion(db);
    if (const QString reason = readOnlyReason(version); !reason.isEmpty())
        throw Error(SQLITE_READONLY, reason);
    // A file without the table is no catalogue yet (one being defined) or
    // none at all: its writes say so themselves.
    Statement table(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'CDTable'");
    if (!table.step()) return;
    table.reset();
    for (int next = std::max(version, 0) + 1; next <= SchemaVersion; ++next)
        atomically(db, "Migration", [&] {
            MigrationSteps[next - 1](db);
            setSchemaVersion(db, next);
        });
    addFileIndex(db);
}

bool hasOwnChecks(Catalogue& db) {
    Statement mark(db, "PRAGMA application_id");
    return mark.step() && mark.integer(0) == OwnTableMark;
}

int deleteRecords(Catalogue& db, std::int64_t first, std::int64_t last) {
    db.prepareWrites();
    db.noteWrite();
    Statement remove(db, "DELETE FROM CDTable WHERE rowid BETWEEN ?1 AND ?2");
    remove.bind(1, first).bind(2, last);
    remove.step();
    const int deleted = sqlite3_changes(db.handle());
    keepDeletedInIndex(db, first, last);
    return deleted;
}

int deleteRecordsInBulk(Catalogue& db, std::int64_t first, std::int64_t last) {
    db.prepareWrites();
    db.noteWrite();
    Statement highest(db, "UPDATE CDTableRowids SET Highest = (SELECT max(rowid) FROM CDTable "
                          "WHERE rowid BETWEEN ?1 AND ?2) WHERE Highest < (SELECT max(rowid) "
                          "FROM CDTable WHERE rowid BETWEEN ?1 AND ?2)");
    highest.bind(1, first).bind(2, last);
    highest.step();
    forgetDeletedIdentities(db, first, last);
    forgetDeletedChecksums(db, first, last);
    forgetDeletedInIndex(db, first, last);
    Statement remove(db, "DELETE FROM CDTable WHERE rowid BETWEEN ?1 AND ?2");
    remove.bind(1, first).bind(2, last);
    remove.step();
    return sqlite3_changes(db.handle());
}

} // namespace orvik::engine
