#include "engine/CatalogueTable.h"

#include "Error.h"
#include "engine/Database.h"
#include "engine/FileIndex.h"

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

template <size_t N> void addMissing(Database& db, const Addition (&additions)[N]) {
    Statement exists(db, "SELECT 1 FROM sqlite_master WHERE name = ?1");
    for (const Addition& addition : additions) {
        exists.bind(1, QString::fromLatin1(addition.name));
        const bool present = exists.step();
        exists.reset();
        if (!present) db.exec(addition.sql);
    }
}

} // namespace

const char* const InsertRecordSql =
    "INSERT INTO CDTable (CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, "
    "CDKeywords, rowid) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
const char* const NextRowidSql = "SELECT max(coalesce((SELECT max(rowid) FROM CDTable), 0), "
                                 "(SELECT Highest FROM CDTableRowids)) + 1";

void createCatalogueTable(Database& db) {
    Transaction transaction(db);
    db.exec(CreateTable);
    addMissing(db, HeadIndexes);
    addMissing(db, RowidKeeping);
    addFileIndex(db);
    transaction.commit();
}

void prepareForWriting(Database& db) {
    addMissing(db, HeadIndexes);
    addMissing(db, RowidKeeping);
    addFileIndex(db);
}

bool hasOwnChecks(Database& db) {
    Statement definition(db,
                         "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'CDTable'");
    return definition.step() && definition.text(0) == QLatin1String(CreateTable);
}

} // namespace orvik::engine
