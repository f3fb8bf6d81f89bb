#include "app/control_lock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>

namespace app {

namespace {

bool operates(QWidget* w) {
    // The inner buttons of a grid (its corner) or a tab bar (its arrows) are
    // the view's own.
    if (qobject_cast<QAbstractItemView*>(w->parentWidget()) || qobject_cast<QTabBar*>(w->parentWidget())) return false;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return !edit->isReadOnly() && !qobject_cast<QComboBox*>(w->parent());
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QTabBar*>(w);
}

}  // namespace

ControlLock::ControlLock(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // Only the window's own controls: a dialog it owns is a window of its own.
        if (w->window() != window || !operates(w) || !w->isEnabled()) continue;
        disabled_.emplace_back(w);
    }
    for (const auto& w : disabled_) w->setEnabled(false);
}

ControlLock::~ControlLock() {
    for (const auto& w : disabled_)
        if (w) w->setEnabled(true);
}

}  // namespace app
