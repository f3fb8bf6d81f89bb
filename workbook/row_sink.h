// Where a worksheet's rows go as its cells are read: straight into the
// table writer once the shared strings are known (DirectRowSink), or into a
// queue that runs ahead of them (queued_rows.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/table_writer.h"
#include "workbook/xlsx_parts.h"

namespace workbook {

class RowSink {
public:
    virtual ~RowSink() = default;
    // The sheet's stated width, for the first line.
    virtual void suggestWidth(std::size_t fields) = 0;
    // Rows the sheet leaves out before the next one.
    virtual void emptyRows(std::uint64_t count) = 0;
    // A cell of the current row: its text, or an index into the shared strings.
    virtual void text(std::size_t column, std::string_view text) = 0;
    virtual void sharedString(std::size_t column, std::uint64_t index) = 0;
    virtual void endRow() = 0;
};

class DirectRowSink : public RowSink {
public:
    // partName and workbookName name the sheet in the message for a shared
    // string index the table does not have.
    DirectRowSink(TableWriter& writer, const SharedStrings& strings, std::string workbookName, std::string partName)
        : writer_(writer), strings_(strings), workbookName_(std::move(workbookName)), partName_(std::move(partName)) {}

    void suggestWidth(std::size_t fields) override { writer_.suggestFirstLineFields(fields); }
    void emptyRows(std::uint64_t count) override { writer_.addEmptyRows(count); }
    void text(std::size_t column, std::string_view text) override { writer_.cell(column).assign(text); }
    void sharedString(std::size_t column, std::uint64_t index) override;
    void endRow() override { writer_.endRow(); }

private:
    TableWriter& writer_;
    const SharedStrings& strings_;
    std::string workbookName_;
    std::string partName_;
};

}  // namespace workbook
