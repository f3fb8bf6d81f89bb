// What an operation of the core may ask of the user interface: the plain
// message box, the failure box for failures no operation caught, the busy
// (hourglass) cursor, the operation panel of the status line, and how far a
// long operation has got.  The window implements it with Qt; the command line
// prints; tests record.  All texts UTF-8.
//
// The calls come from the thread that runs the operation, which need not be
// the user interface's: the window runs operations on a worker thread, and a
// message box shown from there holds the operation until it is closed.
#pragma once

#include <string>

namespace platform {

class OperationFeedback {
public:
    virtual ~OperationFeedback() = default;
    // The plain message box: application title, the text, one OK, no icon.
    virtual void showMessage(const std::string& text) = 0;
    // The failure box: application title, stop icon, one OK.  The text is the
    // failure's own; the box shows it as uncaughtFailureText() gives it.
    virtual void showFailure(const std::string& text) = 0;
    virtual void setBusy(bool busy) = 0;
    // The operation panel of the status line (texts beginning " 当前操作：").
    virtual void showOperationText(const std::string& /*text*/) {}
    // The step now running, in words ("正在导出无效Email地址……"), and the share
    // of the whole operation done, 0 to 1; at most once a step and per
    // thousandth of the whole.
    virtual void showProgress(const std::string& /*stepText*/, double /*fraction*/) {}
    // An export's completion message with the summary of what it did below it
    // (lines joined by "\n"); by default both in one plain box.
    virtual void showCompletion(const std::string& text, const std::string& summary) {
        showMessage(summary.empty() ? text : text + "\n\n" + summary);
    }
};

// The failure box's text: the message with a full stop appended when its last
// character sorts after "."; the last character is judged by its first byte,
// so every Chinese character gets the full stop.
std::string uncaughtFailureText(const std::string& message);

// Shows the busy cursor for the lifetime of the guard.
class BusyGuard {
public:
    explicit BusyGuard(OperationFeedback& feedback) : feedback_(feedback) { feedback_.setBusy(true); }
    ~BusyGuard() { feedback_.setBusy(false); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    OperationFeedback& feedback_;
};

}  // namespace platform
