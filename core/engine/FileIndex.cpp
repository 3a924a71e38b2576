#include "core/engine/FileIndex.h"

#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Pattern.h"

#include <set>
#include <string_view>

namespace orvik::engine {

namespace {

// detail=none keeps only which records hold a trigram, not where: a third of
// the size, and enough, since the matcher confirms every candidate. Folding
// case (case_sensitive 0) changes nothing for the upper-case text this
// program stores, and still finds text another program stored in lower case.
constexpr const char* CreateIndex =
    "CREATE VIRTUAL TABLE CDFileIndex USING fts5(CDFile, CDPath, content='CDTable', "
    "content_rowid='rowid', tokenize='trigram case_sensitive 0', detail=none, columnsize=0);"
    "CREATE TABLE CDIndexAdded (Id INTEGER PRIMARY KEY);"
    "CREATE TABLE CDIndexRemoved (Id INTEGER PRIMARY KEY, CDFile TEXT, CDPath TEXT)";

// A record leaves the index only with the names it was indexed with: those
// of a record not waiting in CDIndexAdded, kept the first time it changes.
constexpr const char* Triggers =
    "CREATE TRIGGER CDTable_IndexInsert AFTER INSERT ON CDTable BEGIN "
    "INSERT OR IGNORE INTO CDIndexAdded VALUES (NEW.rowid); END;"
    "CREATE TRIGGER CDTable_IndexDelete AFTER DELETE ON CDTable BEGIN "
    "INSERT OR IGNORE INTO CDIndexRemoved SELECT OLD.rowid, OLD.CDFile, OLD.CDPath "
    "WHERE NOT EXISTS (SELECT 1 FROM CDIndexAdded WHERE Id = OLD.rowid);"
    "DELETE FROM CDIndexAdded WHERE Id = OLD.rowid; END;"
    "CREATE TRIGGER CDTable_IndexUpdate AFTER UPDATE ON CDTable "
    "WHEN OLD.rowid IS NOT NEW.rowid OR OLD.CDFile IS NOT NEW.CDFile "
    "OR OLD.CDPath IS NOT NEW.CDPath BEGIN "
    "INSERT OR IGNORE INTO CDIndexRemoved SELECT OLD.rowid, OLD.CDFile, OLD.CDPath "
    "WHERE NOT EXISTS (SELECT 1 FROM CDIndexAdded WHERE Id = OLD.rowid);"
    "DELETE FROM CDIndexAdded WHERE Id = OLD.rowid;"
    "INSERT OR IGNORE INTO CDIndexAdded VALUES (NEW.rowid); END";

constexpr const char* Parts = "('CDFileIndex', 'CDIndexAdded', 'CDIndexRemoved', "
                              "'CDTable_IndexInsert', 'CDTable_IndexDelete', "
                              "'CDTable_IndexUpdate')";
constexpr int PartCount = 6;

constexpr int TrigramLength = 3;

bool breaksRun(char32_t c) {
    // Text never stores these (lone surrogates become U+FFFD), so a trigram
    // with one could only find less than the matcher would.
    return c == 0 || (c >= 0xD800 && c <= 0xDFFF);
}

bool hasRows(Catalogue& db, const char* table) {
    Statement any(db, (QByteArray("SELECT 1 FROM ") + table + " LIMIT 1").constData());
    return any.step();
}

// How many records the index holds, deleted ones it keeps included: the
// first number of FTS5's averages record (row 1 of its data table), a SQLite
// varint. 0 for an index that has none yet.
std::int64_t totalRows(std::string_view averages) {
    std::uint64_t value = 0;
    for (size_t i = 0; i < averages.size() && i < 9; ++i) {
        const auto byte = std::uint8_t(averages[i]);
        if (i == 8) return std::int64_t((value << 8) | byte);
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) break;
    }
    return std::int64_t(value);
}

// Takes the notes of changes into the index, whole or not at all: a note
// taken twice would corrupt the index.
void updateFileIndex(Catalogue& db) {
    const bool removed = hasRows(db, "CDIndexRemoved"), added = hasRows(db, "CDIndexAdded");
    if (!removed && !added) return;
    atomically(db, "FileIndex", [&] {
        if (removed)
            db.exec("INSERT INTO CDFileIndex (CDFileIndex, rowid, CDFile, CDPath) "
                    "SELECT 'delete', Id, CDFile, CDPath FROM CDIndexRemoved;"
                    "DELETE FROM CDIndexRemoved");
        if (added)
            db.exec("INSERT INTO CDFileIndex (rowid, CDFile, CDPath) SELECT Id, CDFile, CDPath "
                    "FROM CDIndexAdded JOIN CDTable ON CDTable.rowid = Id;"
                    "DELETE FROM CDIndexAdded");
    });
}

} // namespace

bool hasFileIndex(Catalogue& db) {
    Statement count(
        db, (QByteArray("SELECT count(*) FROM sqlite_master WHERE name IN ") + Parts).constData());
    count.step();
    return count.integer(0) == PartCount;
}

void addFileIndex(Catalogue& db) {
    // A part left by another program is built afresh.
    if (!hasFileIndex(db))
        atomically(db, "FileIndex", [&] {
            db.exec("DROP TRIGGER IF EXISTS CDTable_IndexInsert;"
                    "DROP TRIGGER IF EXISTS CDTable_IndexDelete;"
                    "DROP TRIGGER IF EXISTS CDTable_IndexUpdate;"
                    "DROP TABLE IF EXISTS CDFileIndex;"
                    "DROP TABLE IF EXISTS CDIndexAdded;"
                    "DROP TABLE IF EXISTS CDIndexRemoved");
            db.exec(CreateIndex);
            db.exec(Triggers);
            db.exec("INSERT INTO CDFileIndex (CDFileIndex) VALUES ('rebuild')");
        });
    updateFileIndex(db);
    db.setBeforeCommit([&db] { updateFileIndex(db); });
}

void indexAppended(Catalogue& db, std::int64_t first, std::int64_t last) {
    if (!hasFileIndex(db)) return;
    // Indexed with the names they have, so a later change or delete (noted
    // by the triggers) finds them as the index holds them.
    Statement note(db, "INSERT INTO CDFileIndex (rowid, CDFile, CDPath) SELECT rowid, "
                       "CDFile, CDPath FROM CDTable WHERE rowid BETWEEN ?1 AND ?2");
    note.bind(1, first);
    note.bind(2, last);
    note.step();
}

void keepDeletedInIndex(Catalogue& db, std::int64_t first, std::int64_t last) {
    if (!hasFileIndex(db)) return;
    Statement forget(db, "DELETE FROM CDIndexRemoved WHERE Id BETWEEN ?1 AND ?2");
    forget.bind(1, first).bind(2, last);
    forget.step();
}

void forgetDeletedInIndex(Catalogue& db, std::int64_t first, std::int64_t last) {
    if (!hasFileIndex(db)) return;
    Statement added(db, "DELETE FROM CDIndexAdded WHERE Id BETWEEN ?1 AND ?2");
    added.bind(1, first).bind(2, last);
    added.step();
    keepDeletedInIndex(db, first, last);
}

void compactFileIndex(Catalogue& db) {
    if (!hasFileIndex(db)) return;
    Statement counts(db, "SELECT (SELECT block FROM CDFileIndex_data WHERE id = 1), "
                         "(SELECT count(*) FROM CDTable) - (SELECT count(*) FROM CDIndexAdded)");
    counts.step();
    const std::int64_t present = counts.integer(1), deleted = totalRows(counts.utf8(0)) - present;
    counts.reset();
    if (deleted <= 0 || deleted < present) return;
    // The rebuild indexes every record as it is now: no note applies any more.
    atomically(db, "FileIndex", [&] {
        db.exec("INSERT INTO CDFileIndex (CDFileIndex) VALUES ('rebuild');"
                "DELETE FROM CDIndexAdded; DELETE FROM CDIndexRemoved");
    });
}

QStringList fileIndexTerms(const Pattern& pattern) {
    std::set<std::u32string> trigrams;
    for (const std::u32string& run : pattern.literalRuns()) {
        size_t start = 0;
        for (size_t end = 0; end <= run.size(); ++end) {
            if (end < run.size() && !breaksRun(run[end])) continue;
            for (size_t i = start; i + TrigramLength <= end; ++i)
                trigrams.insert(run.substr(i, TrigramLength));
            start = end + 1;
        }
    }
    QStringList terms;
    for (const std::u32string& trigram : trigrams) {
        QString term = QString::fromStdU32String(trigram);
        term.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        terms << QLatin1Char('"') + term + QLatin1Char('"');
    }
    return terms;
}

} // namespace orvik::engine
