// The failure box that a failure no handler catches ends in: application
// title, stop icon, one OK.  The dialog reports through this interface so
// that the window can lend its own box and tests can record the messages.
#pragma once

#include <string>

namespace settings {

class FailureBox {
public:
    virtual ~FailureBox() = default;
    // The text as the failure carries it, GBK; the box adds the full stop.
    virtual void showUncaughtFailure(const std::string& gbkText) = 0;
};

// The text the box shows: a full stop is appended when the last character
// sorts after ".".
std::string failureBoxText(const std::string& gbkText);

}  // namespace settings
