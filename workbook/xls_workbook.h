// An .xls workbook (the binary format of older spreadsheet programs), read
// with FreeXL.  FreeXL reads the workbook whole when it opens it; the
// format's own bounds (65,536 rows by 256 columns) keep that bounded.
#pragma once

#include "workbook/workbook.h"

namespace workbook {

class XlsWorkbook : public Workbook {
public:
    XlsWorkbook(const std::string& path, std::string displayName);
    ~XlsWorkbook() override;

private:
    void writeRows(std::size_t sheet, TableWriter& writer) override;
    // Selects the sheet; its rows and columns.
    void select(std::size_t sheet, unsigned& rows, unsigned short& columns);
    // Appends the text of a cell; false for an empty one.
    bool cellText(unsigned row, unsigned short column, std::string& out);

    const void* handle_ = nullptr;
};

}  // namespace workbook
