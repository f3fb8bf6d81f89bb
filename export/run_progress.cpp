#include "export/run_progress.h"

#include <algorithm>
#include <numeric>

namespace exporting {

void RunProgress::plan(std::vector<std::uint64_t> stepBytes) {
    steps_ = std::move(stepBytes);
    report();
}

void RunProgress::beginStep(std::size_t step, const std::string& text, std::size_t part, std::size_t parts) {
    step_ = step;
    part_ = part;
    parts_ = std::max<std::size_t>(parts, 1);
    text_ = text;
    read_ = 0;
    scanShare_ = 1.0;
    written_ = 0;
    filesBefore_ = fileTotal_ = fileRead_ = 0;
    report();
}

void RunProgress::wrote(std::uint64_t rowsWritten, std::uint64_t rows) {
    written_ = rows == 0 ? 1.0 : static_cast<double>(rowsWritten) / static_cast<double>(rows);
    report();
}

void RunProgress::retitle(const std::string& text) {
    text_ = text;
    report();
}

void RunProgress::advance(std::uint64_t bytesRead) {
    read_ = bytesRead;
    report();
}

bool RunProgress::progress(std::uint64_t bytesRead, std::uint64_t totalBytes) {
    if (totalBytes != fileTotal_ || bytesRead < fileRead_) {  // the next file of the statement
        filesBefore_ += fileTotal_;
        fileTotal_ = totalBytes;
    }
    fileRead_ = bytesRead;
    advance(filesBefore_ + bytesRead);
    return !cancelRequested();
}

void RunProgress::report() {
    if (feedback_ == nullptr || text_.empty()) return;  // no step begun yet
    const std::size_t current = std::min(step_, steps_.size());
    const double total = static_cast<double>(std::accumulate(steps_.begin(), steps_.end(), std::uint64_t{0}));
    const double before =
        static_cast<double>(std::accumulate(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(current),
                                            std::uint64_t{0}));
    const double partBytes =
        current < steps_.size() ? static_cast<double>(steps_[current]) / static_cast<double>(parts_) : 0.0;
    const double scanned = partBytes > 0 ? std::min(static_cast<double>(read_) / partBytes, 1.0) : 0.0;
    const double withinPart = written_ > 0 ? scanShare_ + (1 - scanShare_) * std::min(written_, 1.0)
                                           : scanShare_ * scanned;
    const double done = before + partBytes * (static_cast<double>(part_) + withinPart);
    if (total > 0) shown_ = std::clamp(done / total, shown_, 1.0);
    const int perMille = static_cast<int>(shown_ * 1000);
    if (perMille == shownPerMille_ && text_ == shownText_) return;
    shownPerMille_ = perMille;
    shownText_ = text_;
    feedback_->showProgress(text_, shown_);
}

}  // namespace exporting
