// How far a running operation has got, reported through the feedback, and the
// checkpoints at which a cancel request stops it.
//
// The bar covers the whole operation, weighted by the bytes each step reads:
// the operation plans its steps with their sizes (estimated from above until
// its own files are written, then corrected), and within a step the engine's
// scan (ScanObserver) or the split reports the bytes read so far.  The share
// reported never goes back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/cancel_request.h"
#include "platform/operation_feedback.h"

namespace exporting {

class RunProgress : public engine::ScanObserver {
public:
    // Reports nothing and is never cancelled.
    RunProgress() = default;
    RunProgress(platform::OperationFeedback& feedback, const platform::CancelRequest& cancel)
        : feedback_(&feedback), cancel_(&cancel) {}

    // The bytes each step reads, in the order the steps run; may be called
    // again while a step runs, as sizes become known.
    void plan(std::vector<std::uint64_t> stepBytes);
    // Step `step` begins; the steps before it count as done, also those that
    // were skipped.  A step run in `parts` equal parts (one statement per
    // domain group) begins its part `part`, counted from 0.
    void beginStep(std::size_t step, const std::string& text, std::size_t part = 0, std::size_t parts = 1);
    // New words for the step running, its progress kept ("正在拆分第 3 个文件……").
    void retitle(const std::string& text);
    // The bytes of the current step (or part) read so far.
    void advance(std::uint64_t bytesRead);
    // The step writes its result after its scan: the scan takes kScanShare of
    // the step, the writing (and what comes between) the rest.  Call before
    // the scan begins.
    void willWrite() { scanShare_ = kScanShare; }
    // Rows of the step's result written so far, of rows.
    void wrote(std::uint64_t rowsWritten, std::uint64_t rows);
    static constexpr double kScanShare = 0.85;

    // The engine's scan: bytes read of the file it scans (a statement with a
    // join reads two files, one after the other).  False once cancelled.
    bool progress(std::uint64_t bytesRead, std::uint64_t totalBytes) override;
    // Any thread of the statement, between blocks: the cancel request alone.
    bool stopRequested() const override { return cancelRequested(); }

    bool cancelRequested() const { return cancel_ != nullptr && cancel_->requested(); }
    // Throws platform::OperationCancelled when cancelled.
    void throwIfCancelled() const {
        if (cancelRequested()) throw platform::OperationCancelled{};
    }

    // The share of the whole operation done, as last reported.
    double fraction() const { return shown_; }

private:
    void report();

    platform::OperationFeedback* feedback_ = nullptr;
    const platform::CancelRequest* cancel_ = nullptr;
    std::vector<std::uint64_t> steps_;
    std::size_t step_ = 0, part_ = 0, parts_ = 1;
    std::string text_;
    std::uint64_t read_ = 0;  // bytes of the current step or part read
    double scanShare_ = 1.0;  // of the current step or part
    double written_ = 0;      // share of the step's result written
    // The files a statement has read before the one it scans now.
    std::uint64_t filesBefore_ = 0, fileTotal_ = 0, fileRead_ = 0;
    double shown_ = 0;
    int shownPerMille_ = -1;
    std::string shownText_;
};

}  // namespace exporting
