// Splitting BaseName-Export.csv into the parts BaseName-Export-1.csv, -2.csv
// and so on, by a number of lines or by a size in bytes.  Each part holds
// consecutive input lines, each followed by CR LF.
#pragma once

#include <cstdint>
#include <string>

#include "export/export_run.h"
#include "export/uncaught_failure.h"

namespace exporting {

// A file failure while splitting; what() is the text for the failure box
// ("File not found", "File access denied", "Disk full", "I/O error N", ...).
class SplitError : public UncaughtFailure {
public:
    using UncaughtFailure::UncaughtFailure;
};

// The failure text for a system error code.
std::string SplitErrorText(int errorNumber);

// linesPerPart lines per part (below 1: one line per part).  A part is
// created only when a line is there to write.  Returns true when the copy has
// finished; throws SplitError.
bool SplitExportByRows(ExportRun& ctx, std::int32_t linesPerPart);

// A part holds at most limitBytes bytes (its lines with their line ends): it
// takes lines while the next one still fits; a single line longer than the
// limit gets a part of its own.  Throws SplitError.
bool SplitExportBySize(ExportRun& ctx, std::int64_t limitBytes);

// The byte count of a size amount: amount KB (unit index 0) or MB (otherwise),
// in 64 bits.
std::int64_t SplitSizeLimit(std::int32_t amount, int unitIndex);

}  // namespace exporting
