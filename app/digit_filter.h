// The digit filter of the numeric edits: a typed character passes only when
// it is a digit, backspace (8), carriage return (13) or delete (127).  It sees
// typed characters only: pasted text and the edit shortcuts are not filtered.
#pragma once

#include <QObject>

namespace app {

bool isDigitFilterCharacter(char16_t code);

class DigitFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace app
