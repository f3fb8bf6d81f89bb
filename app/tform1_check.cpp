// The domain check page "域名检查": the check runs on the worker thread over
// the distinct valid addresses of the address column; the grid lists every
// domain with a finding, the line under it counts role addresses and domains.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <optional>

#include "app/preview_grid.h"
#include "app/tform1.h"
#include "export/domain_check.h"
#include "export/export_summary.h"

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }
QString u(const std::string& utf8) { return QString::fromStdString(utf8); }

const char* const kCheckColumns[] = {"域名", "地址数", "判断", "建议"};

}  // namespace

void TForm1::createCheckControls() {
    TabSheet_Check = new QWidget;
    pgc_preview->addTab(TabSheet_Check, u("域名检查"));
    btn_check_domains = new QPushButton(u("检查域名"), TabSheet_Check);
    btn_check_domains->setGeometry(8, 4, 100, 25);
    cbx_check_domains_dns = new QCheckBox(u("同时查询DNS"), TabSheet_Check);
    cbx_check_domains_dns->adjustSize();
    cbx_check_domains_dns->setGeometry(124, 8, cbx_check_domains_dns->width(), 17);
    Label18 = new QLabel(u("注：检查有效地址（去重）的邮件域：疑似拼写错误、一次性邮箱；同时查询DNS时还查无邮件服务器和不存在的域名"),
                         TabSheet_Check);
    Label18->setWordWrap(true);
    Label18->setGeometry(8, 36, 489, 34);
    QPalette palette = Label18->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label18->setPalette(palette);

    ds_check = new QStandardItemModel(0, 4, this);
    for (int c = 0; c < 4; ++c) ds_check->setHorizontalHeaderItem(c, new QStandardItem(u(kCheckColumns[c])));
    const QRect grid = DBGridEh_preview_data->geometry();
    DBGridEh_check = app::createPreviewGrid(TabSheet_Check, 8, 74, 489, grid.bottom() - 74 - 24, ds_check);
    DBGridEh_check->setColumnWidth(0, 170);
    DBGridEh_check->setColumnWidth(1, 70);
    DBGridEh_check->setColumnWidth(2, 100);
    DBGridEh_check->setColumnWidth(3, 120);
    Label19 = new QLabel(TabSheet_Check);
    Label19->setGeometry(8, DBGridEh_check->geometry().bottom() + 5, 489, 17);
}

void TForm1::btn_check_domainsClick() {
    if (!workspace_.isBound()) return;
    const std::string column = addressColumn();
    const bool withDns = cbx_check_domains_dns->isChecked();
    std::optional<exporting::DomainCheckReport> report;
    runOperation([&] { report = workspace_.CheckDomains(column, {}, withDns); });
    if (!report) return;
    ds_check->removeRows(0, ds_check->rowCount());
    for (const auto& finding : report->findings) {
        QList<QStandardItem*> row;
        row << new QStandardItem(u(finding.domain));
        auto* count = new QStandardItem(u(exporting::GroupedDigits(finding.count)));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row << count << new QStandardItem(u(exporting::findingText(finding.kind)))
            << new QStandardItem(u(finding.suggestion));
        ds_check->appendRow(row);
    }
    Label19->setText(u("角色邮箱地址：") + u(exporting::GroupedDigits(report->roleAddresses)) +
                     u("　已检查邮件域：") + u(exporting::GroupedDigits(report->domainsChecked)) +
                     u("　有问题的邮件域：") + u(exporting::GroupedDigits(report->findings.size())));
}
