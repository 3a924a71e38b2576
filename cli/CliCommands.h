// The commands of orvik-cli, each returning the exit status: 0 found or done,
// 1 a query found nothing, 2 an error (reported on standard error).
#pragma once

#include "cli/CliArguments.h"

namespace orvik {
class AppState;
}

namespace orvik::cli {

class CliPrompt;
class PrintModuleLoader;

constexpr int ExitDone = 0;
constexpr int ExitNothingFound = 1;
constexpr int ExitError = 2;

// Takes the current catalogue and the add options from the settings, with the
// command line's choices on top. Writes no setting.
void applySettings(AppState& state, const CliArguments& args);

// `printer` is the loaded print module when the command prints (--print).
int runCommand(AppState& state, CliPrompt& prompt, const CliArguments& args,
               const PrintModuleLoader* printer);

} // namespace orvik::cli
