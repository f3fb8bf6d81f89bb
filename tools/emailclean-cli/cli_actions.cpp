#include "cli_actions.h"

#include <cstdio>

#include "export/cleaning_pipeline.h"
#include "interrupt_cleanup.h"
#include "platform/file_system.h"
#include "report_file.h"
#include "result_printer.h"

namespace cli {

std::optional<std::string> addressColumn(const std::vector<std::string>& columns,
                                         const std::optional<std::string>& wanted, PrintingFeedback& feedback) {
    if (!wanted) {
        if (!columns.empty()) return columns.front();
        feedback.showMessage("emailclean-cli: the source file has no columns");
        return std::nullopt;
    }
    for (const auto& name : columns)
        if (name == *wanted) return name;
    // The engine matches names without regard to the case of A-Z.
    auto fold = [](std::string text) {
        for (auto& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    for (const auto& name : columns)
        if (fold(name) == fold(*wanted)) return name;
    std::string list;
    for (const auto& name : columns) list += (list.empty() ? "" : ", ") + name;
    feedback.showMessage("emailclean-cli: the source file has no column \"" + *wanted + "\" (columns: " + list + ")");
    return std::nullopt;
}

bool inputChecksPass(Action action, const CoreArguments& args, PrintingFeedback& feedback) {
    if (action == Action::ExportAll || action == Action::ExportDomain) {
        if (const auto message = exporting::CheckCleaningOptions(args.cleaning)) {
            feedback.showMessage(*message);
            return false;
        }
    }
    if (action == Action::Preview) {
        const auto request = preview::composeDataPreview(args.dataPreview);
        if (!request.ready()) {
            feedback.showMessage(request.inputMessage);
            return false;
        }
    }
    return true;
}

namespace {

// --report: the summary of the export that completed.
bool report(const CoreArguments& args, const core::Workspace& workspace, PrintingFeedback& feedback) {
    if (!args.reportPath || !workspace.exportSummary()) return true;
    try {
        writeReport(*args.reportPath, *workspace.exportSummary());
        return true;
    } catch (const platform::FileError& failure) {
        feedback.showMessage(failure.what());
        return false;
    }
}

// A CSV cell: quoted when it holds a comma, a quote or a line end.
std::string csvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// --check-domains: the page's table as CSV.
void printDomainCheck(const exporting::DomainCheckReport& report) {
    std::printf("domain,count,finding,suggestion\n");
    for (const auto& f : report.findings)
        std::printf("%s,%llu,%s,%s\n", csvCell(f.domain).c_str(), static_cast<unsigned long long>(f.count),
                    exporting::findingWord(f.kind), csvCell(f.suggestion).c_str());
}

// The window goes on to its completion message past a group or remainder
// file the domain export could not write; a script must learn that files
// are missing.
bool everyStepWrote(const core::Workspace& workspace, PrintingFeedback& feedback) {
    const std::size_t failed = workspace.exportSummary() ? workspace.exportSummary()->failedSteps : 0;
    if (failed == 0) return true;
    feedback.showMessage("emailclean-cli: " + std::to_string(failed) + (failed == 1 ? " step" : " steps") +
                         " of the domain export failed (see above): files are missing");
    return false;
}

}  // namespace

bool runAction(const CliOptions& options, const CoreArguments& args, core::Workspace& workspace,
               PrintingFeedback& feedback) {
    // An interrupted run stops as a cancelled one and puts the description
    // file back as it stood (a workbook's lies in the private folder, which goes
    // with the workspace).
    const std::string sourceDir = platform::directoryOf(args.sourcePath);
    if (!sourceDir.empty()) restoreOnInterrupt(platform::joinPath(sourceDir, "Schema.ini"), workspace.cancelRequest());

    const core::SourceOptions sourceOptions{options.header, options.delimiterIndex,
                                            static_cast<source::EncodingChoice>(options.encodingIndex), options.sheet};
    const core::BindOutcome bound = workspace.OpenSourceFile(args.sourcePath, sourceOptions, false);
    if (!bound.previewed) return false;
    const auto column = addressColumn(bound.columns, args.column, feedback);
    if (!column) return false;

    switch (options.action) {
        case Action::Count: {
            const auto count = workspace.CountRecords(*column);
            if (!count) return false;
            std::printf("%lld\n", *count);
            return true;
        }
        case Action::Preview: {
            auto input = args.dataPreview;
            input.column = *column;
            if (!workspace.PreviewDataBy(input)) return false;
            printResultSet(workspace.previewResult(), stdout);
            return true;
        }
        case Action::Domains:
            if (!workspace.PreviewDomains(*column, options.domainsTop)) return false;
            printResultSet(workspace.domainResult(), stdout);
            return true;
        case Action::ExportAll:
            return workspace.ExportAll(args.cleaning, *column, args.outputDir) && report(args, workspace, feedback);
        case Action::ExportDomain:
            return workspace.ExportByDomain(args.cleaning, *column, args.outputDir, args.settingsPath) &&
                   report(args, workspace, feedback) && everyStepWrote(workspace, feedback);
        case Action::CheckDomains: {
            const auto checked = workspace.CheckDomains(*column, args.cleaning.checks, options.checkDns);
            if (!checked) return false;
            printDomainCheck(*checked);
            return true;
        }
    }
    return false;
}

}  // namespace cli
