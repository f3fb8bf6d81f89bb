// What the window asks of the desktop: message boxes, the file-open dialog,
// the folder browser, the shell and the busy cursor.  The Qt implementation
// is the default; tests put in a fake that answers and records.
#pragma once

#include <QString>
#include <optional>

#include "app/application_title.h"

class QWidget;

namespace app {

class UiPorts {
public:
    virtual ~UiPorts() = default;
    // The plain box: application title as caption, one OK, no icon.
    virtual void showMessage(const QString& text) = 0;
    // The plain box with an export's summary below its completion message.
    virtual void showCompletion(const QString& text, const QString& summary) = 0;
    // A question with the answers yes and no; true for yes.
    virtual bool confirm(const QString& question) = 0;
    // The box for failures no operation caught: stop icon, one OK.
    virtual void showFailure(const QString& text) = 0;
    // The file-open dialog, offering the file chosen last; the chosen file's
    // full path (which need not exist), or nullopt when cancelled.
    virtual std::optional<QString> chooseFile(const QString& chosenLast) = 0;
    // The folder browser, offering the folder chosen last in this run; the
    // chosen folder's path, or nullopt when cancelled.
    virtual std::optional<QString> chooseFolder(const QString& title) = 0;
    // Asks the desktop to open a web address; the outcome is not examined.
    virtual void openUrl(const QString& url) = 0;
    virtual void setBusy(bool busy) = 0;
};

// The Qt widgets behind the ports; dialogs are owned by owner.
class QtUiPorts : public UiPorts {
public:
    explicit QtUiPorts(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    void showMessage(const QString& text) override;
    void showCompletion(const QString& text, const QString& summary) override;
    bool confirm(const QString& question) override;
    void showFailure(const QString& text) override;
    std::optional<QString> chooseFile(const QString& chosenLast) override;
    std::optional<QString> chooseFolder(const QString& title) override;
    void openUrl(const QString& url) override;
    void setBusy(bool busy) override;

private:
    QWidget* owner_;
    QString folderChosenLast_;
};

// "CSV 文件(*.csv)|*.csv|文本文件(*.txt)|*.txt" to Qt's name filters, one per
// description/pattern pair; "*.xlsx;*.xls" becomes "(*.xlsx *.xls)".
QStringList qtNameFilters(const QString& pipeFilter);

}  // namespace app
