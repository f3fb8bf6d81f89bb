// The failure box shown on screen with a Qt message box.
#pragma once

#include "settings/dialog/failure_box.h"

class QWidget;

namespace settings {

class MessageFailureBox : public FailureBox {
public:
    // parent: the window the box is modal to (may be null).
    explicit MessageFailureBox(QWidget* parent = nullptr) : parent_(parent) {}
    void showUncaughtFailure(const std::string& gbkText) override;

private:
    QWidget* parent_;
};

}  // namespace settings
