#include "export/cleaning_pipeline.h"

#include <exception>
#include <optional>

#include "conditions/conditions.h"
#include "source/source_connections.h"
#include "source/source_encoding.h"
#include "export/address_check_step.h"
#include "export/exclusion_table.h"
#include "export/file_steps.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/staged_file.h"

namespace exporting {

namespace {

bool emptyOrZeros(const std::string& text) {
    return text.find_first_not_of('0') == std::string::npos;
}

// The three first-pass steps differ only in the condition, the suffix and
// the words of the progress; each adds the values it read to the summary.
std::optional<StatementRun> ExportAddressClass(ExportRun& ctx, const std::string& column,
                                               std::string (*condition)(const std::string&), const char* suffix,
                                               ExportStep step, const char* stepText) {
    ctx.progress.beginStep(step, stepText);
    const std::string sql = "select distinct lcase([" + column + "]) from " +
                            conditions::BracketedName(ctx.tableFile()) + " where " + condition(column);
    // The valid addresses are an intermediate file when the exclusion pass
    // reads and removes them; otherwise they become -Export.csv.
    const bool intermediate = step == kValidStep && ctx.plan.exclusionPass;
    platform::BusyGuard busy(ctx.feedback);
    try {
        const StatementRun run =
            RunIntoFile(ctx, ctx.source.adoconn_preview, sql, OutputPath(ctx, suffix), intermediate);
        ctx.summary.read += run.matched;
        return run;
    } catch (const std::exception& e) {
        CloseSharedResult(ctx);
        ctx.feedback.showMessage(e.what());
        return std::nullopt;
    }
}

// The counts of a first-pass step, and its file when it wrote one.
bool noteClass(ExportRun& ctx, const std::optional<StatementRun>& run, std::uint64_t& count, const char* suffix) {
    if (!run) return false;
    count = run->rows;
    if (run->rows > 0) ctx.summary.noteFile(OutputPath(ctx, suffix), run->rows);
    return true;
}

// Without an exclusion pass the intermediate file becomes -Export.csv (the
// rename replaces an earlier one).  With no intermediate file an earlier
// -Export.csv must not survive as this run's result; a failed removal or
// rename is a failure of the run.
bool MoveIntermediateToExport(ExportRun& ctx) {
    const std::string temp = OutputPath(ctx, "-Temp.csv");
    const std::string target = OutputPath(ctx, "-Export.csv");
    try {
        if (platform::fileExists(temp)) {
            RenameExistingFile(temp, target);
            ctx.summary.exported = ctx.summary.kept;
            ctx.summary.noteFile(target, ctx.summary.kept);
        } else {
            RemoveExistingFile(target);
        }
        ctx.plan.cleaned = FileBytes(target);
        Replan(ctx);
        return true;
    } catch (const std::exception& e) {
        ctx.feedback.showMessage(e.what());
        return false;
    }
}

}  // namespace

std::optional<std::string> CheckCleaningOptions(const CleaningOptions& o) {
    if (o.excludeFile && o.excludeFileName.empty())
        return std::string("Email地址排除文件不能为空,请选择排除文件!");
    if (o.prefixLength && o.prefixLengthNumber.empty()) return std::string("前缀长度不能为空!");
    if (o.prefixList && o.prefixListText.empty()) return std::string("前缀内容不能为空!");
    if (o.suffixList && o.suffixListText.empty()) return std::string("后缀内容不能为空!");
    if (o.split && o.splitByRows && emptyOrZeros(o.splitRows))
        return std::string("数据行数不能为空值或0!");
    if (o.split && !o.splitByRows && emptyOrZeros(o.splitSize))
        return std::string("文件大小不能为空值或0!");
    return std::nullopt;
}

bool CleanAddresses(ExportRun& ctx, const CleaningOptions& options, const std::string& column) {
    if (const auto message = CheckCleaningOptions(options)) {
        ctx.feedback.showMessage(*message);
        return false;
    }
    const bool exclusionPass =
        options.excludeFile || options.prefixLength || options.prefixList || options.suffixList;
    // Temporary files of a run that was killed in this folder.
    platform::removeLeftoverTemporaries(ctx.outputDir);

    // A workbook as exclusion file is read before anything is written: one
    // that cannot be read stops the run with nothing half-done.
    std::optional<ExclusionTable> exclusion;
    if (options.excludeFile) {
        platform::BusyGuard busy(ctx.feedback);
        try {
            exclusion = PrepareExclusionTable(ctx, options.excludeFileName);
        } catch (const std::exception& e) {
            ctx.feedback.showMessage(e.what());
            return false;
        }
    }
    struct Discard {
        const std::optional<ExclusionTable>& table;
        ~Discard() {
            if (table) DiscardExclusionTable(*table);
        }
    } discard{exclusion};

    ctx.summary.baseName = ctx.baseName();
    ctx.plan.source = FileBytes(platform::joinPath(ctx.tableDir(), ctx.tableFile()));
    ctx.plan.exclusionPass = exclusionPass;
    if (exclusion)
        ctx.plan.exclusionFile = FileBytes(exclusion->copy ? exclusion->copyPath
                                                          : platform::joinPath(ctx.sourceDir(), options.excludeFileName));
    Replan(ctx);

    try {
        if (!ExportInvalidAddresses(ctx, column)) return false;
        if (!ExportErrorAddresses(ctx, column)) return false;
        if (!ExportValidAddresses(ctx, column)) return false;
        if (!CheckAddresses(ctx, options.checks)) return false;

        if (exclusionPass) {
            if (!ApplyExclusions(ctx, options, "F1", exclusion ? &*exclusion : nullptr)) return false;
            platform::removeFile(OutputPath(ctx, "-Temp.csv"));  // a leftover is harmless
            return true;
        }
        return MoveIntermediateToExport(ctx);
    } catch (const platform::OperationCancelled&) {
        // A cancelled run leaves the files it completed, not its intermediate one.
        platform::removeFile(OutputPath(ctx, "-Temp.csv"));
        throw;
    }
}

bool ExportInvalidAddresses(ExportRun& ctx, const std::string& column) {
    return noteClass(ctx,
                     ExportAddressClass(ctx, column, conditions::InvalidCondition, "-Invalid.csv", kInvalidStep,
                                        "正在导出无效Email地址……"),
                     ctx.summary.invalid, "-Invalid.csv");
}

bool ExportErrorAddresses(ExportRun& ctx, const std::string& column) {
    return noteClass(ctx,
                     ExportAddressClass(ctx, column, conditions::ErrorCondition, "-Error.csv", kErrorStep,
                                        "正在导出错误Email地址……"),
                     ctx.summary.erroneous, "-Error.csv");
}

bool ExportValidAddresses(ExportRun& ctx, const std::string& column) {
    // An intermediate file left by a run that failed in its second pass must
    // not be taken for this run's valid addresses when there are none.
    try {
        RemoveExistingFile(OutputPath(ctx, "-Temp.csv"));
    } catch (const std::exception& e) {
        ctx.feedback.showMessage(e.what());
        return false;
    }
    const auto run = ExportAddressClass(ctx, column, conditions::ValidCondition, "-Temp.csv", kValidStep,
                                        "正在导出有效Email地址……");
    if (!run) return false;
    ctx.summary.valid = run->rows;  // the intermediate file is not a result: not among the files
    ctx.plan.intermediate = run->rows > 0 ? FileBytes(OutputPath(ctx, "-Temp.csv")) : 0;
    Replan(ctx);
    return true;
}

bool ApplyExclusions(ExportRun& ctx, const CleaningOptions& o, const std::string& column,
                     const ExclusionTable* exclusionFile) {
    // E selects the excluded values, K exactly the other non-null ones.
    std::string exclude, keep;
    if (exclusionFile) {
        // The suppression list has an encoding of its own; the join compares
        // text.  (A workbook's copy says its own by its byte-order mark.)
        if (!exclusionFile->copy)
            source::declareListEncoding(
                ctx.source.adoconn_csv, exclusionFile->fileName,
                source::detectEncoding(platform::joinPath(ctx.sourceDir(), o.excludeFileName)));
        exclude = conditions::ExclusionFileJoin(column, exclusionFile->tableName, false);
        keep = conditions::ExclusionFileJoin(column, exclusionFile->tableName, true);
    } else {
        if (o.prefixLength && !o.prefixLengthNumber.empty()) {
            exclude = conditions::PrefixLengthCondition("F1", o.prefixLengthOperator, o.prefixLengthNumber, false);
            keep = conditions::PrefixLengthCondition("F1", o.prefixLengthOperator, o.prefixLengthNumber, true);
        }
        auto append = [&](std::string (*builder)(const std::string&, const std::string&, bool),
                          const std::string& list) {
            const bool first = exclude.empty();
            exclude += (first ? "" : " or ") + builder("F1", list, false);
            keep += (first ? "" : " and ") + builder("F1", list, true);
        };
        if (o.prefixList && !o.prefixListText.empty()) append(conditions::PrefixListCondition, o.prefixListText);
        if (o.suffixList && !o.suffixListText.empty()) append(conditions::SuffixListCondition, o.suffixListText);
        if (!exclude.empty()) {
            exclude = " where " + exclude;
            keep = " where " + keep;
        }
    }
    const std::string from = "select A.[" + column + "] from " +
                             conditions::BracketedName(OutputTableName(ctx, ctx.baseName() + "-Temp.csv")) + " as A";

    platform::BusyGuard busy(ctx.feedback);
    try {
        ctx.progress.beginStep(kExcludeStep, "正在导出排除的Email地址……");
        const std::string excludePath = OutputPath(ctx, "-Exclude.csv");
        const StatementRun excluded = RunIntoFile(ctx, ctx.source.adoconn_csv, from + exclude, excludePath);
        ctx.summary.excluded = excluded.rows;
        if (excluded.rows > 0) ctx.summary.noteFile(excludePath, excluded.rows);

        ctx.progress.beginStep(kKeepStep, "正在导出清理后的Email地址……");
        const std::string exportPath = OutputPath(ctx, "-Export.csv");
        const StatementRun kept = RunIntoFile(ctx, ctx.source.adoconn_csv, from + keep, exportPath);
        ctx.summary.exported = kept.rows;
        if (kept.rows > 0) ctx.summary.noteFile(exportPath, kept.rows);
        // An earlier run's -Export.csv must not pass for this run's result
        // when every value is excluded.  It is removed only after the keep
        // statement has read its rows: it may be this run's exclusion file.
        else RemoveExistingFile(exportPath);
        ctx.plan.cleaned = FileBytes(exportPath);
        Replan(ctx);
        return true;
    } catch (const std::exception& e) {
        CloseSharedResult(ctx);
        ctx.feedback.showMessage(e.what());
        return false;
    }
}

}  // namespace exporting
