#include "app/digit_filter.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace app {

bool isDigitFilterCharacter(char16_t code) {
    return code == 8 || code == 13 || (code >= u'0' && code <= u'9') || code == 127;
}

namespace {

bool isEditShortcut(const QKeyEvent* key) {
    for (auto standard : {QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Undo,
                          QKeySequence::Redo, QKeySequence::SelectAll})
        if (key->matches(standard)) return true;
    return false;
}

}  // namespace

bool DigitFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Keys that type nothing (arrows, Home, ...) are not characters, and
        // Tab moves the focus before it could type anything.
        const bool focusKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!text.isEmpty() && !focusKey && !isEditShortcut(key)) {
            for (const QChar c : text)
                if (!isDigitFilterCharacter(c.unicode())) return true;  // discarded
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace app
