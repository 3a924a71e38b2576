// "duplicates": the files held more than once, in groups of the same content
// (the same checksum), largest wasted space first. Files without a checksum
// that share name and length form groups of probable duplicates.
#pragma once

#include "search/AnswerCatalogues.h"

#include <optional>

namespace orvik {

// The bytes that all copies but one take.
inline qint64 wastedSpace(const std::optional<qint64>& length, size_t copies) {
    return length.value_or(0) * qint64(copies - 1);
}

struct DuplicateGroup {
    std::optional<engine::Checksum> checksum; // none: a probable group, by name and length
    std::optional<qint64> length;             // of each file, when recorded
    std::vector<AnswerFile> files;            // by catalogue, then in append order

    qint64 wasted() const { return wastedSpace(length, files.size()); }
};

// The groups in the catalogues, largest wasted space first. Empty files are
// left out (any two are alike and cost nothing), and with `minSize` the files
// smaller than it and those without a recorded length.
std::vector<DuplicateGroup> findDuplicates(AnswerCatalogues& catalogues,
                                           std::optional<qint64> minSize);

} // namespace orvik
