// An .xlsx workbook: its package, its worksheets and, once a sheet is
// written, its shared strings and cell styles.
#pragma once

#include "workbook/part_events.h"
#include "workbook/workbook.h"
#include "workbook/xlsx_parts.h"

namespace workbook {

class XlsxWorkbook : public Workbook {
public:
    XlsxWorkbook(const std::string& path, std::string displayName, const WorkbookOptions& options);

private:
    void writeRows(std::size_t sheet, TableWriter& writer) override;

    std::string path_;
    InflationLimits limits_;
    XmlDriver driver_;
    ZipPackage package_;
    XlsxWorkbookParts parts_;
    bool stylesRead_ = false;
    bool stringsRead_ = false;
    SharedStrings strings_;
    CellStyles styles_;
};

}  // namespace workbook
