// A volume as orvik-cli volume shows it: its head's texts, its identity when
// it was added with one, and what its run holds.
#pragma once

#include "core/engine/VolumeIdentity.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace orvik {

struct VolumeSummary {
    std::int64_t head = 0;
    QString label, description, keywords;
    std::optional<engine::VolumeIdentity> identity;
    QString location; // also of a volume without identity, once the user sets one
    // The identity's counts, or for a volume without one those of its records.
    std::int64_t directories = 0, files = 0, bytes = 0;
};

// The volume holding the record `rowid`; none when no record has that rowid
// or no volume head comes before it.
std::optional<VolumeSummary> summariseVolume(engine::Catalogue& db, std::int64_t rowid);

} // namespace orvik
