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
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "platform/operation_feedback.h"
#include "preview/data_preview.h"
#include "source/bound_source.h"

namespace core {

// How the source file is read: the format options of the window.
struct SourceOptions {
    bool header = false;     // the first line holds column names
    int delimiterIndex = 0;  // 0 comma, 1 semicolon, 2 tab, 3 blank
    source::EncodingChoice encoding = source::EncodingChoice::Auto;
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
};

// The record count's value as a whole number; a null or a text that is not
// one fails as a conversion would ("'' is not a valid integer value").
long long recordCountOf(const std::optional<std::string_view>& value);

class Workspace {
public:
    explicit Workspace(platform::OperationFeedback& feedback);
    // Shut-down: the result sets are closed and the description file of the
    // last binding is removed.
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // --- state, read-only ---------------------------------------------------
    const source::SourceBinding& binding() const { return bound_.binding; }
    const std::string& sourceDir() const { return bound_.binding.sourceDir(); }
    const std::string& sourceFile() const { return bound_.binding.sourceFile(); }
    source::TextEncoding encoding() const { return bound_.encoding; }
    bool isBound() const { return bound_.binding.isBound(); }
    const engine::ResultSet& previewResult() const { return bound_.adodst_preview; }
    const engine::ResultSet& domainResult() const { return bound_.adodst_domain; }
    const engine::ResultSet& csvResult() const { return bound_.adodst_csv; }

    // --- operations ---------------------------------------------------------
    // Opening a file (full path): the previous binding's description file is
    // removed, the file bound, the description file written, both connections
    // reopened and the 200-row preview run; then, with withRecordCount, the
    // record count over the first column.  A binding whose preview ran closes
    // the domain statistics of the one before.
    BindOutcome OpenSourceFile(const std::string& path, const SourceOptions& options, bool withRecordCount);

    // A format option changed: the same binding again with the new options
    // (the domain statistics closed as above).  Nothing happens while no file
    // is bound (the next opening uses them).
    BindOutcome RebindSource(const SourceOptions& options);

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
    // before its completion message.
    bool ExportAll(const exporting::CleaningOptions& options, const std::string& column,
                   const std::string& outputDir);
    bool ExportByDomain(const exporting::CleaningOptions& options, const std::string& column,
                        const std::string& outputDir, const std::string& settingsPath);

    // The shut-down's removal of the description file (also done by the destructor).
    void ShutDown();

private:
    BindOutcome bindAndPreview(const SourceOptions& options, bool withRecordCount);
    bool OpenSourceConnections(const SourceOptions& options);
    // Runs body; a failure it lets out goes to the failure box.  False then.
    template <class Body>
    bool reportingUncaught(Body&& body);

    platform::OperationFeedback& feedback_;
    source::BoundSource bound_;
};

}  // namespace core
