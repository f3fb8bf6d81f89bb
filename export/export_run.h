// What an export run works with: the bound source with its connections and
// shared result set (owned by the operations core and borrowed for the run),
// the output directory, the channel for messages and the busy cursor, and
// what the run keeps as it goes: its progress (with the cancel request), the
// plan the progress bar weighs, and the summary of what it did.
#pragma once

#include <string>

#include "export/address_check_settings.h"
#include "export/export_plan.h"
#include "export/export_summary.h"
#include "export/run_progress.h"
#include "platform/operation_feedback.h"
#include "source/bound_source.h"

namespace exporting {

// The cleaning and splitting options as the window's controls hold them (texts
// unchecked: the pipeline checks them).
struct CleaningOptions {
    bool excludeFile = false;
    std::string excludeFileName;  // bare name, resolved in the source file's folder; a text file or a workbook
    bool prefixLength = false;
    std::string prefixLengthOperator = ">";
    std::string prefixLengthNumber = "9";
    bool prefixList = false;
    std::string prefixListText;
    bool suffixList = false;
    std::string suffixListText;
    bool split = false;
    bool splitByRows = true;
    std::string splitRows = "50000";
    std::string splitSize = "4";
    int splitSizeUnitIndex = 1;  // 0: KB, otherwise MB
    AddressCheckSettings checks;  // the opt-in address checks, all off by default
};

struct ExportRun {
    source::BoundSource& source;
    std::string outputDir;  // read when the run starts
    platform::OperationFeedback& feedback;
    RunProgress progress{};  // none unless the caller gives one
    ExportPlan plan{};
    ExportSummary summary{};

    // The user's file's folder, where the exclusion file is looked for.
    const std::string& sourceDir() const { return source.binding.sourceDir(); }
    // The folder the connections are opened on, and the source's table name
    // there (a workbook's table copy in the tool's private folder).
    const std::string& tableDir() const { return source.binding.tableDir(); }
    const std::string& tableFile() const { return source.binding.tableFile(); }
    // The stem of every output file.
    std::string baseName() const { return source.binding.baseName(); }
    // Result files of a list that had a byte-order mark (or was UTF-16) begin with one.
    bool resultsHaveByteOrderMark() const { return source::resultsHaveByteOrderMark(source.encoding); }
};

}  // namespace exporting
