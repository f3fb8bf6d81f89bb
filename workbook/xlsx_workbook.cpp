#include "workbook/xlsx_workbook.h"

#include "workbook/xlsx_sheet.h"
#include "workbook/xml_part_reader.h"

namespace workbook {

XlsxWorkbook::XlsxWorkbook(const std::string& path, std::string displayName, const InflationLimits& limits)
    : Workbook(displayName), package_(path, displayName, limits), parts_(readWorkbookParts(package_)) {
    for (const auto& entry : parts_.worksheets) {
        SheetInfo info;
        info.name = entry.name;
        info.hidden = entry.hidden;
        XmlPartReader reader(package_.open(entry.part));
        info.holdsData = sheetHoldsValue(reader);
        sheets_.push_back(std::move(info));
    }
}

void XlsxWorkbook::writeRows(std::size_t sheet, TableWriter& writer) {
    if (!tablesRead_) {
        strings_.read(package_, parts_.sharedStringsPart);
        styles_.read(package_, parts_.stylesPart);
        tablesRead_ = true;
    }
    XmlPartReader reader(package_.open(parts_.worksheets.at(sheet).part));
    const SheetContext context{strings_, styles_, parts_.dateSystem};
    streamSheet(reader, context, writer);
}

}  // namespace workbook
