// What a volume was when it was added, kept beside CDTable in a table of its
// own keyed by the rowid of the volume's head (the first record of its run,
// which carries the label). Volumes added before it existed have no row, or,
// once the user gives one a location, a row with only the location: its
// Scanned is empty and the rest unknown, and it reads as no identity.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvik::engine {

class Catalogue;

struct VolumeIdentity {
    QString uuid;         // the file system's UUID or serial; "" when it has none
    QString fsType;       // "ext4", "iso9660"
    QString label;        // as read from the file system; "" when it has none
    QString topDirectory; // the directory added, as the system spells it
    QString place;        // that directory from its file system's root: "/" for the root
    std::int64_t totalBytes = 0, freeBytes = 0;
    // When the add began, ISO 8601 in UTC: "2026-11-02T09:15:00Z"; never empty
    // (a row without it holds only a location).
    QString scanned;
    // The add's options.
    bool useFilter = false;
    QString extensions;
    bool saveDates = false, saveLengths = false;
    bool lookInArchives = false; // archives' members catalogued as directories
    bool saveChecksums = false;  // its files' contents hashed (Checksums.h)
    // What the run holds: directories with a record, records and their bytes.
    std::int64_t directories = 0, files = 0, bytes = 0;
    QString location; // where the user keeps the medium ("Box 12, slot 3")
};

// The head's rowid with its identity.
struct IdentifiedVolume {
    std::int64_t head = 0;
    VolumeIdentity identity;
};

// The table and the trigger that takes a row away with its head, however the
// head is deleted (an erase, another program): a schema step of its own.
void addVolumeIdentityTable(Catalogue& db);
// The column that keeps whether the add looked inside archives: a schema
// step of its own (false for the volumes added before).
void addLookInArchivesColumn(Catalogue& db);
// Written inside the caller's transaction.
void writeVolumeIdentity(Catalogue& db, std::int64_t head, const VolumeIdentity& identity);
// For the deletion of the records `first` to `last` with the triggers off:
// their identities go, as the trigger takes them.
void forgetDeletedIdentities(Catalogue& db, std::int64_t first, std::int64_t last);
// None for a volume added without one, and in a catalogue of a version before
// the table (read as it is: a reader never migrates).
std::optional<VolumeIdentity> readVolumeIdentity(Catalogue& db, std::int64_t head);
std::vector<IdentifiedVolume> allVolumeIdentities(Catalogue& db);
// Whatever else is known of the volume; "" when none was set.
QString readVolumeLocation(Catalogue& db, std::int64_t head);
// Inside the caller's transaction. A volume without identity gets a row with
// only the location, which goes again when its location is set empty.
void writeVolumeLocation(Catalogue& db, std::int64_t head, const QString& location);

} // namespace orvik::engine
