// Opening and binding the source file: the core binds it (a workbook through
// a table copy of one worksheet), writes the description file, reopens the
// connections, runs the 200-row preview and counts the rows; the window shows
// the columns, the count, and a workbook's worksheets.
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
    showSourceKind(outcome);
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

void TForm1::showSourceKind(const core::BindOutcome& outcome) {
    const bool workbook = workspace_.isWorkbook();
    Label15->setText(workbook ? QString::fromUtf8("Excel 工作簿")
                              : app::widgetText(source::encodingNote(outcome.encoding, outcome.encodingDetected)));
    // A workbook's copy is comma-separated UTF-8: these keep the user's
    // choice for the next text file.
    cbx_delimite->setEnabled(!workbook);
    cbx_encoding->setEnabled(!workbook);
    const std::vector<std::string>& sheets = workspace_.workbook().sheets;
    const bool choice = workbook && sheets.size() > 1;
    if (choice) {
        cbx_sheet->clear();
        for (const std::string& name : sheets) cbx_sheet->addItem(app::widgetText(name));
        cbx_sheet->setCurrentIndex(static_cast<int>(workspace_.workbook().sheet));
    }
    Label16->setVisible(choice);
    cbx_sheet->setVisible(choice);
    // edt_file makes room for the drop-down beside it.
    edt_file->setGeometry(64, 16, choice ? Label16->x() - 8 - 64 : 793, 24);
}

void TForm1::showRecordCount(long long count) {
    status_bar1->setPanelText(1, app::widgetText(" 记录总数：" + std::to_string(count)));
    domainChart->setListSize(count);
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
    if (outcome.refused) {
        // A workbook that cannot be read changed nothing: the file bound before stays.
        edt_file->setText(workspace_.isBound() ? app::widgetText(platform::joinPath(sourceDir(), sourceFile()))
                                               : QString());
        return;
    }
    edt_output_dir->setText(app::widgetText(workspace_.sourceDir()));
    if (!showBinding(outcome)) return;
    showPageByProgram(0);
    rbt_viewoption_all->setChecked(true);
    if (outcome.recordCount) showRecordCount(*outcome.recordCount);
}

void TForm1::rebindAfterOptionChange(const char* statusUtf8, const std::optional<std::string>& sheet) {
    if (!workspace_.isBound()) return;  // the next opening uses the new value
    core::SourceOptions options = readSourceOptions();
    options.sheet = sheet;
    core::BindOutcome outcome;
    ds_preview->reload([&] {
        ds_domain->reload([&] {
            ds_csv->reload([&] { runOperation([&] { outcome = workspace_.RebindSource(options, sheet.has_value()); }); });
        });
    });
    if (outcome.refused) {
        // The worksheet could not be read: the one bound stays, and shows.
        showSourceKind(outcome);
        return;
    }
    if (!showBinding(outcome)) return;
    rbt_viewoption_all->setChecked(true);
    if (outcome.recordCount) showRecordCount(*outcome.recordCount);
    showOperationText(statusUtf8);
}

void TForm1::cbx_delimiteChange() { rebindAfterOptionChange(" 当前操作：文件格式选项[列分隔符]"); }

void TForm1::cbx_hdrClick() { rebindAfterOptionChange(" 当前操作：文件格式选项[第一行是否含有列名称]"); }

void TForm1::cbx_encodingChange() { rebindAfterOptionChange(" 当前操作：文件格式选项[文件编码]"); }

void TForm1::cbx_sheetChange() {
    rebindAfterOptionChange(" 当前操作：文件格式选项[工作表]", app::utf8Of(cbx_sheet->currentText()));
}
