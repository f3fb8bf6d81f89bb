#include "app/setup_dialog/frm_suffix.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <exception>
#include <iterator>
#include <utility>

#include "platform/operation_feedback.h"
#include "app/setup_dialog/value_list_editor.h"
#include "settings/domain_export_settings.h"

namespace settings {

namespace {

// The choices of the top-N list, in list order; the first is the default.
constexpr int kTopChoices[] = {10, 15, 20, 30, 50};

QFont dialogFont() {
    QFont font;
    font.setFamilies({QString::fromUtf8("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(11);
    return font;
}

}  // namespace

Tfrm_suffix::Tfrm_suffix(std::string settingsPath, platform::OperationFeedback& failureBox, QWidget* parent)
    : Tfrm_suffix([path = std::move(settingsPath)] { return path; }, failureBox, parent) {}

Tfrm_suffix::Tfrm_suffix(std::function<std::string()> settingsPath, platform::OperationFeedback& failureBox, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)), failureBox_(failureBox) {
    setObjectName(QStringLiteral("frm_suffix"));
    setWindowTitle(QString::fromUtf8("@后缀分类导出设置"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    setFixedSize(417, 321);
    move(473, 244);

    grp_outputsetup = new QGroupBox(QString::fromUtf8("设置选项"), this);
    grp_outputsetup->setGeometry(8, 8, 393, 273);

    rbt_setup_top = new QRadioButton(QString::fromUtf8("数量排名前"), grp_outputsetup);
    rbt_setup_top->setGeometry(16, 26, 73, 17);
    rbt_setup_top->setChecked(true);

    cbx_top = new QComboBox(grp_outputsetup);
    cbx_top->setGeometry(96, 26, 41, 24);
    for (int top : kTopChoices) cbx_top->addItem(QString::number(top));
    cbx_top->setCurrentIndex(0);

    Label2 = new QLabel(QString::fromUtf8("个邮件域分类导出，其它邮件域汇总导出"), grp_outputsetup);
    Label2->setGeometry(144, 26, 198, 16);

    rbt_setup_custom =
        new QRadioButton(QString::fromUtf8("自定义邮件域分类导出，未定义邮件域汇总导出："), grp_outputsetup);
    rbt_setup_custom->setGeometry(16, 58, 265, 17);

    ValueListEditor_custom = new ValueListEditor(failureBox_, grp_outputsetup);
    ValueListEditor_custom->setGeometry(16, 83, 361, 177);
    ValueListEditor_custom->setEnabled(false);

    btn_ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                             QString::fromUtf8("确认"), this);
    btn_ok->setGeometry(208, 288, 75, 25);
    btn_ok->setDefault(true);

    btn_cancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                 QString::fromUtf8("取消"), this);
    btn_cancel->setGeometry(312, 288, 75, 25);
    btn_cancel->setAutoDefault(false);

    // toggled fires only on a change: a button already checked runs nothing.
    connect(rbt_setup_top, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) rbt_setup_topClick();
    });
    connect(rbt_setup_custom, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) rbt_setup_customClick();
    });
    connect(btn_ok, &QPushButton::clicked, this, &Tfrm_suffix::okPressed);
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ValueListEditor_custom, &ValueListEditor::escapePressed, this, &QDialog::reject);
}

void Tfrm_suffix::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;  // restored from an icon: not a new showing
    try {
        FormShow();
    } catch (const std::exception& failure) {
        failureBox_.showFailure(failure.what());
    }
}

void Tfrm_suffix::FormShow() {
    const DomainExportSettings settings = loadDomainExportSettings(settingsPath_());
    ValueListEditor_custom->setRows(settings.custom);
    if (settings.selected != 0)
        rbt_setup_custom->setChecked(true);
    else
        rbt_setup_top->setChecked(true);
    const int choice = cbx_top->findText(QString::number(settings.top));
    cbx_top->setCurrentIndex(choice >= 0 ? choice : 0);
}

void Tfrm_suffix::rbt_setup_topClick() {
    if (rbt_setup_top->isChecked()) ValueListEditor_custom->setEnabled(false);
}

void Tfrm_suffix::rbt_setup_customClick() {
    if (rbt_setup_custom->isChecked()) ValueListEditor_custom->setEnabled(true);
}

void Tfrm_suffix::btn_okClick() {
    const std::string path = settingsPath_();
    ValueListEditor_custom->finishEditing();
    DomainExportSettings settings;
    settings.selected = rbt_setup_top->isChecked() ? 0 : 1;
    const int choice = cbx_top->currentIndex();
    settings.top = choice >= 1 && choice < static_cast<int>(std::size(kTopChoices)) ? kTopChoices[choice]
                                                                                  : kTopChoices[0];
    settings.custom = ValueListEditor_custom->rows();
    saveDomainExportSettings(path, settings);
}

// OK closes the dialog even when writing fails; the failure goes to the box
// first, as any failure no handler catches.
void Tfrm_suffix::okPressed() {
    try {
        btn_okClick();
    } catch (const std::exception& failure) {
        failureBox_.showFailure(failure.what());
    }
    accept();
}

}  // namespace settings
