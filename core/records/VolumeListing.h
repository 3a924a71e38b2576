// A volume's directories as the catalogue holds them: the run of records from
// the volume's head up to the next head, whose directory heads carry the
// paths. Only the run's rowids are read, so a listing costs what the volume
// holds, however large the catalogue.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvik {

namespace engine {
class Catalogue;
}

struct VolumeRun {
    std::int64_t head = 0, end = 0; // the run's rowids: from head, up to before end
    QString top;                    // the directory added, as stored: upper case, ending in "/"
};

struct ListedFile {
    QString name, date, length, bookmark; // as stored; "" where Null
};

struct ListedDirectory {
    QString path;               // as stored, ending in "/"
    QStringList subdirectories; // their names, in the order the run reaches them
    std::vector<ListedFile> files;
};

// The rowid of the head of the volume holding record `rowid`: the first
// record of its run, which carries the label. None when no record has that
// rowid or no volume head comes before it.
std::optional<std::int64_t> findVolumeHead(engine::Catalogue& db, std::int64_t rowid);

// The run holding record `rowid`; none where findVolumeHead() finds none.
std::optional<VolumeRun> findVolumeRun(engine::Catalogue& db, std::int64_t rowid);

// The stored path that `directory` names: a path as stored ("/MEDIA/CD/A/",
// the final "/" optional) or one below the volume's top ("a/b"; "" is the
// top), in any letter case, since the add stores names in upper case.
QString storedDirectory(const VolumeRun& run, const QString& directory);

// The directory at stored `path` with its subdirectories (also those that
// hold no file of their own) and files; with `recursive` every directory
// below it too, each before its subdirectories. Empty when the run holds
// nothing at or below `path`.
std::vector<ListedDirectory> listVolumeDirectory(engine::Catalogue& db, const VolumeRun& run,
                                                 const QString& path, bool recursive);

} // namespace orvik
