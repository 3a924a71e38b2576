// Whole processes for the benchmarks, as the user runs them.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace orvik::bench {

// Prints what failed with the system's reason and ends the benchmark.
[[noreturn]] void fail(const std::string& what);

double msSince(std::chrono::steady_clock::time_point start);

struct ProcessRun {
    double ms = 0;
    long peakKb = 0;
    double cpuMs = 0; // user and system time of the child
};

// Runs `command` with ORVIK_HOME `home`, stdout to /dev/null and stderr kept
// in `errors`; a failure is shown and ends the benchmark. wait4 gives this
// child's own peak memory, where RUSAGE_CHILDREN would mix in every child
// before it.
ProcessRun runProcess(const std::vector<std::string>& command, const std::string& home,
                      const std::string& errors);

} // namespace orvik::bench
