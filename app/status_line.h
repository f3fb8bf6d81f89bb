// The status line: five panels side by side, each a fixed width except the
// last, which reaches to the right edge.  A click anywhere emits clicked().
#pragma once

#include <QLabel>
#include <QWidget>
#include <array>

namespace app {

class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    // Left edge and width of a panel, as laid out now.
    QRect panelGeometry(int panel) const;

    static constexpr std::array<int, 4> kFixedWidths{320, 150, 170, 160};

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutPanels();
    std::array<QLabel*, 5> panels_{};
};

}  // namespace app
