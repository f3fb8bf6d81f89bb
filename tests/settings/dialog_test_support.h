// Helpers shared by the dialog tests: a failure box that records, GBK texts,
// files in a temporary configuration folder, typing into table cells.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "platform/operation_feedback.h"
#include "temp_dir.h"

class QWidget;

namespace settings {
class ValueListEditor;
}

namespace test_support {

// Records the failures the dialog reports (its only feedback).
class RecordingFailureBox : public platform::OperationFeedback {
public:
    void showMessage(const std::string& text) override { plainMessages.push_back(text); }
    void showFailure(const std::string& text) override { messages.push_back(text); }
    void setBusy(bool) override {}
    std::vector<std::string> messages;       // the failure box
    std::vector<std::string> plainMessages;  // the plain box (never expected)
};

// Records like RecordingFailureBox, and also shows a modal box (closed at
// once by a timer) that takes the keyboard focus, as the real box does.
class ModalFailureBox : public RecordingFailureBox {
public:
    void showFailure(const std::string& text) override;
};

// The GBK bytes of a text, as the settings file holds them.
std::string gbk(const char* utf8);

// Whole files as bytes, the helpers of every test folder.
using testsupport::readBytes;
using testsupport::writeBytes;
bool fileExists(const std::string& path);

// Types text into the current cell of the table the way a user does: the
// first key opens the cell editor, the rest goes to the editor.  Chinese text
// arrives as an input-method commit (key events carry Latin-1 only).
void typeIntoCurrentCell(settings::ValueListEditor& table, const QString& text);
// Sends one key to whatever has the keyboard in the table: its editor if a
// cell is being edited, else the table.
void pressKey(settings::ValueListEditor& table, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace test_support
