// Opening and binding the source file: the core binds it, writes the
// description file, reopens the connections, runs the 200-row preview and
// counts the rows; the window shows the columns and the count.
#include <QComboBox>
#include <QLabel>
#include <algorithm>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/domain_chart.h"
#include "app/preview_grid.h"
#include "app/widget_text.h"
#include "app/result_set_model.h"
#include "app/status_line.h"
#include "app/tform1.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

core::SourceOptions TForm1::readSourceOptions() const {
    return core::SourceOptions{cbx_hdr->isChecked(), cbx_delimite->currentIndex(),
                               static_cast<source::EncodingChoice>(std::max(0, cbx_encoding->currentIndex()))};
}

bool TForm1::showBinding(const core::BindOutcome& outcome) {
    Label15->setText(app::widgetText(source::encodingNote(outcome.encoding, outcome.encodingDetected)));
    if (!outcome.previewed) return false;
    btn_search->setEnabled(true);
    btn_export_all->setEnabled(true);
    btn_export_domain->setEnabled(true);
    app::showPreviewFromTopLeft(DBGridEh_preview_data);
    FillFieldList(outcome.columns);
    return true;
}

void TForm1::FillFieldList(const std::vector<std::string>& columns) {
    cbx_field->clear();
    // The grid's columns are the preview's columns, named as the engine names them.
    for (const std::string& name : columns)
        cbx_field->addItem(app::widgetText(name), QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    if (cbx_field->count() > 0) cbx_field->setCurrentIndex(0);
}

std::string TForm1::addressColumn() const {
    if (cbx_field->currentIndex() < 0) return {};
    return cbx_field->currentData().toByteArray().toStdString();
}

void TForm1::btn_fileopenClick() {
    const auto chosen = ports_->chooseFile(chosenLast_);
    if (!chosen) return;
    openChosenFile(*chosen);
}

void TForm1::openChosenFile(const QString& chosen) {
    chosenLast_ = chosen;
    const std::string path = app::utf8Of(chosen);
    edt_file->setText(chosen);
    core::BindOutcome outcome;
    // A successful binding also empties the domain statistics.
    const core::SourceOptions options = readSourceOptions();
    ds_preview->reload([&] {
        ds_domain->reload([&] {
            ds_csv->reload([&] { runOperation([&] { outcome = workspace_.OpenSourceFile(path, options, true); }); });
        });
    });
    edt_output_dir->setText(app::widgetText(workspace_.sourceDir()));
    if (!showBinding(outcome)) return;
    showPageByProgram(0);
    rbt_viewoption_all->setChecked(true);
    if (outcome.recordCount) {
        status_bar1->setPanelText(
            1, app::widgetText(" 记录总数：" + std::to_string(*outcome.recordCount)));
        domainChart->setListSize(*outcome.recordCount);
    }
}

void TForm1::rebindAfterOptionChange(const char* statusUtf8) {
    if (!workspace_.isBound()) return;  // the next opening uses the new value
    core::BindOutcome outcome;
    const core::SourceOptions options = readSourceOptions();
    ds_preview->reload([&] { ds_domain->reload([&] { runOperation([&] { outcome = workspace_.RebindSource(options); }); }); });
    if (!showBinding(outcome)) return;
    rbt_viewoption_all->setChecked(true);
    showOperationText(statusUtf8);
}

void TForm1::cbx_delimiteChange() { rebindAfterOptionChange(" 当前操作：文件格式选项[列分隔符]"); }

void TForm1::cbx_hdrClick() { rebindAfterOptionChange(" 当前操作：文件格式选项[第一行是否含有列名称]"); }

void TForm1::cbx_encodingChange() { rebindAfterOptionChange(" 当前操作：文件格式选项[文件编码]"); }
