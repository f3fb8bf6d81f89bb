// The cleaning pipeline, the common first half of both exports: invalid and
// erroneous addresses set aside, the valid ones distinct and lower-cased, then
// optionally split by the exclusion options, leaving BaseName-Export.csv in
// the output directory.
#pragma once

#include <optional>
#include <string>

#include "export/exclusion_table.h"
#include "export/export_run.h"

namespace exporting {

// The message of the first input check that fails or nothing.
std::optional<std::string> CheckCleaningOptions(const CleaningOptions& options);

// Checks the options, runs the first pass over the source file and the
// exclusion pass or the move to -Export.csv.  Shows its own messages through
// the feedback; returns whether the export may go on.
bool CleanAddresses(ExportRun& ctx, const CleaningOptions& options, const std::string& column);

// The three first-pass steps: distinct lower-cased values of one address
// class of the source file into -Invalid.csv, -Error.csv, -Temp.csv.
bool ExportInvalidAddresses(ExportRun& ctx, const std::string& column);
bool ExportErrorAddresses(ExportRun& ctx, const std::string& column);
bool ExportValidAddresses(ExportRun& ctx, const std::string& column);

// The exclusion pass over -Temp.csv: the excluded values into -Exclude.csv,
// the kept ones into -Export.csv; by the exclusion file when one is given
// (the other options are then not applied), otherwise by the options.
bool ApplyExclusions(ExportRun& ctx, const CleaningOptions& options, const std::string& column,
                     const ExclusionTable* exclusionFile);

}  // namespace exporting
