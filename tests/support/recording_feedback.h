// An OperationFeedback that records what an operation showed.
#pragma once

#include <string>
#include <vector>

#include "platform/operation_feedback.h"

class RecordingFeedback : public platform::OperationFeedback {
public:
    void showMessage(const std::string& gbkText) override { messages.push_back(gbkText); }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy) ++busyCount;
    }

    std::vector<std::string> messages;
    int busyDepth = 0;  // back to 0 when every busy cursor was restored
    int busyCount = 0;
};
