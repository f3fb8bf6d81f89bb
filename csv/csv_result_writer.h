// The CSV result writer: every row of an open result set into one file, every
// cell quoted ("" for a quote inside), ";" between cells, CRLF between lines,
// nothing after the last line, no title line.  The values' bytes are written
// as the result set holds them (in the list's encoding); a UTF-8 byte-order
// mark begins the file only when asked for.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "engine/engine.h"

namespace csv {

class OutputFile;

// What the writer puts between the cells of a line and between lines.
inline constexpr char kCellSeparator = ';';
inline constexpr const char* kLineSeparator = "\r\n";

// One cell as the writer writes it: quoted, a quote inside doubled.  For
// result files written row by row without a result set (the address checks).
void WriteQuotedCell(OutputFile& file, std::string_view text);

class CsvResultWriter {
public:
    explicit CsvResultWriter(engine::ResultSet& result) : result_(result) {}

    // Called before the first row and then every kRowsPerCheck rows with the
    // rows written so far; an exception it throws ends the writing.
    using RowCheck = std::function<void(std::size_t rowsWritten)>;
    static constexpr std::size_t kRowsPerCheck = 4096;

    // Writes all rows (moving the cursor from the first row to the end) into
    // path, replacing any file of that name once the file is complete.  A
    // UTF-8 byte-order mark comes first when asked for.  Throws
    // OutputFileError when the file cannot be created, written or closed;
    // the message names the file and the cause.  On any failure, or an
    // exception from check, the named file keeps what it held before.
    // intermediate: a file the same run reads and removes, put in place
    // without waiting for the disk.
    void WriteCsvFile(const std::string& path, bool byteOrderMark = false, const RowCheck& check = {},
                      bool intermediate = false);

private:
    engine::ResultSet& result_;
};

}  // namespace csv
