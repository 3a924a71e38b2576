#include "core/engine/VolumeIdentity.h"

#include "core/engine/Catalogue.h"

namespace orvik::engine {

namespace {

constexpr const char* WrittenColumns =
    "Uuid, FsType, Label, TopDirectory, Place, TotalBytes, FreeBytes, Scanned, UseFilter, "
    "Extensions, SaveDates, SaveLengths, Directories, Files, Bytes, Location, LookInArchives, "
    "SaveChecksums";

// Rows with only a location have no scan.
constexpr const char* Identified = "Scanned <> ''";

bool tableExists(Catalogue& db) {
    Statement exists(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                         "'CDVolumeIdentity'");
    return exists.step();
}

// The columns as read: a catalogue of an older version, which a reader leaves
// as it is, lacks the later columns, and its adds did not use those options.
QByteArray readColumns(Catalogue& db) {
    Statement column(db, "SELECT 1 FROM pragma_table_info('CDVolumeIdentity') WHERE name = ?1");
    QByteArray columns(WrittenColumns);
    for (const char* later : {"LookInArchives", "SaveChecksums"}) {
        column.bind(1, QString::fromLatin1(later));
        if (!column.step()) columns.replace(later, "0");
        column.reset();
    }
    return columns;
}

VolumeIdentity identityAt(const Statement& row, int first) {
    VolumeIdentity v;
    int c = first;
    v.uuid = row.text(c++);
    v.fsType = row.text(c++);
    v.label = row.text(c++);
    v.topDirectory = row.text(c++);
    v.place = row.text(c++);
    v.totalBytes = row.integer(c++);
    v.freeBytes = row.integer(c++);
    v.scanned = row.text(c++);
    v.useFilter = row.integer(c++) != 0;
    v.extensions = row.text(c++);
    v.saveDates = row.integer(c++) != 0;
    v.saveLengths = row.integer(c++) != 0;
    v.directories = row.integer(c++);
    v.files = row.integer(c++);
    v.bytes = row.integer(c++);
    v.location = row.text(c++);
    v.lookInArchives = row.integer(c++) != 0;
    v.saveChecksums = row.integer(c++) != 0;
    return v;
}

} // namespace

void addVolumeIdentityTable(Catalogue& db) {
    db.exec("CREATE TABLE CDVolumeIdentity (HeadRowid INTEGER PRIMARY KEY, Uuid TEXT NOT NULL, "
            "FsType TEXT NOT NULL, Label TEXT NOT NULL, TopDirectory TEXT NOT NULL, "
            "Place TEXT NOT NULL, TotalBytes INTEGER NOT NULL, FreeBytes INTEGER NOT NULL, "
            "Scanned TEXT NOT NULL, UseFilter INTEGER NOT NULL, Extensions TEXT NOT NULL, "
            "SaveDates INTEGER NOT NULL, SaveLengths INTEGER NOT NULL, "
            "Directories INTEGER NOT NULL, Files INTEGER NOT NULL, Bytes INTEGER NOT NULL, "
            "Location TEXT NOT NULL DEFAULT '')");
    db.exec("CREATE TRIGGER CDTable_DropVolumeIdentity AFTER DELETE ON CDTable "
            "BEGIN DELETE FROM CDVolumeIdentity WHERE HeadRowid = OLD.rowid; END");
}

void addLookInArchivesColumn(Catalogue& db) {
    db.exec("ALTER TABLE CDVolumeIdentity ADD COLUMN LookInArchives INTEGER NOT NULL DEFAULT 0");
}

void forgetDeletedIdentities(Catalogue& db, std::int64_t first, std::int64_t last) {
    Statement forget(db, "DELETE FROM CDVolumeIdentity WHERE HeadRowid BETWEEN ?1 AND ?2");
    forget.bind(1, first).bind(2, last);
    forget.step();
}

void writeVolumeIdentity(Catalogue& db, std::int64_t head, const VolumeIdentity& v) {
    Statement insert(db, (QByteArray("INSERT INTO CDVolumeIdentity (HeadRowid, ") + WrittenColumns +
                          ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
                          "?14, ?15, ?16, ?17, ?18, ?19)")
                             .constData());
    insert.bind(1, head)
        .bind(2, v.uuid)
        .bind(3, v.fsType)
        .bind(4, v.label)
        .bind(5, v.topDirectory)
        .bind(6, v.place)
        .bind(7, v.totalBytes)
        .bind(8, v.freeBytes)
        .bind(9, v.scanned)
        .bind(10, std::int64_t(v.useFilter))
        .bind(11, v.extensions)
        .bind(12, std::int64_t(v.saveDates))
        .bind(13, std::int64_t(v.saveLengths))
        .bind(14, v.directories)
        .bind(15, v.files)
        .bind(16, v.bytes)
        .bind(17, v.location)
        .bind(18, std::int64_t(v.lookInArchives))
        .bind(19, std::int64_t(v.saveChecksums));
    db.noteWrite();
    insert.step();
}

std::optional<VolumeIdentity> readVolumeIdentity(Catalogue& db, std::int64_t head) {
    if (!tableExists(db)) return std::nullopt;
    Statement row(db, (QByteArray("SELECT ") + readColumns(db) +
                       " FROM CDVolumeIdentity WHERE HeadRowid = ?1 AND " + Identified)
                          .constData());
    row.bind(1, head);
    if (!row.step()) return std::nullopt;
    return identityAt(row, 0);
}

std::vector<IdentifiedVolume> allVolumeIdentities(Catalogue& db) {
    std::vector<IdentifiedVolume> volumes;
    if (!tableExists(db)) return volumes;
    Statement rows(db, (QByteArray("SELECT HeadRowid, ") + readColumns(db) +
                        " FROM CDVolumeIdentity WHERE " + Identified + " ORDER BY HeadRowid")
                           .constData());
    while (rows.step())
        volumes.push_back({rows.integer(0), identityAt(rows, 1)});
    return volumes;
}

QString readVolumeLocation(Catalogue& db, std::int64_t head) {
    if (!tableExists(db)) return {};
    Statement row(db, "SELECT Location FROM CDVolumeIdentity WHERE HeadRowid = ?1");
    row.bind(1, head);
    return row.step() ? row.text(0) : QString();
}

void writeVolumeLocation(Catalogue& db, std::int64_t head, const QString& location) {
    Statement upsert(db, "INSERT INTO CDVolumeIdentity (HeadRowid, Uuid, FsType, Label, "
                         "TopDirectory, Place, TotalBytes, FreeBytes, Scanned, UseFilter, "
                         "Extensions, SaveDates, SaveLengths, Directories, Files, Bytes, "
                         "Location) VALUES (?1, '', '', '', '', '', 0, 0, '', 0, '', 0, 0, 0, "
                         "0, 0, ?2) ON CONFLICT (HeadRowid) DO UPDATE SET Location = ?2");
    upsert.bind(1, head).bind(2, location);
    db.noteWrite();
    upsert.step();
    Statement unknown(db, (QByteArray("DELETE FROM CDVolumeIdentity WHERE HeadRowid = ?1 AND "
                                      "Location = '' AND NOT ") +
                           Identified)
                              .constData());
    unknown.bind(1, head);
    unknown.step();
}

} // namespace orvik::engine
