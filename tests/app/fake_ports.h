// Answers the window's dialogs from queues and records what it showed.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "app/ui_ports.h"

class FakePorts : public app::UiPorts {
public:
    void showMessage(const QString& text) override {
        messages << text;
        if (onBox) onBox();
    }
    // The completion message among the messages, its summary apart.
    void showCompletion(const QString& text, const QString& summary) override {
        messages << text;
        summaries << summary;
        if (onBox) onBox();
    }
    bool confirm(const QString& question) override {
        questions << question;
        if (confirmAnswers.empty()) return false;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void showFailure(const QString& text) override { failures << text; }
    std::optional<QString> chooseFile(const QString& chosenLast) override {
        offeredFiles << chosenLast;
        if (fileAnswers.empty()) return std::nullopt;
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
    std::optional<QString> chooseFolder(const QString& title) override {
        folderTitles << title;
        if (folderAnswers.empty()) return std::nullopt;
        auto answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }
    void openUrl(const QString& url) override { urls << url; }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy) ++busyCount;
    }

    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<bool> confirmAnswers;
    std::function<void()> onBox;  // called as a message box would show
    QStringList messages, summaries, questions, failures, offeredFiles, folderTitles, urls;
    int busyDepth = 0;
    int busyCount = 0;
};
