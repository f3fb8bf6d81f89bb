// Opens the file behind a table name of a statement: a bare name in the
// connection's directory, an absolute path ("/...") anywhere; applies that
// directory's Schema.ini; reads the column names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/char_stepper.h"
#include "engine/table_format.h"

namespace engine {

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

struct TableSource {
    std::string name;             // as written in the statement
    std::string path;             // directory and file name, in the code page
    TableFormat format;
    std::vector<std::string> columns;
    bool anyColumn = false;       // an empty file without header: F1, F2, ... all resolve (to nulls)
    FileHandle file;
    std::uint64_t fileSize = 0;
    std::uint64_t dataStart = 0;  // offset of the first data row
};

// Throws Error naming the table when the file is missing or unreadable.
TableSource openTable(const std::string& name, const std::string& dataSource, const TableFormat& defaults,
                      const CharStepper& chars);

// The file system's name for a path written in the code page; throws Error
// when it cannot be converted.
std::string fileSystemName(const std::string& path, const CharStepper& chars);

}  // namespace engine
