// The CSV result writer: every row of an open result set into one file, every
// cell quoted ("" for a quote inside), ";" between cells, CRLF between lines,
// nothing after the last line, no title line, no byte-order mark.
#pragma once

#include <string>

#include "engine/engine.h"

namespace csv {

class CsvResultWriter {
public:
    explicit CsvResultWriter(engine::ResultSet& result) : result_(result) {}

    // Writes all rows (moving the cursor from the first row to the end) into
    // gbkPath, replacing any file of that name.  Throws OutputFileError when
    // the file cannot be created, written or closed; the message names the
    // file and the cause.
    void WriteCsvFile(const std::string& gbkPath);

private:
    engine::ResultSet& result_;
};

}  // namespace csv
