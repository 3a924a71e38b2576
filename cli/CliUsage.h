// The usage texts of orvik-cli, made from its commands and options.
#pragma once

#include "cli/CliArguments.h"

namespace orvik::cli {

// The usage text of a command, or of the program when `command` is Help.
QString usage(Command command);

} // namespace orvik::cli
