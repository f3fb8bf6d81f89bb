// Opening and binding the source file: the description file, the two
// connections, the 200-row preview, the address column list, the row count.
#include <QComboBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/gbk_text.h"
#include "app/result_set_model.h"
#include "app/status_line.h"
#include "app/tform1.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "source/source_connections.h"
#include "source/source_statements.h"

namespace {

// The count as a whole number; a value that is not one fails like a
// conversion would.
long long countValue(std::string_view text) {
    long long n = 0;
    if (text.empty()) throw std::runtime_error("'' is not a valid integer value");
    for (char c : text) {
        if (c < '0' || c > '9') throw std::runtime_error("'" + std::string(text) + "' is not a valid integer value");
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

bool TForm1::OpenSourceConnections() {
    return source::OpenSourceConnections(binding_, cbx_hdr->isChecked(), cbx_delimite->currentIndex(),
                                         adoconn_preview, adoconn_csv, *this);
}

bool TForm1::PreviewData(const std::string& conditionText) {
    setOperationText(platform::gbk(" 当前操作：正在读取文件......"));
    const std::string statement = source::previewStatement(binding_.sourceFile(), conditionText);
    platform::BusyGuard busy(*this);
    try {
        ds_preview->reload([&] {
            if (adodst_preview.isOpen()) adodst_preview.close();
            adodst_preview.open(adoconn_preview, statement);
        });
        btn_search->setEnabled(true);
        btn_export_all->setEnabled(true);
        btn_export_domain->setEnabled(true);
        setColumnWidths(DBGridEh_preview_data);
        return true;
    } catch (const std::exception& failure) {
        showMessage(failure.what());
        return false;
    }
}

void TForm1::FillFieldList() {
    cbx_field->clear();
    // The grid's columns are the preview's columns, named as the engine names them.
    const int columns = ds_preview->columnCount();
    for (int i = 0; i < columns; ++i) {
        const std::string& name = adodst_preview.columnNames()[static_cast<std::size_t>(i)];
        cbx_field->addItem(app::fromGbk(name), QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    }
    if (cbx_field->count() > 0) cbx_field->setCurrentIndex(0);
}

std::string TForm1::addressColumn() const {
    if (cbx_field->currentIndex() < 0) return {};
    return cbx_field->currentData().toByteArray().toStdString();
}

void TForm1::CountRecords() {
    const std::string statement = source::rowCountStatement(addressColumn(), binding_.sourceFile());
    platform::BusyGuard busy(*this);
    try {
        ds_csv->reload([&] {
            if (adodst_csv.isOpen()) adodst_csv.close();
            adodst_csv.open(*adodst_csvConnection_, statement);
        });
        setOperationText(platform::gbk(" 当前操作：预览查询[查询条件:无条件]"));
        const auto value = adodst_csv.value(std::string_view("rcount"));
        const long long count = countValue(value ? *value : std::string_view());
        status_bar1->setPanelText(1, app::fromGbk(platform::gbk(" 记录总数：") + std::to_string(count)));
        ds_csv->reload([&] { adodst_csv.close(); });
    } catch (...) {
        ds_csv->reload([&] { adodst_csv.close(); });
        throw;
    }
}

void TForm1::btn_fileopenClick() {
    const auto chosen = ports_->chooseFile(chosenLast_);
    if (!chosen) return;
    chosenLast_ = *chosen;
    std::string path;
    try {
        // Statements and the description file name the file in GBK.
        path = gbkOf(*chosen);
    } catch (const platform::FileError& failure) {
        showMessage(failure.what());
        return;
    }

    setOperationText(platform::gbk(" 当前操作：打开文件"));
    binding_.deleteSchema();  // the previous binding's, under its own directory
    edt_file->setText(app::fromGbk(path));
    binding_.bind(path);
    edt_output_dir->setText(app::fromGbk(binding_.sourceDir()));

    if (!OpenSourceConnections()) return;
    if (!PreviewData("")) return;
    FillFieldList();
    showPageByProgram(0);
    try {
        rbt_viewoption_all->setChecked(true);
        if (cbx_field->currentIndex() >= 0) CountRecords();
    } catch (const std::exception& failure) {
        // The binding stays.
        showMessage(failure.what());
    }
}

void TForm1::rebindAfterOptionChange(const char* statusUtf8) {
    if (!binding_.isBound()) return;  // the next opening uses the new value
    if (!OpenSourceConnections()) return;
    if (!PreviewData("")) return;
    FillFieldList();
    rbt_viewoption_all->setChecked(true);
    setOperationText(platform::gbk(statusUtf8));
}

void TForm1::cbx_delimiteChange() { rebindAfterOptionChange(" 当前操作：文件格式选项[列分隔符]"); }

void TForm1::cbx_hdrClick() { rebindAfterOptionChange(" 当前操作：文件格式选项[第一行是否含有列名称]"); }
