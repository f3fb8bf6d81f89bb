// An OperationFeedback that records what an operation showed.
#pragma once

#include <string>
#include <vector>

#include "platform/operation_feedback.h"

class RecordingFeedback : public platform::OperationFeedback {
public:
    void showMessage(const std::string& gbkText) override { messages.push_back(gbkText); }
    // Recorded as the failure box shows it, after the plain messages so far.
    void showFailure(const std::string& gbkText) override {
        messages.push_back(platform::uncaughtFailureText(gbkText));
        failures.push_back(gbkText);
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy) ++busyCount;
    }
    void showOperationText(const std::string& gbkText) override { operationTexts.push_back(gbkText); }

    std::vector<std::string> messages;  // both boxes, in the order shown
    std::vector<std::string> failures;  // the failure box's, as the failures carry them
    std::vector<std::string> operationTexts;
    int busyDepth = 0;  // back to 0 when every busy cursor was restored
    int busyCount = 0;
};
