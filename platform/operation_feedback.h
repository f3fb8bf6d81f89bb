// What an operation of the core may ask of the user interface: a plain
// message box and the busy (hourglass) cursor.  The window implements it with
// Qt; the command line prints; tests record.
#pragma once

#include <string>

namespace platform {

class OperationFeedback {
public:
    virtual ~OperationFeedback() = default;
    // The plain message box: application title, the text, one OK, no icon.
    // The text is GBK.
    virtual void showMessage(const std::string& gbkText) = 0;
    virtual void setBusy(bool busy) = 0;
};

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
