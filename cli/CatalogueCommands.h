// create, delete and use NAME: the catalogue selection window's work from a
// terminal, under the same name rules. Each returns the exit status.
#pragma once

#include <QString>

namespace orvik {
class AppState;
}

namespace orvik::cli {

class CliPrompt;

int runCreate(AppState& state, CliPrompt& prompt, const QString& name);
// Refuses the current catalogue: the one in DBName and the one --catalogue names.
int runDelete(AppState& state, CliPrompt& prompt, const QString& name);
// Creates a missing catalogue, as Set as Catalogue does, and writes DBName.
int runUse(AppState& state, CliPrompt& prompt, const QString& name);

} // namespace orvik::cli
