// An OperationFeedback that records what an operation showed.
#pragma once

#include <string>
#include <vector>

#include "platform/operation_feedback.h"

class RecordingFeedback : public platform::OperationFeedback {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    // Recorded as the failure box shows it, after the plain messages so far.
    void showFailure(const std::string& text) override {
        messages.push_back(platform::uncaughtFailureText(text));
        failures.push_back(text);
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy) ++busyCount;
    }
    void showOperationText(const std::string& text) override { operationTexts.push_back(text); }
    // The completion message among the messages, its summary apart.
    void showCompletion(const std::string& text, const std::string& summary) override {
        messages.push_back(text);
        summaries.push_back(summary);
    }
    void showProgress(const std::string& stepText, double fraction) override {
        if (steps.empty() || steps.back() != stepText) steps.push_back(stepText);
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
