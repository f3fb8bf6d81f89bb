// The exclusion file as the engine reads it.  It is looked for in the source
// file's folder (for a workbook source, the workbook's folder), whatever
// folder the connections are opened on; a workbook given as exclusion file
// is read through a table copy of its first sheet with data, made in the
// tool's private folder before anything of the run is written.
#pragma once

#include <string>

#include "export/export_run.h"

namespace exporting {

struct ExclusionTable {
    std::string tableName;  // as statements name it: bare, or an absolute path (bracketed by the builders)
    std::string fileName;   // the file's own name, as the engine matches a declared encoding
    bool copy = false;      // a workbook's table copy (its byte-order mark tells its encoding)
    std::string copyPath;   // the copy, removed when the run ends
};

// Throws workbook::WorkbookError or platform::FileError for a workbook that
// cannot be read; a text file is not opened here (the engine's statement
// reports it).
ExclusionTable PrepareExclusionTable(ExportRun& ctx, const std::string& excludeFileName);

// Removes a copy made for the run (a text file is left alone).
void DiscardExclusionTable(const ExclusionTable& table);

}  // namespace exporting
