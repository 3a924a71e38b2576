// One self-contained web page of the catalogue: a table of its volumes, each
// opening on demand to its directories and files (kept as data in the page
// until then, so a page of a million records opens at once), and a search
// box over every name. No network, no file besides itself.
#pragma once

#include <memory>

namespace orvik {

class ExportOutput;
class ExportSink;

std::unique_ptr<ExportSink> htmlExport(ExportOutput& out);

} // namespace orvik
