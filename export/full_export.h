// The full export and the domain export as whole runs, the same for the window
// and the command line: the caller shows the status text first, then calls.
#pragma once

#include <string>

#include "export/export_run.h"
#include "settings/domain_export_settings.h"

namespace exporting {

// Cleans, splits when options.split is set, and shows
// "Email地址按条件全部导出 执行完毕!" with the summary of ctx.summary below it.
// Returns false when the cleaning failed (it has shown its message).  A split
// text that is not an integer, or a file failure while splitting, leaves as
// UncaughtFailure: no completion message.  A cancel request seen at a
// checkpoint leaves as platform::OperationCancelled.
bool RunFullExport(ExportRun& ctx, const CleaningOptions& options, const std::string& column);

// Cleans, reads the settings file afresh, exports by domain and shows
// "Email地址按条件,按@后缀分类导出 执行完毕!" with the summary.  Returns false
// when the cleaning failed; cancelling as RunFullExport.
bool RunDomainExport(ExportRun& ctx, const CleaningOptions& options, const std::string& column,
                     const std::string& settingsPath);

}  // namespace exporting
