// The domain-classified export: one file per domain group of the settings and
// one for the addresses that belong to no group, from BaseName-Export.csv in
// the output directory.
#pragma once

#include "export/export_run.h"
#include "settings/domain_export_settings.h"

namespace exporting {

// Reports each failure through the feedback, counts it in ctx.summary.failedSteps and
// goes on; always returns true.
bool ExportByDomain(ExportRun& ctx, const settings::DomainExportSettings& settings);

}  // namespace exporting
