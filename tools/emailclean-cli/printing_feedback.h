// The command line's answer to the window's message boxes: the messages an
// operation shows are collected and printed, in UTF-8, once the outcome is
// known: to standard output when the operation succeeded, to standard error
// when it failed.
#pragma once

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

    const std::vector<std::string>& messages() const { return messages_; }

    // Prints every message, one a line, in UTF-8, to stdout or stderr.
    void print(bool success) const;
    void printTo(std::FILE* stream) const;

private:
    std::vector<std::string> messages_;
};

}  // namespace cli
