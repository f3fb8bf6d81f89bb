// The tool's message boxes: the application title as caption, one OK button,
// wide enough for the window manager to show the whole title, and centred on
// the screen rather than on the window that owns them.
#pragma once

#include <QMessageBox>

namespace app {

class TitledMessageBox : public QMessageBox {
public:
    TitledMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* owner);

    // The least width of a box: the title in a bold title-bar font, with room
    // on both sides for the buttons and icon a window manager draws beside a
    // centred title.
    static int minimumBoxWidth(const QString& title);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool widened_ = false;
};

// Shows the box modally until it is closed.
void showTitledMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text);

}  // namespace app
