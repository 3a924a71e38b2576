// The edit of a volume's texts: its description and keywords, stored on the
// head of its run as the details window stores them, and where the medium
// is kept.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orvik {

namespace engine {
class Catalogue;
}

// What to set; a field left out stays as it is.
struct VolumeEdit {
    std::optional<QString> description; // upper-cased; may not be empty
    std::optional<QString> keywords;    // upper-cased; empty stores Null
    std::optional<QString> location;    // as typed
};

struct VolumeEditResult {
    enum class Outcome { Edited, NoRecord, NoVolume, EmptyDescription, GaveUp };
    struct Change {
        QString field; // "Description", "Keywords", "Location"
        QString before, after;
    };
    Outcome outcome = Outcome::Edited;
    std::int64_t head = 0;
    std::vector<Change> changes; // only the fields whose value changed
};

// Edits the volume that holds the record `rowid`, in one transaction that
// waits for another program's write as Transaction does with `waiting`
// (GaveUp: nothing written). Migrates an older catalogue first, as every
// write does; throws the engine's Error when the catalogue refuses the write.
VolumeEditResult editVolume(engine::Catalogue& db, std::int64_t rowid, const VolumeEdit& edit,
                            const std::function<bool()>& waiting);

} // namespace orvik
