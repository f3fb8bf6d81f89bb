// The parts of an .xlsx package a sheet's cells are read with: where each
// part lives (the package's relationships), the worksheets in workbook
// order, the shared strings (the only table held whole) and the number
// formats that show dates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_text.h"
#include "workbook/part_events.h"
#include "workbook/zip_package.h"

namespace workbook {

struct XlsxSheetEntry {
    std::string name;
    std::string part;  // e.g. "xl/worksheets/sheet1.xml"
    bool hidden = false;
};

// What workbook.xml and its relationships say.
struct XlsxWorkbookParts {
    std::vector<XlsxSheetEntry> worksheets;  // chart and dialog sheets left out
    std::string sharedStringsPart;           // "" when there is none
    std::string stylesPart;                  // "" when there is none
    DateSystem dateSystem = DateSystem::From1900;
};

// Throws WorkbookError (Damaged, UnsafeXml, TooLarge, Encrypted).
XlsxWorkbookParts readWorkbookParts(const ZipPackage& package);

// The shared string table: every string item's text, escapes undone.
class SharedStrings {
public:
    void read(const ZipPackage& package, const std::string& part, XmlDriver driver);
    std::size_t size() const { return ends_.size(); }
    std::string_view at(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(pool_).substr(begin, ends_[index] - begin);
    }

private:
    std::string pool_;
    std::vector<std::size_t> ends_;
};

// For each cell format (a cell's "s" attribute), what its number format
// shows of a number.
class CellStyles {
public:
    void read(const ZipPackage& package, const std::string& part);
    DateKind kindOf(std::size_t styleIndex) const {
        return styleIndex < kinds_.size() ? kinds_[styleIndex] : DateKind::None;
    }

private:
    std::vector<DateKind> kinds_;
};

// A part name that a relationship's target names, from the folder of the
// part that holds the relationship ("xl/" and "worksheets/sheet1.xml" give
// "xl/worksheets/sheet1.xml"; "/xl/a.xml" and "../a.xml" as the path says).
std::string resolvePartName(std::string_view sourceFolder, std::string_view target);

}  // namespace workbook
