// Resolves the records a forward scan meets exactly as Lookup_All_Fields does,
// but follows the directory heads and volume heads alongside the scan with
// cursors of its own: a match costs a few steps of an open index scan instead
// of walks back and a re-positioning, whether the matches share a run or not.
#pragma once

#include "core/engine/CatalogueTable.h"
#include "core/records/RecordResolution.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace orvik {

namespace engine {
class Catalogue;
class Recordset;
} // namespace engine

class OwnerTracker {
public:
    explicit OwnerTracker(const std::shared_ptr<engine::Catalogue>& db);
    ~OwnerTracker();

    // The record `rs` stands on, resolved; `rs` stays where it is. Records
    // should come in ascending order; a step back or a long jump costs a seek.
    ResolvedRecord resolve(const engine::Recordset& rs);

private:
    // The nearest record at or before a position whose field holds a value.
    class HeadFollower;
    std::unique_ptr<HeadFollower> m_directories, m_volumes;
};

} // namespace orvik
