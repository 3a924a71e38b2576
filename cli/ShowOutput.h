// What orvik-cli show prints: one resolved record and the files of its
// directory, in the text, tsv or json form.
#pragma once

#include "cli/CliArguments.h"
#include "details/DirectoryFiles.h"
#include "search/SearchQueries.h"

namespace orvik::cli {

// The whole output, ending in a newline.
QString showOutput(const ResolvedRecord& record, const DirectoryListing& listing, Format format);

} // namespace orvik::cli
