// Updating a volume in place: its medium walked again with the volume's own
// add options, compared with what the catalogue holds, and the old run
// replaced by the run an add of the medium writes now, with the volume's
// description, keywords and location, in one transaction. The new run is
// appended at the end of the catalogue, as an add's is.
#pragma once

#include "catalogue/RunDifference.h"
#include "core/engine/VolumeIdentity.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orvik {

class AppState;
class Progress;
class Prompt;
namespace engine {
class Catalogue;
}

struct VolumeUpdateRequest {
    std::int64_t rowid = 0; // any record of the volume
    QString path;           // the medium; "" for the directory recorded at its add
    bool dryRun = false;    // compare only
};

struct VolumeUpdateResult {
    enum class Outcome {
        Updated,
        Compared, // a dry run
        NoRecord, // no record has the rowid
        NoVolume, // no volume head comes before it
        Refused,  // the medium cannot be used; `problem` says why; nothing written
        Declined, // cancelled, or the difference not confirmed; nothing written
        Failed    // the write failed, told through the prompt; nothing written
    };
    Outcome outcome = Outcome::Updated;
    QString problem;
    QString path; // the directory walked
    RunDifference difference;
    std::int64_t head = 0; // the rowid of the updated volume's head
};

// The directory the volume holding `rowid` was added from; "" when it was
// added before that was recorded.
QString recordedTopDirectory(engine::Catalogue& db, std::int64_t rowid);

// The options of the add of the volume with `identity`; the current ones
// for a volume added before they were kept.
AddOptions volumeAddOptions(const std::optional<engine::VolumeIdentity>& identity,
                            const AppState& state);

// Why `path` cannot be the medium of the volume with `identity`; "" when it
// can. `recorded`: the path is the one recorded at the add.
QString mediumProblem(AppState& state, const std::optional<engine::VolumeIdentity>& identity,
                      const QString& path, bool recorded);

// The directories of a whole walk of `top` with `options`' archives and
// checksums (members' contents are read with their archives); none when
// cancelled or a listing failed (then `problem` says which).
std::optional<std::vector<TreeCollector::Directory>> walkWhole(AppState& state, const QString& top,
                                                               const AddOptions& options,
                                                               Progress& progress, bool& cancelFlag,
                                                               QString& problem);

// The checksum of a file of the medium, read now; a member's as its walk read it.
std::optional<engine::Checksum> readContent(const TreeCollector::Directory& directory,
                                            const TreeCollector::File& file);

// Updates the volume on the current catalogue. `confirm` sees the difference
// before anything is written (never with a dry run): false leaves the volume
// as it was. `cancelFlag` cancels as it cancels an add; another program's
// write is waited for as the add waits.
VolumeUpdateResult updateVolume(AppState& state, Progress& progress, Prompt& prompt,
                                bool& cancelFlag, const VolumeUpdateRequest& request,
                                const std::function<bool(const RunDifference&)>& confirm);

} // namespace orvik
