#include "engine/CatalogueTable.h"

#include "Error.h"
#include "engine/Database.h"

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
// directory or volume; keyed on a constant so it is ordered by rowid.
constexpr const char* HeadIndexes =
    "CREATE INDEX IF NOT EXISTS CDTable_PathHeads ON CDTable((CDPath IS NOT NULL)) "
    "WHERE CDPath IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS CDTable_VolumeHeads ON CDTable((CDVolume IS NOT NULL)) "
    "WHERE CDVolume IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS CDTable_DescriptionHeads ON CDTable((CDDescription IS NOT NULL)) "
    "WHERE CDDescription IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS CDTable_KeywordRecords ON CDTable((CDKeywords IS NOT NULL)) "
    "WHERE CDKeywords IS NOT NULL;";

} // namespace

void createCatalogueTable(Database& db) {
    Transaction transaction(db);
    db.exec("CREATE TABLE CDTable ("
            "CDVolume TEXT(4096) CHECK (length(CDVolume) <= 4096),"
            "CDDescription TEXT(4096) CHECK (length(CDDescription) <= 4096),"
            "CDFile TEXT(4096) CHECK (length(CDFile) <= 4096),"
            "CDFileDate DATETIME CHECK (length(CDFileDate) <= 4096),"
            "CDPath TEXT(4096) CHECK (length(CDPath) <= 4096),"
            "CDFileLen TEXT(20) CHECK (length(CDFileLen) <= 20),"
            "CDKeywords TEXT(4096) CHECK (length(CDKeywords) <= 4096))");
    db.exec(HeadIndexes);
    transaction.commit();
}

void ensureHeadIndexes(Database& db) {
    try {
        db.exec(HeadIndexes);
    } catch (const Error&) {
        // A read-only catalogue is still readable, only slower to walk.
    }
}

} // namespace orvik::engine
