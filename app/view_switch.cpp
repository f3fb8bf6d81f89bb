#include "app/view_switch.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace app {

namespace {

QToolButton* half(const char* text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(QString::fromUtf8(text));
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

}  // namespace

ViewSwitch::ViewSwitch(QWidget* parent) : QWidget(parent) {
    tableButton = half("表格", this);
    chartButton = half("图表", this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tableButton);
    layout->addWidget(chartButton);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    group->addButton(tableButton, Table);
    group->addButton(chartButton, Chart);
    tableButton->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit viewChanged(id);
    });
}

ViewSwitch::View ViewSwitch::view() const { return chartButton->isChecked() ? Chart : Table; }

void ViewSwitch::setView(View view) { (view == Chart ? chartButton : tableButton)->setChecked(true); }

}  // namespace app
