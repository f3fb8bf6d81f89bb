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
    // The completion message among the messages, its summary apart.
    void showCompletion(const std::string& gbkText, const std::string& gbkSummary) override {
        messages.push_back(gbkText);
        summaries.push_back(gbkSummary);
    }
    void showProgress(const std::string& gbkStepText, double fraction) override {
        if (steps.empty() || steps.back() != gbkStepText) steps.push_back(gbkStepText);
        fractions.push_back(fraction);
    }

    std::vector<std::string> messages;  // both boxes, in the order shown
    std::vector<std::string> failures;  // the failure box's, as the failures carry them
    std::vector<std::string> operationTexts;
    std::vector<std::string> summaries;  // below the completion messages
    std::vector<std::string> steps;      // the progress's words, each change once
    std::vector<double> fractions;       // every share of the whole reported
    int busyDepth = 0;  // back to 0 when every busy cursor was restored
    int busyCount = 0;
};
