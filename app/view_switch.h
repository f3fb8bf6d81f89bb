// A two-way switch "表格 | 图表" between the grid and the chart of the same rows.
#pragma once

#include <QWidget>

class QToolButton;

namespace app {

class ViewSwitch : public QWidget {
    Q_OBJECT
public:
    enum View { Table = 0, Chart = 1 };

    explicit ViewSwitch(QWidget* parent = nullptr);

    View view() const;
    void setView(View view);

    QToolButton* tableButton;
    QToolButton* chartButton;

signals:
    void viewChanged(int view);
};

}  // namespace app
