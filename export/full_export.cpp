#include "export/full_export.h"

#include "export/cleaning_pipeline.h"
#include "export/domain_export.h"
#include "export/integer_text.h"
#include "export/split_export.h"
#include "platform/code_page.h"

namespace exporting {

bool RunFullExport(ExportRun& ctx, const CleaningOptions& options, const std::string& column) {
    ctx.plan.split = ctx.summary.split = options.split;
    if (!CleanAddresses(ctx, options, column)) return false;
    if (options.split) {
        const bool finished =
            options.splitByRows
                ? SplitExportByRows(ctx, StrToInt(options.splitRows))
                : SplitExportBySize(ctx, SplitSizeLimit(StrToInt(options.splitSize), options.splitSizeUnitIndex));
        if (!finished) return false;
    }
    ctx.feedback.showCompletion(std::string("Email地址按条件全部导出 执行完毕!"), SummaryText(ctx.summary));
    return true;
}

bool RunDomainExport(ExportRun& ctx, const CleaningOptions& options, const std::string& column,
                     const std::string& settingsPath) {
    if (!CleanAddresses(ctx, options, column)) return false;
    // Read afresh at each run: a change in the setup dialog applies to the next one.
    const settings::DomainExportSettings settings = settings::loadDomainExportSettings(settingsPath);
    if (ExportByDomain(ctx, settings))
        ctx.feedback.showCompletion(std::string("Email地址按条件,按@后缀分类导出 执行完毕!"),
                                    SummaryText(ctx.summary));
    return true;
}

}  // namespace exporting
