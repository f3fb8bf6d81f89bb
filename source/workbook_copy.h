// A workbook as a source: the chosen worksheet converted into a table copy
// (UTF-8 with a byte-order mark, comma-separated) that the engine reads in
// the tool's private folder, and what tells whether the workbook changed
// since its copy was made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace source {

// What a file looks like on disk, to tell that it changed.
struct FileStamp {
    std::int64_t modifiedNs = 0;
    std::int64_t size = -1;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const std::string& path);

// What a copy was made of.
struct WorkbookCopy {
    std::vector<std::string> sheets;  // every worksheet's name, in the workbook's order
    std::size_t sheet = 0;            // the one converted
    FileStamp stamp;                  // the workbook as it was before the conversion began
};

// A file is taken for a workbook by its name: ".xlsx" or ".xls", letter case
// ignored.  (Its content then decides the format, or refuses it.)
bool isWorkbookFile(const std::string& fileName);

// The copy's file name: the workbook's name less its extension, then ".csv".
std::string copyFileName(const std::string& workbookFile);

// Converts a sheet of the workbook at path, named or numbered from 1 (the
// first visible one that holds data when none is asked for), into copyPath.
// The copy is whole or absent: a copy already there stays when this one
// fails.  Throws workbook::WorkbookError and platform::FileError, each with a
// text fit to show.
WorkbookCopy convertWorkbook(const std::string& path, const std::optional<std::string>& sheet,
                             const std::string& copyPath);

}  // namespace source
