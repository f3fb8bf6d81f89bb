// --report FILE: an export's summary as one JSON object, file names in UTF-8:
// {"read": N, "invalid": N, "erroneous": N, "duplicates": N, "excluded": N,
//  "exported": N, "files": [{"name": "list-Invalid.csv", "rows": N}, ...]}
#pragma once

#include <string>

#include "export/export_summary.h"

namespace cli {

std::string reportJson(const exporting::ExportSummary& summary);

// Writes the object and a line end to path, whole or not at all; throws
// platform::FileError.
void writeReport(const std::string& path, const exporting::ExportSummary& summary);

}  // namespace cli
