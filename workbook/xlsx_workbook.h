// An .xlsx workbook: its package, its worksheets and, once a sheet is
// written, its shared strings and cell styles.
#pragma once

#include "workbook/workbook.h"
#include "workbook/xlsx_parts.h"

namespace workbook {

class XlsxWorkbook : public Workbook {
public:
    XlsxWorkbook(const std::string& path, std::string displayName, const InflationLimits& limits);

private:
    void writeRows(std::size_t sheet, TableWriter& writer) override;

    ZipPackage package_;
    XlsxWorkbookParts parts_;
    bool tablesRead_ = false;
    SharedStrings strings_;
    CellStyles styles_;
};

}  // namespace workbook
