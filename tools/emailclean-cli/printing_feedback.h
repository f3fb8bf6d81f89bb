// The command line's answer to the window's message boxes: the messages an
// operation shows are collected and printed, in UTF-8, once the outcome is
// known: to standard output when the operation succeeded, to standard error
// when it failed.  An export's summary follows its completion message.  While
// an operation runs, a progress line may stand on standard error.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/operation_feedback.h"

namespace cli {

class PrintingFeedback : public platform::OperationFeedback {
public:
    // The plain message box: the text as the window shows it.
    void showMessage(const std::string& text) override;
    // The failure box (a failure no operation catches), with its full stop.
    void showFailure(const std::string& text) override;
    // No cursor and no status line on a terminal.
    void setBusy(bool) override {}
    // The completion message, then the summary's lines.
    void showCompletion(const std::string& text, const std::string& summary) override;
    // The progress line, when switched on: the step, the share done and the
    // time taken, rewritten in place.
    void showProgress(const std::string& stepText, double fraction) override;

    // Shows the progress line on standard error from now on.
    void enableProgressLine() { progressLine_ = true; }
    // Wipes the progress line, before anything else is printed.
    void endProgressLine();

    const std::vector<std::string>& messages() const { return messages_; }

    // Prints every message, one a line, in UTF-8, to stdout or stderr.
    void print(bool success) const;
    void printTo(std::FILE* stream) const;

private:
    std::vector<std::string> messages_;
    bool progressLine_ = false;
    bool lineShown_ = false;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_{};
    std::string lastText_;
};

}  // namespace cli
