// One worksheet part streamed node by node into the table writer: each cell
// one field, as the spreadsheet shows its value.
#pragma once

#include "workbook/table_writer.h"
#include "workbook/xlsx_parts.h"
#include "workbook/xml_part_reader.h"

namespace workbook {

// The largest sheet a spreadsheet program makes: rows and columns beyond
// these are a damaged (or crafted) file.
constexpr std::uint64_t kMaxSheetRows = 1048576;
constexpr std::size_t kMaxSheetColumns = 16384;

struct SheetContext {
    const SharedStrings& strings;
    const CellStyles& styles;
    DateSystem dateSystem;
};

// Writes the rows of the sheet; the sheet's stated dimension, when the
// writer has no width for its first line yet, gives that width.
void streamSheet(XmlPartReader& reader, const SheetContext& context, TableWriter& writer);

// True when the sheet has a cell holding a value.
bool sheetHoldsValue(XmlPartReader& reader);

// "AB" of "AB12" as a column number from 0; -1 when the reference has no column.
long columnOfReference(std::string_view reference);

}  // namespace workbook
