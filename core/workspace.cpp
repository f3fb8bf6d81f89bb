#include "core/workspace.h"

#include <algorithm>
#include <exception>

#include "export/full_export.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "preview/domain_preview.h"
#include "source/source_connections.h"
#include "source/source_statements.h"

namespace core {

namespace {

// An unconditioned 200-row preview reads no more than the engine's first block.
constexpr std::uint64_t kFirstBlock = 8u << 20;

}  // namespace

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

Workspace::Workspace(platform::OperationFeedback& feedback, const std::string& privateRoot)
    : feedback_(feedback), bound_(privateRoot) {
    platform::PrivateFolder::removeLeftovers(privateRoot);
}

Workspace::~Workspace() {
    bound_.adodst_preview.close();
    bound_.adodst_domain.close();
    bound_.adodst_csv.close();
    ShutDown();
}

template <class Body>
bool Workspace::operation(std::vector<std::uint64_t> stepBytes, Body&& body) {
    progress_ = exporting::RunProgress(feedback_, cancel_);
    progress_.plan(std::move(stepBytes));
    try {
        return body();
    } catch (const platform::OperationCancelled&) {
        cancel_.clear();  // consumed: the next call runs
        feedback_.showMessage(std::string("操作已取消。"));
    } catch (const std::exception& failure) {
        feedback_.showFailure(failure.what());
    } catch (...) {
        feedback_.showFailure("Unknown failure");
    }
    return false;
}

std::optional<source::WorkbookCopy> Workspace::copyWorksheet(const std::string& path,
                                                             const std::optional<std::string>& sheet,
                                                             const std::string& copyPath) {
    std::optional<source::WorkbookCopy> copy;
    const std::int64_t size = platform::fileSize(path);
    operation({size > 0 ? static_cast<std::uint64_t>(size) : 0}, [&] {
        progress_.beginStep(0, "正在读取工作簿……");
        platform::BusyGuard busy(feedback_);
        // Converted under a name of its own, put in place only when whole and
        // not cancelled: the copy bound before stays as it was until then.
        const std::string next = copyPath + ".next";
        try {
            source::WorkbookCopy converted = source::convertWorkbook(path, sheet, next);
            progress_.throwIfCancelled();
            platform::FileSystem::current().renameFile(next, copyPath);  // throws FileError
            copy = std::move(converted);
            return true;
        } catch (const platform::OperationCancelled&) {
            platform::removeFile(next);
            throw;
        } catch (const std::exception& failure) {
            platform::removeFile(next);
            feedback_.showMessage(failure.what());
            return false;
        }
    });
    return copy;
}

std::uint64_t Workspace::sourceBytes() const {
    if (!isBound()) return 0;
    const std::int64_t size = platform::fileSize(tablePath());
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

std::optional<exporting::DomainCheckReport> Workspace::CheckDomains(const std::string& column,
                                                                    const exporting::AddressCheckSettings& settings,
                                                                    bool withDns) {
    if (!isBound()) return std::nullopt;
    std::optional<exporting::DomainCheckReport> report;
    exporting::ExportRun run{bound_, sourceDir(), feedback_, exporting::RunProgress(feedback_, cancel_)};
    run.progress.plan({sourceBytes()});
    if (!operation({}, [&] {
            report = exporting::CheckDomains(run, column, settings, withDns);
            return report.has_value();
        }))
        return std::nullopt;
    feedback_.showOperationText(std::string(" 当前操作：域名检查") + (withDns ? "[同时查询DNS]" : ""));
    return report;
}

void Workspace::ShutDown() {
    bound_.binding.deleteSchema();
    bound_.privateFolder.remove();
}

std::string Workspace::tablePath() const {
    if (!isBound()) return {};
    return platform::joinPath(bound_.binding.tableDir(), bound_.binding.tableFile());
}

bool Workspace::OpenSourceConnections(const SourceOptions& options) {
    // A workbook's copy is comma-separated whatever the separator control says.
    const int delimiterIndex = isWorkbook() ? 0 : options.delimiterIndex;
    return source::OpenSourceConnections(bound_.binding, options.header, delimiterIndex, bound_.encoding,
                                         bound_.adoconn_preview, bound_.adoconn_csv, feedback_);
}

BindOutcome Workspace::OpenSourceFile(const std::string& path, const SourceOptions& options,
                                      bool withRecordCount) {
    feedback_.showOperationText(std::string(" 当前操作：打开文件"));
    if (source::isWorkbookFile(platform::fileNameOf(path))) return openWorkbook(path, options, withRecordCount);
    const std::string previousCopy = isWorkbook() ? tablePath() : std::string();
    bound_.binding.deleteSchema();  // the previous binding's, under its own directory
    bound_.binding.bind(path);
    if (!previousCopy.empty()) platform::removeFile(previousCopy);
    return bindAndPreview(options, withRecordCount);
}

BindOutcome Workspace::RebindSource(const SourceOptions& options, bool withRecordCount) {
    if (!isBound()) return {};
    if (!copyCurrent(options.sheet)) {
        BindOutcome refused;
        refused.refused = true;
        refused.workbook = true;
        refused.sheets = bound_.workbook.sheets;
        refused.sheet = bound_.workbook.sheet;
        return refused;
    }
    return bindAndPreview(options, withRecordCount);
}

BindOutcome Workspace::bindAndPreview(const SourceOptions& options, bool withRecordCount) {
    BindOutcome outcome;
    if (isWorkbook()) {
        // The copy is UTF-8 with a byte-order mark, as the tool wrote it.
        bound_.encoding = source::TextEncoding::Utf8Bom;
        outcome.workbook = true;
        outcome.sheets = bound_.workbook.sheets;
        outcome.sheet = bound_.workbook.sheet;
    } else {
        // The encoding is looked at afresh on every binding: the file may have changed.
        bound_.encoding = source::resolveEncoding(platform::joinPath(sourceDir(), sourceFile()), options.encoding);
    }
    outcome.encoding = bound_.encoding;
    outcome.encodingDetected = isWorkbook() || options.encoding == source::EncodingChoice::Auto;
    const std::uint64_t size = sourceBytes();
    operation({std::min(size, kFirstBlock), withRecordCount ? size : 0}, [&] {
        if (!OpenSourceConnections(options)) return false;
        if (!previewInto("")) return false;
        outcome.previewed = true;
        // The domain statistics were the previous binding's: closed, so that
        // the next turn to the domain page counts the file bound now.
        bound_.adodst_domain.close();
        outcome.columns = bound_.adodst_preview.columnNames();
        // A failed count has been shown; the binding stays.
        if (withRecordCount && !outcome.columns.empty()) outcome.recordCount = countRecords(outcome.columns.front());
        return true;
    });
    return outcome;
}

std::optional<long long> Workspace::CountRecords(const std::string& column) {
    std::optional<long long> count;
    operation({0, sourceBytes()}, [&] {
        count = countRecords(column);
        return count.has_value();
    });
    return count;
}

std::optional<long long> Workspace::countRecords(const std::string& column) {
    progress_.beginStep(1, "正在统计记录总数……");
    engine::ResultSet& result = bound_.adodst_csv;
    const std::string statement = source::rowCountStatement(column, bound_.binding.tableFile());
    platform::BusyGuard busy(feedback_);
    try {
        if (result.isOpen()) result.close();
        result.open(*bound_.adodst_csvConnection, statement, &progress_);
        feedback_.showOperationText(std::string(" 当前操作：预览查询[查询条件:无条件]"));
        const long long count = recordCountOf(result.value(std::string_view("rcount")));
        result.close();
        return count;
    } catch (const std::exception& failure) {
        result.close();
        progress_.throwIfCancelled();
        feedback_.showMessage(failure.what());
        return std::nullopt;
    }
}

bool Workspace::PreviewData(const std::string& conditionText) {
    const std::uint64_t size = sourceBytes();
    return operation({conditionText.empty() ? std::min(size, kFirstBlock) : size},
                     [&] { return previewInto(conditionText); });
}

bool Workspace::previewInto(const std::string& conditionText) {
    progress_.beginStep(0, "正在读取文件……");
    feedback_.showOperationText(std::string(" 当前操作：正在读取文件......"));
    const std::string statement = source::previewStatement(bound_.binding.tableFile(), conditionText);
    platform::BusyGuard busy(feedback_);
    try {
        if (bound_.adodst_preview.isOpen()) bound_.adodst_preview.close();
        bound_.adodst_preview.open(bound_.adoconn_preview, statement, &progress_);
        return true;
    } catch (const std::exception& failure) {
        bound_.adodst_preview.close();
        progress_.throwIfCancelled();
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
    if (!copyCurrent()) return false;
    if (!PreviewData(request.conditionText)) return false;
    feedback_.showOperationText(preview::dataPreviewStatusText(request.label));
    return true;
}

bool Workspace::PreviewDomains(const std::string& column, int top, bool automatic) {
    if (!isBound()) return false;  // no file was ever opened
    if (!copyCurrent()) return false;
    engine::ResultSet& result = bound_.adodst_domain;
    const std::string statement = preview::domainPreviewStatement(bound_.binding.tableFile(), column, top);
    const bool shown = operation({sourceBytes()}, [&] {
        progress_.beginStep(0, "正在统计邮件域……");
        platform::BusyGuard busy(feedback_);
        try {
            if (result.isOpen()) result.close();
            result.open(bound_.adoconn_preview, statement, &progress_);
            return true;
        } catch (const std::exception& failure) {
            result.close();
            progress_.throwIfCancelled();
            feedback_.showMessage(failure.what());
            return false;
        }
    });
    if (!shown) return false;
    feedback_.showOperationText(automatic ? preview::automaticDomainPreviewStatusText()
                                          : preview::domainPreviewStatusText(preview::domainConditionLabel(top)));
    return true;
}

bool Workspace::ExportAll(const exporting::CleaningOptions& options, const std::string& column,
                          const std::string& outputDir) {
    if (!copyCurrent()) return false;
    exportSummary_.reset();
    exporting::ExportRun run{bound_, outputDir, feedback_, exporting::RunProgress(feedback_, cancel_)};
    if (!operation({}, [&] { return exporting::RunFullExport(run, options, column); })) return false;
    exportSummary_ = run.summary;
    return true;
}

bool Workspace::ExportByDomain(const exporting::CleaningOptions& options, const std::string& column,
                               const std::string& outputDir, const std::string& settingsPath) {
    if (!copyCurrent()) return false;
    exportSummary_.reset();
    exporting::ExportRun run{bound_, outputDir, feedback_, exporting::RunProgress(feedback_, cancel_)};
    if (!operation({}, [&] { return exporting::RunDomainExport(run, options, column, settingsPath); })) return false;
    exportSummary_ = run.summary;
    return true;
}

}  // namespace core
