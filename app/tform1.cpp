// Start and end of the main window, the failure edge of its handlers, the
// option rules, the output directory and exclusion file choices, the status line.
#include "app/tform1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include "app/control_lock.h"
#include "app/domain_chart.h"
#include "app/file_drop.h"
#include "app/operation_runner.h"
#include "app/widget_text.h"
#include "app/result_set_model.h"
#include "app/status_line.h"
#include "settings/domain_export_settings.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

TForm1::TForm1(app::UiPorts* ports, QDialog* setupDialog, QWidget* parent)
    : QWidget(parent), ports_(ports), setupDialog_(setupDialog) {
    if (!ports_) {
        ownPorts_ = std::make_unique<app::QtUiPorts>(this);
        ports_ = ownPorts_.get();
    }
    createControls();
    runner_ = new app::OperationRunner(this, [this] { workspace_.requestCancel(); });
    connectHandlers();
    // Unbound: the preview and both exports wait for the first preview.
    FormShow();
}

TForm1::~TForm1() {
    // FormDestroy: the grids go before the result sets they show; the core
    // then removes the description file of the last binding.
    delete DBGridEh_preview_data;
    delete DBGridEh_preview_domain;
    delete domainChart;
    delete DBGridEh_csv;
}

template <class Body>
void TForm1::guarded(Body&& body) {
    try {
        body();
    } catch (const std::exception& failure) {
        showFailure(failure.what());
    } catch (...) {
        showFailure("Unknown failure");
    }
}

void TForm1::connectHandlers() {
    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(btn_fileopen, &QPushButton::clicked, &TForm1::btn_fileopenClick);
    on(cbx_delimite, &QComboBox::activated, &TForm1::cbx_delimiteChange);
    on(cbx_hdr, &QCheckBox::clicked, &TForm1::cbx_hdrClick);
    on(cbx_encoding, &QComboBox::activated, &TForm1::cbx_encodingChange);
    on(cbx_sheet, &QComboBox::activated, &TForm1::cbx_sheetChange);
    on(btn_search, &QToolButton::clicked, &TForm1::btn_searchClick);
    connect(pgc_preview, &QTabWidget::currentChanged, this, [this] {
        // Only a change the user makes runs the handler.
        if (!pageChangeByProgram_) guarded([this] { pgc_previewChange(); });
    });
    on(cbx_filter_invalid, &QCheckBox::clicked, &TForm1::cbx_filter_invalidClick);
    on(cbx_filter_error, &QCheckBox::clicked, &TForm1::cbx_filter_errorClick);
    on(cbx_filter_distinct, &QCheckBox::clicked, &TForm1::cbx_filter_distinctClick);
    on(cbx_filter_lowercase, &QCheckBox::clicked, &TForm1::cbx_filter_lowercaseClick);
    on(cbx_filter_email, &QCheckBox::clicked, &TForm1::cbx_filter_emailClick);
    on(cbx_filter_start1, &QCheckBox::clicked, &TForm1::cbx_filter_start1Click);
    on(cbx_filter_start2, &QCheckBox::clicked, &TForm1::cbx_filter_start2Click);
    on(cbx_filter_end, &QCheckBox::clicked, &TForm1::cbx_filter_endClick);
    on(btn_filter_fileopen, &QPushButton::clicked, &TForm1::btn_filter_fileopenClick);
    on(btn_select_dir, &QPushButton::clicked, &TForm1::btn_select_dirClick);
    on(btn_export_all, &QPushButton::clicked, &TForm1::btn_export_allClick);
    on(btn_export_domain, &QPushButton::clicked, &TForm1::btn_export_domainClick);
    on(btn_export_domain_setup, &QPushButton::clicked, &TForm1::btn_export_domain_setupClick);
    on(status_bar1, &app::StatusLine::clicked, &TForm1::status_bar1Click);
    on(btn_check_domains, &QPushButton::clicked, &TForm1::btn_check_domainsClick);
    // The check page has a button of its own.
    connect(pgc_preview, &QTabWidget::currentChanged, this,
            [this](int page) { btn_search->setVisible(page != pgc_preview->indexOf(TabSheet_Check)); });
    // Escape stops a running operation also before its dialog shows.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setEnabled(false);  // the key stays free for the window otherwise
    connect(escape_, &QShortcut::activated, runner_, &app::OperationRunner::cancel);
}

bool TForm1::operationRunning() const { return runner_->running(); }

void TForm1::runOperation(const std::function<void()>& body) {
    workspace_.clearCancelRequest();  // one that came after the last call ended
    {
        app::ControlLock lock(this);
        platform::BusyGuard busy(*this);
        escape_->setEnabled(true);
        try {
            runner_->run(body);
        } catch (...) {
            escape_->setEnabled(false);
            throw;
        }
        escape_->setEnabled(false);
    }
    if (closeRequested_) QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!runner_->running()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (closeRequested_ || !ports_->confirm(QString::fromUtf8("操作正在进行中，是否取消操作并退出？"))) return;
    closeRequested_ = true;
    runner_->cancel();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_ && !event->spontaneous()) {
        shownOnce_ = true;
        FormShow();
    }
}

void TForm1::openFile(const QString& path) {
    guarded([&] { openChosenFile(path); });
}

// While an operation runs nothing is dropped: it would start another.
void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!runner_->running() && app::droppedFile(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const auto file = app::droppedFile(event->mimeData());
    if (!file || runner_->running()) return;
    event->acceptProposedAction();
    openFile(*file);
}

void TForm1::FormShow() {
    btn_search->setEnabled(false);
    btn_export_all->setEnabled(false);
    btn_export_domain->setEnabled(false);
}

// --- OperationFeedback --------------------------------------------------------

// The core calls these from the worker thread; each reaches the window's
// thread, a message box holding the operation until it is closed.  Once the
// user has chosen to close the window, no more boxes are shown.

void TForm1::showBox(const std::function<void()>& box) {
    runner_->onWindowThread(
        [&] {
            if (closeRequested_) return;
            if (runner_->running()) runner_->holdDialog();  // not behind the box
            box();
        },
        true);
}

void TForm1::showMessage(const std::string& text) {
    showBox([&] { ports_->showMessage(app::widgetText(text)); });
}

void TForm1::showCompletion(const std::string& text, const std::string& summary) {
    showBox([&] { ports_->showCompletion(app::widgetText(text), app::widgetText(summary)); });
}

void TForm1::showFailure(const std::string& text) {
    showBox([&] { ports_->showFailure(app::widgetText(platform::uncaughtFailureText(text))); });
}

void TForm1::setBusy(bool busy) {
    runner_->onWindowThread([this, busy] { ports_->setBusy(busy); }, false);
}

void TForm1::showOperationText(const std::string& text) {
    runner_->onWindowThread([this, shown = app::widgetText(text)] { status_bar1->setPanelText(0, shown); }, false);
}

void TForm1::showProgress(const std::string& stepText, double fraction) {
    runner_->progress(app::widgetText(stepText), fraction);
}

// --- always-on options and the exclusion rule ----------------------------------

void TForm1::cbx_filter_invalidClick() { cbx_filter_invalid->setChecked(true); }
void TForm1::cbx_filter_errorClick() { cbx_filter_error->setChecked(true); }
void TForm1::cbx_filter_distinctClick() { cbx_filter_distinct->setChecked(true); }
void TForm1::cbx_filter_lowercaseClick() { cbx_filter_lowercase->setChecked(true); }

void TForm1::cbx_filter_emailClick() {
    // The exclusion file and the exclusion conditions are never in force together.
    if (!cbx_filter_email->isChecked()) return;
    cbx_filter_start1->setChecked(false);
    cbx_filter_start2->setChecked(false);
    cbx_filter_end->setChecked(false);
}

void TForm1::cbx_filter_start1Click() {
    if (cbx_filter_start1->isChecked()) cbx_filter_email->setChecked(false);
}
void TForm1::cbx_filter_start2Click() {
    if (cbx_filter_start2->isChecked()) cbx_filter_email->setChecked(false);
}
void TForm1::cbx_filter_endClick() {
    if (cbx_filter_end->isChecked()) cbx_filter_email->setChecked(false);
}

// --- choices of files and folders ----------------------------------------------

void TForm1::btn_filter_fileopenClick() {
    const auto chosen = ports_->chooseFile(chosenLast_);
    if (!chosen) return;
    chosenLast_ = *chosen;
    // Only the name: the exclusion file is looked for beside the source file.
    edt_filter_email->setText(QFileInfo(*chosen).fileName());
}

void TForm1::btn_select_dirClick() {
    const auto folder = ports_->chooseFolder(QString::fromUtf8("请选择文件夹"));
    if (!folder) return;
    edt_output_dir->setText(*folder);
}

void TForm1::status_bar1Click() { ports_->openUrl(QString::fromUtf8(app::publisher::kUrl)); }

void TForm1::btn_export_domain_setupClick() {
    if (setupDialog_) setupDialog_->exec();
}

// --- exports -------------------------------------------------------------------

exporting::CleaningOptions TForm1::readCleaningOptions() const {
    exporting::CleaningOptions options;
    options.excludeFile = cbx_filter_email->isChecked();
    options.excludeFileName = app::utf8Of(edt_filter_email->text());
    options.prefixLength = cbx_filter_start1->isChecked();
    options.prefixLengthOperator = app::utf8Of(cmbx_filter_start1->currentText());
    options.prefixLengthNumber = app::utf8Of(edt_filter_start1->text());
    options.prefixList = cbx_filter_start2->isChecked();
    options.prefixListText = app::utf8Of(edt_filter_start2->text());
    options.suffixList = cbx_filter_end->isChecked();
    options.suffixListText = app::utf8Of(edt_filter_end->text());
    options.split = cbx_split->isChecked();
    options.splitByRows = rbt_split_row->isChecked();
    options.splitRows = app::utf8Of(edt_split_row->text());
    options.splitSize = app::utf8Of(edt_split_size->text());
    options.splitSizeUnitIndex = cbx_split_size->currentIndex();
    checks::CheckOptions& k = options.checks.options;
    k.strictSyntax = cbx_check_syntax->isChecked();
    k.fixDomainTypos = cbx_check_typos->isChecked();
    k.mergeGmailAliases = cbx_check_gmail->isChecked();
    k.dropDisposable = cbx_check_disposable->isChecked();
    k.dropRole = cbx_check_role->isChecked();
    k.dropNoMailDomain = cbx_check_dns->isChecked();
    return options;
}

void TForm1::btn_export_allClick() {
    // The window's event loop goes on during the export: the text shows.
    showOperationText(std::string(" 当前操作：Email地址按条件全部导出"));
    runExport(false);
}

void TForm1::btn_export_domainClick() {
    showOperationText(std::string(" 当前操作：Email地址按条件,按@后缀分类导出"));
    runExport(true);
}

void TForm1::runExport(bool byDomain) {
    const exporting::CleaningOptions options = readCleaningOptions();
    const std::string outputDir = app::utf8Of(edt_output_dir->text());
    const std::string column = addressColumn();
    const std::string settingsPath = byDomain ? settings::defaultSettingsPath() : std::string();
    ds_csv->reload([&] {
        runOperation([&] {
            if (byDomain)
                workspace_.ExportByDomain(options, column, outputDir, settingsPath);
            else
                workspace_.ExportAll(options, column, outputDir);
        });
    });
}
