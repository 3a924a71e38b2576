// orvik's own options, --help and --version: answered before Qt starts, so
// they need no display.
#pragma once

#include <cstdio>
#include <optional>

namespace orvik {

// Prints the answer to --help, -h or --version to `out` and gives the exit
// status; nothing when the command line asks for neither. Every other
// argument is Qt's.
std::optional<int> answerInfoOption(int argc, const char* const* argv, std::FILE* out);

} // namespace orvik
