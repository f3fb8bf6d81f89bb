// The CSV result writer: every row of an open result set into one file, every
// cell quoted ("" for a quote inside), ";" between cells, CRLF between lines,
// nothing after the last line, no title line.  The values' bytes are written
// as the result set holds them (in the list's encoding); a UTF-8 byte-order
// mark begins the file only when asked for.
#pragma once

#include <string>

#include "engine/engine.h"

namespace csv {

class CsvResultWriter {
public:
    explicit CsvResultWriter(engine::ResultSet& result) : result_(result) {}

    // Writes all rows (moving the cursor from the first row to the end) into
    // path, replacing any file of that name.  Throws OutputFileError when
    // the file cannot be created, written or closed; the message names the
    // file and the cause.
    void WriteCsvFile(const std::string& path, bool byteOrderMark = false);

private:
    engine::ResultSet& result_;
};

}  // namespace csv
