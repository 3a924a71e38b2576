// What orvik-cli ls prints, in the text, tsv or json form.
#pragma once

#include "cli/CliArguments.h"
#include "core/records/VolumeListing.h"

#include <vector>

namespace orvik::cli {

// Each directory in turn: text gives its path and then its subdirectories
// ("NAME/") and files; tsv and json give one entry a line. Ends in a newline.
QString listingOutput(const std::vector<ListedDirectory>& listing, Format format);

} // namespace orvik::cli
