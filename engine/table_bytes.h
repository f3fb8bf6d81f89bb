// Where the bytes of a table come from: an open file, or a buffer in memory
// (tests and fuzzing read tables this way, without the file system).
#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

class TableBytes {
public:
    TableBytes(int fd) : fd_(fd) {}  // NOLINT: a file descriptor is the usual source
    explicit TableBytes(std::string_view memory) : memory_(memory), inMemory_(true) {}

    // Copies up to n bytes from offset into dest; fewer at the end.  Throws
    // Error when the file cannot be read.
    std::size_t readAt(char* dest, std::size_t n, std::uint64_t offset) const;

private:
    int fd_ = -1;
    std::string_view memory_;
    bool inMemory_ = false;
};

}  // namespace engine
