// Who wrote something into a shared file, so that a later process can tell
// whether the writer still runs: the host, the boot of its system, the
// process number and the process's start time (which tells a reused process
// number from the writer).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct ProcessMark {
    std::string host;
    std::string boot;        // the system's boot id; empty when unknown
    long pid = 0;
    std::uint64_t start = 0;  // start time in clock ticks since boot; 0 when unknown

    // "host H, boot B, process P, start S"
    std::string text() const;
    static std::optional<ProcessMark> parse(std::string_view text);
    bool operator==(const ProcessMark&) const = default;
};

ProcessMark currentProcessMark();

enum class WriterState { Running, Gone, Unknown };

// Gone only when that is certain: the same host, and another boot or no
// process of that number with that start time.  Another host is Unknown.
WriterState writerState(const ProcessMark& mark);

}  // namespace platform
