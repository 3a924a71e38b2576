#pragma once

namespace orvik::engine {

// For the crash tests only: when ORVIK_TEST_KILL_AT_WRITE holds a number N,
// the process kills itself (SIGKILL) in place of the Nth write SQLite makes
// to any file (the catalogue, its journal, a catalogue being created), so a
// test can stop a writer at the same point every run. Without the variable
// nothing changes. Call once, before the first connection opens.
void installKillPointFromEnvironment();

} // namespace orvik::engine
