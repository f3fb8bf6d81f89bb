#include "engine/table_bytes.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "engine/engine.h"

namespace engine {

std::size_t TableBytes::readAt(char* dest, std::size_t n, std::uint64_t offset) const {
    if (inMemory_) {
        if (offset >= memory_.size()) return 0;
        const std::size_t got = std::min<std::size_t>(n, memory_.size() - static_cast<std::size_t>(offset));
        std::memcpy(dest, memory_.data() + offset, got);
        return got;
    }
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, dest + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw Error(std::string("Reading a table failed: ") + std::strerror(errno));
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace engine
