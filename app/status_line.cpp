#include "app/status_line.h"

#include <QMouseEvent>

namespace app {

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
    for (auto& panel : panels_) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAttribute(Qt::WA_TransparentForMouseEvents);
        panel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    }
    layoutPanels();
}

void StatusLine::setPanelText(int panel, const QString& text) { panels_.at(panel)->setText(text); }

QString StatusLine::panelText(int panel) const { return panels_.at(panel)->text(); }

QRect StatusLine::panelGeometry(int panel) const { return panels_.at(panel)->geometry(); }

void StatusLine::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void StatusLine::resizeEvent(QResizeEvent*) { layoutPanels(); }

void StatusLine::layoutPanels() {
    int left = 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        const int width = i < kFixedWidths.size() ? kFixedWidths[i] : std::max(0, this->width() - left);
        panels_[i]->setGeometry(left, 1, width - 2, height() - 2);
        left += width;
    }
}

}  // namespace app
