#include "export/export_plan.h"

namespace exporting {

std::vector<std::uint64_t> ExportPlan::stepBytes() const {
    const std::uint64_t temp = intermediate.value_or(source);
    const std::uint64_t export_ = cleaned.value_or(temp);
    std::vector<std::uint64_t> bytes(kExportStepCount, 0);
    bytes[kInvalidStep] = bytes[kErrorStep] = bytes[kValidStep] = source;
    bytes[kCheckStep] = temp * checkPasses;
    if (exclusionPass) bytes[kExcludeStep] = bytes[kKeepStep] = temp + exclusionFile;
    if (split) bytes[kSplitStep] = export_;
    if (byDomain) {
        if (statistics) bytes[kStatisticsStep] = export_;
        // The group statements and the remainder's share one scan.
        bytes[kGroupsStep] = domainGroups > 0 ? export_ : 0;
    }
    return bytes;
}

}  // namespace exporting
