// The operations core: what the main window owns in the tool's design (the
// bound source file, the two engine connections, the three result sets and
// the connection the shared result set is bound to) and every operation over
// it, one call each, taking plain option values.  The window and the command
// line read their inputs into these values, call, and show what the feedback
// reports; neither holds operation or engine state of its own.
//
// Every call reports through the feedback: an operation's own failure as the
// plain message box, a failure no operation catches (a number that does not
// convert, a file failure while splitting, a description file that cannot be
// written) as the failure box; none lets an exception out.  All texts UTF-8.
//
// Long work: every call reports its steps and how far it has got (the
// feedback's showProgress, weighted by the bytes its statements read), and
// stops at its next checkpoint once requestCancel() was called, from any
// thread (or a signal handler): within a statement's scan block, between the
// rows of a file being written, between the lines of a split.  A cancelled
// call shows "操作已取消。" and nothing more; the files it completed stay, the
// one it was writing is removed.  One call runs at a time.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/domain_check.h"
#include "export/export_run.h"
#include "platform/cancel_request.h"
#include "platform/operation_feedback.h"
#include "platform/private_folder.h"
#include "preview/data_preview.h"
#include "source/bound_source.h"

namespace core {

// How the source file is read: the format options of the window.  A
// workbook (.xlsx, .xls) is read through a table copy of one worksheet,
// comma-separated UTF-8: the separator and the encoding do not apply to it.
struct SourceOptions {
    SourceOptions(bool header = false, int delimiterIndex = 0,
                  source::EncodingChoice encoding = source::EncodingChoice::Auto,
                  std::optional<std::string> sheet = std::nullopt)
        : header(header), delimiterIndex(delimiterIndex), encoding(encoding), sheet(std::move(sheet)) {}

    bool header = false;     // the first line holds column names
    int delimiterIndex = 0;  // 0 comma, 1 semicolon, 2 tab, 3 blank
    source::EncodingChoice encoding = source::EncodingChoice::Auto;
    // A workbook's worksheet by name, or by number from 1.  None: on opening
    // the first visible one that holds data, on a rebinding the one bound.
    std::optional<std::string> sheet;
};

// What binding a file came to.
struct BindOutcome {
    bool previewed = false;            // the connections opened and the preview ran
    std::vector<std::string> columns;  // the preview's columns: the address columns offered
    source::TextEncoding encoding = source::TextEncoding::Gbk;  // in force for the binding
    bool encodingDetected = true;                                // not the user's choice
    // The record count over the first column, when asked for, there is a
    // column and the count ran (a failed count was shown; the binding stays).
    std::optional<long long> recordCount;
    // A workbook: its worksheets by name and the one bound.
    bool workbook = false;
    std::vector<std::string> sheets;
    std::size_t sheet = 0;
    // A workbook (or the worksheet asked for) that could not be read: its
    // message was shown, and the binding before it stays as it was.
    bool refused = false;
};

// The record count's value as a whole number; a null or a text that is not
// one fails as a conversion would ("'' is not a valid integer value").
long long recordCountOf(const std::optional<std::string_view>& value);

class Workspace {
public:
    // privateRoot: where the private folders of the tool's running instances
    // lie (workbooks' table copies); those of runs that ended without
    // removing theirs are removed now.
    explicit Workspace(platform::OperationFeedback& feedback,
                       const std::string& privateRoot = platform::defaultPrivateRoot());
    // Shut-down: the result sets are closed, the description file of the
    // last binding and the private folder are removed.
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // --- state, read-only ---------------------------------------------------
    const source::SourceBinding& binding() const { return bound_.binding; }
    const std::string& sourceDir() const { return bound_.binding.sourceDir(); }
    const std::string& sourceFile() const { return bound_.binding.sourceFile(); }
    source::TextEncoding encoding() const { return bound_.encoding; }
    bool isBound() const { return bound_.binding.isBound(); }
    // A workbook is bound; its worksheets and the one bound.
    bool isWorkbook() const { return bound_.binding.isCopy(); }
    const source::WorkbookCopy& workbook() const { return bound_.workbook; }
    // The private folder of this run ("" until a workbook needed it).
    const std::string& privateFolder() const { return bound_.privateFolder.madePath(); }
    const engine::ResultSet& previewResult() const { return bound_.adodst_preview; }
    const engine::ResultSet& domainResult() const { return bound_.adodst_domain; }
    const engine::ResultSet& csvResult() const { return bound_.adodst_csv; }
    // What the last export did, when it came to its completion message.
    const std::optional<exporting::ExportSummary>& exportSummary() const { return exportSummary_; }

    // --- cancelling ---------------------------------------------------------
    // Asks the running call to stop; a request made while none runs stops the
    // next one at its first checkpoint.  A call that stops for it consumes it.
    void requestCancel() noexcept { cancel_.request(); }
    // Forgets a request that came too late for the call it was meant for.
    void clearCancelRequest() noexcept { cancel_.clear(); }
    // The request itself, for a signal handler to set.
    platform::CancelRequest& cancelRequest() noexcept { return cancel_; }

    // --- operations ---------------------------------------------------------
    // Opening a file (full path): the previous binding's description file is
    // removed, the file bound, the description file written, both connections
    // reopened and the 200-row preview run; then, with withRecordCount, the
    // record count over the first column.  A binding whose preview ran closes
    // the domain statistics of the one before.  A workbook's worksheet is
    // first converted into the private folder; a workbook that cannot be
    // read changes nothing (refused).
    BindOutcome OpenSourceFile(const std::string& path, const SourceOptions& options, bool withRecordCount);

    // A format option changed (or another worksheet was chosen): the same
    // binding again with the new options (the domain statistics closed as
    // above), then the record count with withRecordCount.  Nothing happens
    // while no file is bound (the next opening uses them).
    BindOutcome RebindSource(const SourceOptions& options, bool withRecordCount = false);

    // "select count([column]) as rcount" over the source file, on the
    // connection the shared result set was left bound to; shows
    // " 当前操作：预览查询[查询条件:无条件]".  Nothing when it failed (shown).
    std::optional<long long> CountRecords(const std::string& column);

    // The 200-row preview with a condition text ("" or " where ...").
    bool PreviewData(const std::string& conditionText);
    // The data preview by the chosen option: its input check, the preview,
    // then the status text.
    bool PreviewDataBy(const preview::DataPreviewInput& input);

    // The domain statistics for a top count (0: all); the status text of the
    // preview button, or with automatic that of the first turn to the page.
    bool PreviewDomains(const std::string& column, int top, bool automatic = false);

    // The full export (cleaning, then splitting) and the domain export; the
    // caller has shown the button's status text.  False when the run stopped
    // before its completion message.  The domain export goes on past a group
    // or remainder file it cannot write (as the window's design wants); its
    // summary counts such steps (failedSteps).
    bool ExportAll(const exporting::CleaningOptions& options, const std::string& column,
                   const std::string& outputDir);
    bool ExportByDomain(const exporting::CleaningOptions& options, const std::string& column,
                        const std::string& outputDir, const std::string& settingsPath);

    // The domain check of the address column (with DNS when withDns); shows
    // " 当前操作：域名检查".  Nothing when it failed (shown) or was cancelled.
    std::optional<exporting::DomainCheckReport> CheckDomains(const std::string& column,
                                                             const exporting::AddressCheckSettings& settings,
                                                             bool withDns);

    // The shut-down's removal of the description file and of the private
    // folder (also done by the destructor).
    void ShutDown();

private:
    // A workbook's worksheet into its table copy in the private folder;
    // nothing when it cannot be (shown), the copy before it then unchanged.
    std::optional<source::WorkbookCopy> copyWorksheet(const std::string& path, const std::optional<std::string>& sheet,
                                                      const std::string& copyPath);
    // The bound workbook's copy made again when the workbook changed since
    // (saved from a spreadsheet program meanwhile); false when it could not
    // be (shown).  True at once for a text file.
    bool copyCurrent(const std::optional<std::string>& sheet = std::nullopt);
    // Binding a workbook at path: its copy made, then bound as a text file is.
    BindOutcome openWorkbook(const std::string& path, const SourceOptions& options, bool withRecordCount);
    // The bound table file's path; "" while none.
    std::string tablePath() const;
    BindOutcome bindAndPreview(const SourceOptions& options, bool withRecordCount);
    bool OpenSourceConnections(const SourceOptions& options);
    // The statements of the calls above, cancellable (OperationCancelled).
    bool previewInto(const std::string& conditionText);
    std::optional<long long> countRecords(const std::string& column);
    // Runs one call with a fresh progress_ planned as steps of these sizes:
    // a failure it lets out goes to the failure box, a cancel request it met
    // ends it with "操作已取消。".  False then.
    template <class Body>
    bool operation(std::vector<std::uint64_t> stepBytes, Body&& body);
    // The source file's size in bytes (0 when it cannot be examined).
    std::uint64_t sourceBytes() const;

    platform::OperationFeedback& feedback_;
    source::BoundSource bound_;
    platform::CancelRequest cancel_;
    exporting::RunProgress progress_;  // of the call running
    std::optional<exporting::ExportSummary> exportSummary_;
};

}  // namespace core
