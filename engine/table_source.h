// Opens the file behind a table name of a statement: a bare name in the
// connection's directory, an absolute path ("/...") anywhere; applies that
// directory's Schema.ini; decides the encoding of the file's text; reads the
// column names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/char_stepper.h"
#include "engine/csv_reader.h"
#include "engine/file_encoding.h"
#include "engine/table_bytes.h"
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
    std::string path;             // directory and file name, in the connection's code page
    TableFormat format;
    FileEncoding encoding = FileEncoding::Gbk;  // of the file's bytes
    CodePage values = CodePage::Gbk;            // of the values read from it (UTF-16 is read as UTF-8)
    std::vector<std::string> columns;           // names, in the connection's code page
    bool anyColumn = false;       // an empty file without header: F1, F2, ... all resolve (to nulls)
    FileHandle file;
    std::string_view memory;      // the bytes of a table held in memory (no file then)
    bool inMemory = false;
    std::uint64_t fileSize = 0;
    std::uint64_t contentStart = 0;  // file offset after the byte-order mark
    // Offset of the first data row: a file offset, or for a UTF-16 file an
    // offset in its UTF-8 text (see CsvReader).
    std::uint64_t dataStart = 0;

    TableBytes bytes() const { return inMemory ? TableBytes(memory) : TableBytes(file.fd()); }
};

// Throws Error naming the table when the file is missing or unreadable.
// chars: the connection's code page, of name and dataSource.
TableSource openTable(const std::string& name, const std::string& dataSource, const TableFormat& defaults,
                      const CharStepper& chars);

// A table whose bytes are held in memory (they must outlive the statement),
// read with the given format: what tests and fuzzing use to run statements
// without files.
struct MemoryTable {
    std::string name;
    std::string_view bytes;
    TableFormat format;
};
TableSource openMemoryTable(const MemoryTable& table, const CharStepper& chars);

// A reader of the table's rows from offset begin (dataStart, or a line start
// after it) up to the rows that start at stopAt.  A UTF-16 table is always
// read to its end: its offsets are not file offsets, so it is never cut.
CsvReader readTable(const TableSource& table, std::uint64_t begin, std::uint64_t stopAt);

// The file system's name for a path written in the code page; throws Error
// when it cannot be converted.
std::string fileSystemName(const std::string& path, const CharStepper& chars);

}  // namespace engine
