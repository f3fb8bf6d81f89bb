// What an export reads, step by step, as the progress bar weighs it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace exporting {

// The steps of an export in the order they run.
enum ExportStep : std::size_t {
    kInvalidStep,
    kErrorStep,
    kValidStep,
    kCheckStep,
    kExcludeStep,
    kKeepStep,
    kSplitStep,
    kStatisticsStep,
    kGroupsStep,
    kRemainderStep,
    kExportStepCount
};

// The source file is read three times; the address checks read the
// intermediate file once per pass; with an exclusion pass the
// intermediate file and the exclusion file twice; then the cleaned file once
// for the split, or once for all the statements of the domain export (a batch
// of the engine; kRemainderStep is part of kGroupsStep's scan).  A file not yet
// written is estimated from above by the one it is cut from: the intermediate
// file by the source file, the cleaned file by the intermediate one.
struct ExportPlan {
    std::uint64_t source = 0;
    std::uint64_t exclusionFile = 0;
    std::optional<std::uint64_t> intermediate;  // -Temp.csv, once written
    std::optional<std::uint64_t> cleaned;       // -Export.csv, once in place
    std::uint64_t checkPasses = 0;  // reads of the intermediate file by the address checks
    bool exclusionPass = false;
    bool split = false;
    bool byDomain = false;
    bool statistics = false;       // the domain export's top-N statistics query
    std::size_t domainGroups = 0;  // an estimate until the groups are known

    // The bytes of each step, indexed by ExportStep; 0 for a step that does not run.
    std::vector<std::uint64_t> stepBytes() const;
};

}  // namespace exporting
