#include "cli_actions.h"

#include <cstdio>
#include <exception>

#include "export/cleaning_pipeline.h"
#include "export/full_export.h"
#include "preview/domain_preview.h"
#include "result_printer.h"
#include "source/source_statements.h"

namespace cli {

namespace {

exporting::ExportContext contextOf(Session& session, const GbkArguments& args, PrintingFeedback& feedback) {
    return exporting::ExportContext{session.previewConnection,
                                    session.csvConnection,
                                    session.csvResult,
                                    session.csvResultBoundTo,
                                    session.binding.sourceDir(),
                                    session.binding.sourceFile(),
                                    args.outputDir,
                                    feedback};
}

}  // namespace

std::optional<std::string> addressColumn(const Session& session, const std::optional<std::string>& wanted,
                                         PrintingFeedback& feedback) {
    const auto& columns = session.columns();
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

bool inputChecksPass(Action action, const GbkArguments& args, PrintingFeedback& feedback) {
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

bool runCount(Session& session, const std::string& column, PrintingFeedback& feedback) {
    engine::ResultSet& result = session.csvResult;
    try {
        if (result.isOpen()) result.close();
        result.open(*session.csvResultBoundTo, source::rowCountStatement(column, session.binding.sourceFile()));
        const auto count = result.value("rcount");
        const std::string digits = count ? std::string(*count) : std::string("0");
        result.close();
        std::printf("%s\n", digits.c_str());
        std::fflush(stdout);
        return true;
    } catch (const std::exception& failure) {
        result.close();
        feedback.showMessage(failure.what());
        return false;
    }
}

bool runDataPreview(Session& session, preview::DataPreviewInput input, PrintingFeedback& feedback) {
    const preview::DataPreviewRequest request = preview::composeDataPreview(input);
    if (!request.ready()) {
        feedback.showMessage(request.inputMessage);
        return false;
    }
    if (!session.runPreview(source::previewStatement(session.binding.sourceFile(), request.conditionText)))
        return false;
    printResultSet(session.previewResult, stdout);
    return true;
}

bool runDomainPreview(Session& session, const std::string& column, int top, PrintingFeedback& feedback) {
    engine::ResultSet& result = session.domainResult;
    platform::BusyGuard busy(feedback);
    try {
        if (result.isOpen()) result.close();
        result.open(session.previewConnection,
                    preview::domainPreviewStatement(session.binding.sourceFile(), column, top));
    } catch (const std::exception& failure) {
        result.close();
        feedback.showMessage(failure.what());
        return false;
    }
    printResultSet(result, stdout);
    return true;
}

bool runExportAll(Session& session, const GbkArguments& args, const std::string& column,
                  PrintingFeedback& feedback) {
    exporting::ExportContext context = contextOf(session, args, feedback);
    const bool ok = exporting::RunFullExport(context, args.cleaning, column);
    session.csvResultBoundTo = context.csvResultBoundTo;
    return ok;
}

bool runExportDomain(Session& session, const GbkArguments& args, const std::string& column,
                     PrintingFeedback& feedback) {
    exporting::ExportContext context = contextOf(session, args, feedback);
    const bool ok = exporting::RunDomainExport(context, args.cleaning, column, args.settingsPath);
    session.csvResultBoundTo = context.csvResultBoundTo;
    return ok;
}

}  // namespace cli
