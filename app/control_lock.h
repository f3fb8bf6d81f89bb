// While an operation runs, the controls of a window through which the user
// could start another operation or change an option are disabled: buttons,
// check boxes, radio buttons, drop-down lists, editable line edits and tab
// bars.  Labels, grids, read-only fields and the status line keep their look.
// Each control gets back the state it had when the lock is released.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace app {

class ControlLock {
public:
    explicit ControlLock(QWidget* window);
    ~ControlLock();
    ControlLock(const ControlLock&) = delete;
    ControlLock& operator=(const ControlLock&) = delete;

private:
    std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace app
