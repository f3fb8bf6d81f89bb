// The main window: every control of the tool and the handlers that read the
// controls into option values and run the operations of the core, which owns
// the bound source file, the engine connections and the result sets that the
// grids show.  Handlers are named after the control and the event; every one
// is reached through guarded(), so no failure crosses into Qt's event loop.
// The core's operations run on a worker thread (runOperation): the window
// stays alive, shows their progress and can stop them.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/ui_ports.h"
#include "core/workspace.h"
#include "export/export_run.h"
#include "platform/operation_feedback.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShortcut;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QToolButton;

namespace app {
class DomainChart;
class OperationRunner;
class ResultSetModel;
class ViewSwitch;
class StatusLine;
class DigitFilter;
}  // namespace app

// The publisher shown in the status line; clicking it opens the address.
namespace app::publisher {
inline constexpr const char* kName = "岚石数据软件工作室";
inline constexpr const char* kWebAddress = "www.lanshi-data.example";
inline constexpr const char* kUrl = "http://www.lanshi-data.example/";
inline constexpr const char* kTelephone = "010-5550-0188";
}  // namespace app::publisher

class TForm1 : public QWidget, public platform::OperationFeedback {
    Q_OBJECT
public:
    // ports: the desktop services (the Qt ones when null); setupDialog: the
    // domain export setup dialog, shown modally by btn_export_domain_setup.
    explicit TForm1(app::UiPorts* ports = nullptr, QDialog* setupDialog = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;  // FormDestroy

    // --- controls -----------------------------------------------------------
    QLabel* Image1;
    QGroupBox* GroupBox1;
    QLabel *Label1, *Label3, *Label4, *Label7;
    QLineEdit* edt_file;
    QPushButton* btn_fileopen;
    QComboBox *cbx_delimite, *cbx_field;
    QCheckBox* cbx_hdr;
    QComboBox* cbx_encoding;  // the list's encoding: detected, or the user's choice
    QLabel* Label15;          // what is in force, e.g. "检测为 UTF-8 (BOM)"
    // A workbook's worksheets, beside edt_file while the bound workbook has
    // more than one; choosing another rebinds.
    QLabel* Label16;  // "工作表："
    QComboBox* cbx_sheet;

    QGroupBox* grb_search;
    QTabWidget* pgc_preview;
    QWidget *TabSheet_Data, *TabSheet_Domain;
    QToolButton* btn_search;
    QRadioButton *rbt_viewoption_all, *rbt_viewoption_invalid, *rbt_viewoption_error, *rbt_viewoption_start1,
        *rbt_viewoption_start2, *rbt_viewoption_end;
    QComboBox* cbx_viewoption_start1;
    QLineEdit *edt_viewoption_start1, *edt_viewoption_start2, *edt_viewoption_end;
    QLabel *Label9, *Label10;
    QTableView* DBGridEh_preview_data;
    QRadioButton *rbt_top10, *rbt_top15, *rbt_top20, *rbt_top30, *rbt_top50, *rbt_alldomain;
    QLabel* Label5;
    QTableView* DBGridEh_preview_domain;
    // The same rows as a bar chart in the grid's place; the switch
    // "表格 | 图表" above it picks the view, the grid first.
    app::ViewSwitch* domainViewSwitch;
    app::DomainChart* domainChart;

    // The domain check page: the domains of the column with a finding.
    QWidget* TabSheet_Check;
    QPushButton* btn_check_domains;
    QCheckBox* cbx_check_domains_dns;
    QLabel* Label18;  // what the page checks
    QTableView* DBGridEh_check;
    QLabel* Label19;  // role addresses and domains checked

    QGroupBox* grb_filter;
    QCheckBox *cbx_filter_distinct, *cbx_filter_lowercase, *cbx_filter_invalid, *cbx_filter_error,
        *cbx_filter_start1, *cbx_filter_start2, *cbx_filter_end, *cbx_filter_email;
    QLabel *Label11, *Label12, *Label13, *Label14;
    QComboBox* cmbx_filter_start1;
    QLineEdit *edt_filter_start1, *edt_filter_start2, *edt_filter_end, *edt_filter_email;
    QPushButton* btn_filter_fileopen;

    QGroupBox* grb_export;
    QLabel *Label6, *Label8;
    QLineEdit *edt_output_dir, *edt_export_file_format, *edt_split_row, *edt_split_size;
    QPushButton *btn_select_dir, *btn_export_all, *btn_export_domain, *btn_export_domain_setup;
    QCheckBox* cbx_split;
    // The opt-in address checks, unticked at start.
    QCheckBox *cbx_check_syntax, *cbx_check_typos, *cbx_check_gmail, *cbx_check_disposable, *cbx_check_role,
        *cbx_check_dns;
    QRadioButton *rbt_split_row, *rbt_split_size;
    QComboBox* cbx_split_size;

    QTableView* DBGridEh_csv;  // never visible; shows the shared result set
    app::StatusLine* status_bar1;

    // --- state --------------------------------------------------------------
    const std::string& sourceDir() const { return workspace_.sourceDir(); }
    const std::string& sourceFile() const { return workspace_.sourceFile(); }
    bool domainResultOpen() const { return workspace_.domainResult().isOpen(); }
    // The setup dialog is created after the window.
    void setSetupDialog(QDialog* dialog) { setupDialog_ = dialog; }
    // The worker of the core's operations, with the progress dialog.
    app::OperationRunner* runner() const { return runner_; }
    bool operationRunning() const;

    // Opens and binds a file as choosing it with "浏览" does, with the same
    // messages: the file named on the command line or dropped onto the window.
    void openFile(const QString& path);

    // The cleaning and splitting options as the controls hold them now.
    exporting::CleaningOptions readCleaningOptions() const;

    // --- OperationFeedback --------------------------------------------------
    void showMessage(const std::string& text) override;
    void showFailure(const std::string& text) override;
    void setBusy(bool busy) override;
    void showOperationText(const std::string& text) override;
    void showProgress(const std::string& stepText, double fraction) override;
    void showCompletion(const std::string& text, const std::string& summary) override;

    // --- handlers -----------------------------------------------------------
    void FormShow();
    void btn_fileopenClick();
    void cbx_delimiteChange();
    void cbx_hdrClick();
    void cbx_encodingChange();
    void cbx_sheetChange();
    void btn_searchClick();
    void pgc_previewChange();
    void cbx_filter_invalidClick();
    void cbx_filter_errorClick();
    void cbx_filter_distinctClick();
    void cbx_filter_lowercaseClick();
    void cbx_filter_emailClick();
    void cbx_filter_start1Click();
    void cbx_filter_start2Click();
    void cbx_filter_endClick();
    void btn_filter_fileopenClick();
    void btn_select_dirClick();
    void btn_export_allClick();
    void btn_export_domainClick();
    void btn_export_domain_setupClick();
    void status_bar1Click();
    void btn_check_domainsClick();

protected:
    void showEvent(QShowEvent* event) override;
    // One file dragged from a file manager is taken as if chosen with "浏览".
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Closing while an operation runs asks first, then cancels it; the window
    // closes once it has stopped.
    void closeEvent(QCloseEvent* event) override;

private:
    // Layout, in tform1_layout.cpp.
    void createControls();
    void createSourceControls();
    void createSearchControls();
    void createFilterControls();
    void createExportControls();
    void createCheckControls();  // in tform1_check.cpp
    void connectHandlers();

    // Runs one handler; a failure it lets out is shown in the failure box.
    template <class Body>
    void guarded(Body&& body);
    // A box the core asks for, shown on the window's thread, the operation
    // waiting; none once the user has chosen to close the window.
    void showBox(const std::function<void()>& box);
    // Runs a call of the core on the worker thread, the controls that start
    // an operation or change an option disabled meanwhile, under the busy
    // cursor.  body must not touch a widget: read the controls before.
    void runOperation(const std::function<void()>& body);

    // What the window does around the core's operations.
    core::SourceOptions readSourceOptions() const;
    // The opening after the file-open dialog: the chosen file bound.
    void openChosenFile(const QString& chosen);
    // Shows what a binding came to: the preview's columns in cbx_field, the
    // buttons enabled; false when it stopped before the preview.
    bool showBinding(const core::BindOutcome& outcome);
    void FillFieldList(const std::vector<std::string>& columns);
    void dataTabPreview();
    void domainTabPreview();
    void showDomains(int top, bool automatic);
    // sheet: the worksheet chosen, for a change of cbx_sheet (which also
    // recounts: the count was another sheet's).
    void rebindAfterOptionChange(const char* statusUtf8, const std::optional<std::string>& sheet = std::nullopt);
    // The worksheet drop-down and the controls that do not apply to a
    // workbook, as the binding left them.
    void showSourceKind(const core::BindOutcome& outcome);
    void showRecordCount(long long count);
    void showPageByProgram(int page);
    // The full export or the domain export, after its status text.
    void runExport(bool byDomain);
    // The address column: the selected item of cbx_field, as the engine named it.
    std::string addressColumn() const;

    std::unique_ptr<app::UiPorts> ownPorts_;
    app::UiPorts* ports_;
    QDialog* setupDialog_;

    core::Workspace workspace_{*this};
    app::OperationRunner* runner_ = nullptr;
    QShortcut* escape_ = nullptr;  // cancels the running operation
    bool closeRequested_ = false;  // the user closed the window during an operation

    app::ResultSetModel* ds_preview = nullptr;
    app::ResultSetModel* ds_domain = nullptr;
    app::ResultSetModel* ds_csv = nullptr;
    app::DigitFilter* digitFilter_ = nullptr;
    QStandardItemModel* ds_check = nullptr;  // the domain check's rows

    QString chosenLast_;          // the file-open dialog offers the file chosen last
    bool shownOnce_ = false;
    bool pageChangeByProgram_ = false;
};
