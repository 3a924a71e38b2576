// "unique": the files of one volume whose content no other volume holds, the
// files at risk should that medium fail.
#pragma once

#include "search/AnswerCatalogues.h"

namespace orvik {

struct UniqueFiles {
    bool volumeFound = false;      // false: the bookmark names no record of a volume
    QString label;                 // the volume's label and description
    std::vector<AnswerFile> files; // the files at risk, in append order
    // The volume's files without a checksum, which cannot be compared and are
    // left out; empty files, never at risk, are left out uncounted.
    qint64 withoutChecksum = 0;
};

// The files at risk of the volume of the current catalogue that holds the
// record `bookmark`, compared with every other volume of the catalogues.
UniqueFiles findUniqueFiles(AnswerCatalogues& catalogues, std::int64_t bookmark);

} // namespace orvik
