// What orvik-cli identify and volume print, in the text, tsv or json form.
#pragma once

#include "catalogue/VolumeRecognition.h"
#include "catalogue/VolumeSummary.h"
#include "cli/CliArguments.h"

#include <vector>

namespace orvik::cli {

// The volumes `catalogue` holds that a path is; each output ends in a newline.
QString identifyOutput(const std::vector<CataloguedVolume>& volumes, const QString& catalogue,
                       Format format);
QString volumeOutput(const VolumeSummary& volume, Format format);

} // namespace orvik::cli
