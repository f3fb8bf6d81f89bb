// Spreadsheets as sources: a workbook (.xlsx read with libzip and libxml2's
// streaming reader, .xls with FreeXL) lists its worksheets, and one sheet is
// written as a table copy the engine reads like a list saved as "CSV UTF-8":
// UTF-8 with a byte-order mark, comma-separated, one field per cell as the
// spreadsheet shows its value.  The sheet streams into the copy in bounded
// memory; of an .xlsx only the shared-string table is held whole.
//
// A workbook is untrusted input: every refusal is a WorkbookError whose text
// is fit to show (workbook_error.h).  Texts and names are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/table_writer.h"
#include "workbook/workbook_error.h"
#include "workbook/zip_package.h"

namespace workbook {

struct SheetInfo {
    std::string name;
    bool holdsData = false;  // some cell holds a value
    bool hidden = false;
};

// What a table copy came to.
struct TableCopy {
    std::uint64_t rows = 0;   // lines, empty rows between rows with text included
    std::size_t columns = 0;  // fields of the widest row: the first line's
};

struct WorkbookOptions {
    InflationLimits limits;
    // An .xlsx's sheet and shared strings read by libxml2's streaming reader
    // node by node (the plain path) instead of its SAX interface (the fast
    // path the tool takes); the tests compare the two.
    bool plainXmlReader = false;
};

// ".xlsx" or ".xls" at the end of a file name, letter case ignored.
bool isWorkbookFileName(std::string_view fileName);

class Workbook {
public:
    // Opens the workbook at path (a file-system name), by its content
    // whatever its extension: a zip package is an .xlsx, a compound file an
    // .xls (or a password-protected workbook).  Lists the worksheets.
    // Throws WorkbookError.
    static std::unique_ptr<Workbook> open(const std::string& path, const WorkbookOptions& options = {});

    virtual ~Workbook() = default;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // The worksheets in the workbook's order.
    const std::vector<SheetInfo>& sheets() const { return sheets_; }
    // The file's name without folder, as messages name it.
    const std::string& displayName() const { return displayName_; }

    // The sheet bound when none is asked for: the first visible sheet that
    // holds data, else the first hidden one.  Throws WorkbookError (NoData).
    std::size_t defaultSheet() const;
    // A sheet by its name, or by its number from 1 when no sheet has that
    // name.  Throws WorkbookError (UnknownSheet).
    std::size_t findSheet(std::string_view nameOrNumber) const;

    // Writes the sheet (an index of sheets()) as the table copy at
    // tablePath, a path as the file system interface takes it; written under
    // tablePath + ".part" and renamed, so the copy is whole or absent.
    // Throws WorkbookError (NoData for a sheet without text) and
    // platform::FileError.
    TableCopy writeTableCopy(std::size_t sheet, const std::string& tablePath);

protected:
    explicit Workbook(std::string displayName) : displayName_(std::move(displayName)) {}
    // Streams the rows of a sheet into the writer.
    virtual void writeRows(std::size_t sheet, TableWriter& writer) = 0;

    std::vector<SheetInfo> sheets_;

private:
    std::string displayName_;
};

}  // namespace workbook
