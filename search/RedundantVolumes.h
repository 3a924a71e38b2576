// "redundant": the volumes every file of which another volume holds too, by
// checksum, and the bytes each would free. A volume without checksums is
// never redundant: nothing says its files are held elsewhere.
#pragma once

#include "search/AnswerCatalogues.h"

namespace orvik {

struct RedundantVolume {
    QString catalogue;
    ResolvedRecord head; // the volume's first record, with its label, description and keywords
    qint64 files = 0, bytes = 0;
};

// Each volume listed could go on its own; of two volumes that hold each
// other's files, both are listed. Empty files need no copy and are not
// counted. In catalogue order, then append order.
std::vector<RedundantVolume> findRedundantVolumes(AnswerCatalogues& catalogues);

} // namespace orvik
