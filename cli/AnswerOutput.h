// orvik-cli's answers from the files' checksums: duplicates, unique and
// redundant, as text (the search window's lines), tsv or json.
#pragma once

#include "cli/CliArguments.h"

namespace orvik {
class AppState;
}

namespace orvik::cli {

bool isAnswer(Command command);
// The exit status: 0 when something was listed, 1 when nothing, 2 on an error.
int runAnswerCommand(AppState& state, const CliArguments& args);

} // namespace orvik::cli
