// Runs a program as a child process and reports what it cost: wall time and
// the child's own peak resident set (so every measured statement gets a peak
// of its own instead of the largest one seen so far in one process).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct ChildRun {
    int exitCode = -1;          // exit status, or 128 + signal number
    double wallSeconds = 0;
    double cpuSeconds = 0;      // user + system time of the child
    long maxRssKb = 0;          // ru_maxrss of the child
    std::string output;         // its standard output, unless redirected
};

// argv[0] is the program's path.  With stdoutPath the child's standard
// output goes to that file (e.g. /dev/null) instead of being captured.
// Standard error is inherited.  Throws std::runtime_error when the child
// cannot be started.
ChildRun runChild(const std::vector<std::string>& argv, const std::optional<std::string>& stdoutPath = {});

}  // namespace bench
