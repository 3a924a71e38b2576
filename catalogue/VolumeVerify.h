// Verifying a volume: its medium read again and each file compared with what
// the catalogue keeps of it, its checksum where the add computed one, its
// length and date. Nothing is written.
#pragma once

#include "catalogue/RunDifference.h"

#include <QString>
#include <cstdint>

namespace orvik {

class AppState;
class Progress;

struct VolumeVerifyRequest {
    std::int64_t rowid = 0; // any record of the volume
    QString path;           // the medium; "" for the directory recorded at its add
};

struct VolumeVerifyResult {
    enum class Outcome {
        Verified,
        NoRecord, // no record has the rowid
        NoVolume, // no volume head comes before it
        Refused,  // the medium cannot be used; `problem` says why
        Cancelled
    };
    Outcome outcome = Outcome::Verified;
    QString problem;
    QString path; // the directory read
    // Changed (~), missing (-), unreadable (!), new (+) and moved (>) files.
    RunDifference difference;
    bool checksumsKept = false; // else only lengths and dates were compared

    bool allMatch() const { return difference.files.empty(); }
    // "5 unchanged, 1 changed, 0 missing, 0 unreadable, 0 new, 0 moved",
    // and why no content was compared when the volume kept no checksums.
    QString summary() const;
};

// Verifies the volume holding `request.rowid` on the current catalogue.
// `cancelFlag` cancels as it cancels an add.
VolumeVerifyResult verifyVolume(AppState& state, Progress& progress, bool& cancelFlag,
                                const VolumeVerifyRequest& request);

} // namespace orvik
