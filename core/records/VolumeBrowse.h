// What the browse of a catalogue reads: the head of every volume, found
// through the heads' own index, and one volume's whole tree from its run.
#pragma once

#include "core/records/VolumeListing.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace orvik {

namespace engine {
class Catalogue;
}

struct VolumeHead {
    std::int64_t rowid = 0;     // the first record of the volume's run
    QString label, description; // as stored; "" where Null
};

// Every volume head of the catalogue, in append order. Reads only the heads,
// however many records the volumes hold.
std::vector<VolumeHead> readVolumeHeads(engine::Catalogue& db);

// The volume whose head is record `head`: its top directory first, then every
// directory below it, each before its subdirectories, with their files. Reads
// that volume's run alone. Empty when `head` is no volume's head any more.
std::vector<ListedDirectory> readVolumeTree(engine::Catalogue& db, std::int64_t head);

} // namespace orvik
