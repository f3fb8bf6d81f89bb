#include "core/workspace.h"

#include <exception>

#include "export/full_export.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "preview/domain_preview.h"
#include "source/source_connections.h"
#include "source/source_statements.h"

namespace core {

long long recordCountOf(const std::optional<std::string_view>& value) {
    const std::string_view text = value ? *value : std::string_view();
    if (text.empty()) throw std::runtime_error("'' is not a valid integer value");
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') throw std::runtime_error("'" + std::string(text) + "' is not a valid integer value");
        n = n * 10 + (c - '0');
    }
    return n;
}

Workspace::Workspace(platform::OperationFeedback& feedback) : feedback_(feedback) {}

Workspace::~Workspace() {
    bound_.adodst_preview.close();
    bound_.adodst_domain.close();
    bound_.adodst_csv.close();
    ShutDown();
}

template <class Body>
bool Workspace::reportingUncaught(Body&& body) {
    try {
        return body();
    } catch (const std::exception& failure) {
        feedback_.showFailure(failure.what());
    } catch (...) {
        feedback_.showFailure("Unknown failure");
    }
    return false;
}

void Workspace::ShutDown() { bound_.binding.deleteSchema(); }

bool Workspace::OpenSourceConnections(const SourceOptions& options) {
    return source::OpenSourceConnections(bound_.binding, options.header, options.delimiterIndex, bound_.encoding,
                                         bound_.adoconn_preview, bound_.adoconn_csv, feedback_);
}

BindOutcome Workspace::OpenSourceFile(const std::string& path, const SourceOptions& options,
                                      bool withRecordCount) {
    feedback_.showOperationText(std::string(" 当前操作：打开文件"));
    bound_.binding.deleteSchema();  // the previous binding's, under its own directory
    bound_.binding.bind(path);
    return bindAndPreview(options, withRecordCount);
}

BindOutcome Workspace::RebindSource(const SourceOptions& options) {
    if (!isBound()) return {};
    return bindAndPreview(options, false);
}

BindOutcome Workspace::bindAndPreview(const SourceOptions& options, bool withRecordCount) {
    BindOutcome outcome;
    // The encoding is looked at afresh on every binding: the file may have changed.
    bound_.encoding = source::resolveEncoding(platform::joinPath(sourceDir(), sourceFile()), options.encoding);
    outcome.encoding = bound_.encoding;
    outcome.encodingDetected = options.encoding == source::EncodingChoice::Auto;
    reportingUncaught([&] {
        if (!OpenSourceConnections(options)) return false;
        if (!PreviewData("")) return false;
        outcome.previewed = true;
        // The domain statistics were the previous binding's: closed, so that
        // the next turn to the domain page counts the file bound now.
        bound_.adodst_domain.close();
        outcome.columns = bound_.adodst_preview.columnNames();
        return true;
    });
    if (outcome.previewed && withRecordCount && !outcome.columns.empty())
        outcome.recordCount = CountRecords(outcome.columns.front());
    return outcome;
}

std::optional<long long> Workspace::CountRecords(const std::string& column) {
    engine::ResultSet& result = bound_.adodst_csv;
    const std::string statement = source::rowCountStatement(column, sourceFile());
    platform::BusyGuard busy(feedback_);
    try {
        if (result.isOpen()) result.close();
        result.open(*bound_.adodst_csvConnection, statement);
        feedback_.showOperationText(std::string(" 当前操作：预览查询[查询条件:无条件]"));
        const long long count = recordCountOf(result.value(std::string_view("rcount")));
        result.close();
        return count;
    } catch (const std::exception& failure) {
        result.close();
        feedback_.showMessage(failure.what());
        return std::nullopt;
    }
}

bool Workspace::PreviewData(const std::string& conditionText) {
    feedback_.showOperationText(std::string(" 当前操作：正在读取文件......"));
    const std::string statement = source::previewStatement(sourceFile(), conditionText);
    platform::BusyGuard busy(feedback_);
    try {
        if (bound_.adodst_preview.isOpen()) bound_.adodst_preview.close();
        bound_.adodst_preview.open(bound_.adoconn_preview, statement);
        return true;
    } catch (const std::exception& failure) {
        bound_.adodst_preview.close();
        feedback_.showMessage(failure.what());
        return false;
    }
}

bool Workspace::PreviewDataBy(const preview::DataPreviewInput& input) {
    const preview::DataPreviewRequest request = preview::composeDataPreview(input);
    if (!request.ready()) {
        feedback_.showMessage(request.inputMessage);
        return false;
    }
    if (!PreviewData(request.conditionText)) return false;
    feedback_.showOperationText(preview::dataPreviewStatusText(request.label));
    return true;
}

bool Workspace::PreviewDomains(const std::string& column, int top, bool automatic) {
    if (!isBound()) return false;  // no file was ever opened
    engine::ResultSet& result = bound_.adodst_domain;
    const std::string statement = preview::domainPreviewStatement(sourceFile(), column, top);
    {
        platform::BusyGuard busy(feedback_);
        try {
            if (result.isOpen()) result.close();
            result.open(bound_.adoconn_preview, statement);
        } catch (const std::exception& failure) {
            result.close();
            feedback_.showMessage(failure.what());
            return false;
        }
    }
    feedback_.showOperationText(automatic ? preview::automaticDomainPreviewStatusText()
                                          : preview::domainPreviewStatusText(preview::domainConditionLabel(top)));
    return true;
}

bool Workspace::ExportAll(const exporting::CleaningOptions& options, const std::string& column,
                          const std::string& outputDir) {
    exporting::ExportRun run{bound_, outputDir, feedback_};
    return reportingUncaught([&] { return exporting::RunFullExport(run, options, column); });
}

bool Workspace::ExportByDomain(const exporting::CleaningOptions& options, const std::string& column,
                               const std::string& outputDir, const std::string& settingsPath) {
    exporting::ExportRun run{bound_, outputDir, feedback_};
    return reportingUncaught([&] { return exporting::RunDomainExport(run, options, column, settingsPath); });
}

}  // namespace core
