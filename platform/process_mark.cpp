#include "platform/process_mark.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace platform {
namespace {

std::string firstLineOf(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// Field 22 of /proc/PID/stat, after the command name in parentheses (which
// may itself hold blanks and parentheses); 0 when the process is not there.
std::uint64_t startTimeOf(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t at = stat.rfind(')');
    if (at == std::string::npos) return 0;
    for (int field = 2; field < 22 && at != std::string::npos; ++field) at = stat.find(' ', at + 1);
    if (at == std::string::npos) return 0;
    std::uint64_t start = 0;
    std::from_chars(stat.data() + at + 1, stat.data() + stat.size(), start);
    return start;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string ProcessMark::text() const {
    return "host " + host + ", boot " + boot + ", process " + std::to_string(pid) + ", start " + std::to_string(start);
}

std::optional<ProcessMark> ProcessMark::parse(std::string_view text) {
    // Four ", "-separated fields, each a word and its value.
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t comma = text.find(", ");
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 2);
    }
    if (fields.size() != 4) return std::nullopt;
    auto valueOf = [](std::string_view field, std::string_view word) -> std::optional<std::string_view> {
        if (field.size() < word.size() + 1 || field.substr(0, word.size()) != word || field[word.size()] != ' ')
            return std::nullopt;
        return field.substr(word.size() + 1);
    };
    const auto host = valueOf(fields[0], "host");
    const auto boot = fields[1] == "boot" ? std::optional<std::string_view>("") : valueOf(fields[1], "boot");
    const auto pid = valueOf(fields[2], "process");
    const auto start = valueOf(fields[3], "start");
    ProcessMark mark;
    if (!host || host->empty() || !boot || !pid || !start || !parseNumber(*pid, mark.pid) ||
        !parseNumber(*start, mark.start) || mark.pid <= 0)
        return std::nullopt;
    mark.host = std::string(*host);
    mark.boot = std::string(*boot);
    return mark;
}

ProcessMark currentProcessMark() {
    ProcessMark mark;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') std::snprintf(host, sizeof host, "localhost");
    for (char* c = host; *c; ++c)
        if (*c == ',' || *c == ' ' || *c == '\r' || *c == '\n') *c = '_';
    mark.host = host;
    mark.boot = firstLineOf("/proc/sys/kernel/random/boot_id");
    mark.pid = static_cast<long>(::getpid());
    mark.start = startTimeOf(mark.pid);
    return mark;
}

WriterState writerState(const ProcessMark& mark) {
    const ProcessMark self = currentProcessMark();
    if (mark.host != self.host) return WriterState::Unknown;
    if (!mark.boot.empty() && !self.boot.empty() && mark.boot != self.boot) return WriterState::Gone;
    if (mark.start != 0) {
        const std::uint64_t start = startTimeOf(mark.pid);
        if (start != 0) return start == mark.start ? WriterState::Running : WriterState::Gone;
    }
    // Without /proc: whether a process of that number exists at all.
    if (::kill(static_cast<pid_t>(mark.pid), 0) == 0 || errno == EPERM) return WriterState::Running;
    return errno == ESRCH ? WriterState::Gone : WriterState::Unknown;
}

}  // namespace platform
