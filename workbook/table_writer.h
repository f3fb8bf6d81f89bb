// Writes a worksheet's rows as the table copy the engine reads: UTF-8 with a
// byte-order mark, comma-separated, lines ended by CR LF, as a spreadsheet
// program saves "CSV UTF-8".  A field holding a comma, a quote or a line
// break is quoted (a quote inside doubled), so it reads back as one field.
//
// A row's line ends with its last field holding text; a wholly empty row is
// held back and written only when a row with text follows, so the empty rows
// at the end are not rows.  The first line carries at least the number of
// fields given, so that the engine, which takes the columns from it, sees
// every column of the sheet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace workbook {

class TableWriter {
public:
    TableWriter(platform::WritableFile& out, std::size_t firstLineFields);
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // The text of the current row's cell in this column (0-based), empty
    // until filled; the row grows to reach it.
    std::string& cell(std::size_t column);
    // Ends the current row.
    void endRow();
    // A width for the first line (the sheet's stated dimension), taken while
    // no line is written and no width was given.
    void suggestFirstLineFields(std::size_t fields) {
        if (rows_ == 0 && firstLineFields_ == 0) firstLineFields_ = fields;
    }
    // Rows the sheet leaves out before the next one: empty rows.
    void addEmptyRows(std::uint64_t count) { pendingEmptyRows_ += count; }
    // Writes what is buffered; the rows held back (empty ones at the end) are dropped.
    void finish();

    // Lines written (empty rows between rows with text included).
    std::uint64_t rows() const { return rows_; }
    // The most fields a row with text had: the sheet's width.
    std::size_t widestRow() const { return widestRow_; }
    // The fields of the first line (0 while none is written).
    std::size_t firstLineFields() const { return firstLineWidth_; }

private:
    void writeLine(std::size_t fields);
    void appendField(const std::string& text);
    void flushIfFull();

    platform::WritableFile& out_;
    std::size_t firstLineFields_;
    std::vector<std::string> cells_;
    std::size_t rowWidth_ = 0;  // cells of the current row that may hold text
    std::uint64_t pendingEmptyRows_ = 0;
    std::uint64_t rows_ = 0;
    std::size_t widestRow_ = 0;
    std::size_t firstLineWidth_ = 0;
    std::string buffer_;
};

}  // namespace workbook
