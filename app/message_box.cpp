#include "app/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QScreen>
#include <QShowEvent>
#include <QSpacerItem>
#include <algorithm>

#include "app/ui_ports.h"

namespace app {

namespace {

// What a window manager puts on each side of a centred title: an icon on the
// left, up to three buttons on the right, and their padding.
constexpr int kTitleBarSideAllowance = 96;
// Title bars use a larger, bold font than the dialog's text.
constexpr int kTitleFontPixels = 15;

}  // namespace

TitledMessageBox::TitledMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* owner)
    : QMessageBox(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner) {}

int TitledMessageBox::minimumBoxWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setPixelSize(std::max(kTitleFontPixels, QFontInfo(font).pixelSize()));
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + 2 * kTitleBarSideAllowance;
}

void TitledMessageBox::showEvent(QShowEvent* event) {
    // QMessageBox sizes itself to its layout's least width when it is shown:
    // a spacer across the layout makes that at least the title's width.
    if (!widened_) {
        if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
            const QMargins margins = grid->contentsMargins();
            const int width = minimumBoxWidth(windowTitle()) - margins.left() - margins.right();
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0,
                          1, grid->columnCount());
            widened_ = true;
        }
    }
    QMessageBox::showEvent(event);
    // Centred on the screen of the window that owns it (Qt centres a dialog
    // on its owner).
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void showTitledMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    TitledMessageBox box(icon, text, owner);
    box.exec();
}

}  // namespace app
