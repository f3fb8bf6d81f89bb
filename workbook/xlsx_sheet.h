// One worksheet part read as events into a row sink: each cell one field,
// as the spreadsheet shows its value.
#pragma once

#include "workbook/part_events.h"
#include "workbook/row_sink.h"
#include "workbook/xlsx_parts.h"

namespace workbook {

// The largest sheet a spreadsheet program makes: rows and columns beyond
// these are a damaged (or crafted) file.
constexpr std::uint64_t kMaxSheetRows = 1048576;
constexpr std::size_t kMaxSheetColumns = 16384;

// Hands the rows of the sheet part to the sink, each cell as its text or its
// shared string's index, and the sheet's stated dimension as its width.
void streamSheet(const ZipPackage& package, const std::string& part, XmlDriver driver, const CellStyles& styles,
                 DateSystem dateSystem, RowSink& sink);

// True when the sheet part has a cell holding a value.
bool sheetHoldsValue(const ZipPackage& package, const std::string& part, XmlDriver driver);

// "AB" of "AB12" as a column number from 0; -1 when the reference has no column.
long columnOfReference(std::string_view reference);

}  // namespace workbook
