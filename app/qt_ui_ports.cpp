#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "app/ui_ports.h"

namespace app {

namespace {

const char* const kSourceFilter = "CSV 文件(*.csv)|*.csv|文本文件(*.txt)|*.txt";

void showBox(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

QStringList qtNameFilters(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        // Qt reads the patterns from the parentheses at the end of the name.
        if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QLatin1String(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

void QtUiPorts::showMessage(const QString& text) { showBox(owner_, QMessageBox::NoIcon, text); }

void QtUiPorts::showFailure(const QString& text) { showBox(owner_, QMessageBox::Critical, text); }

std::optional<QString> QtUiPorts::chooseFile(const QString& chosenLast) {
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // a typed name need not exist
    dialog.setNameFilters(qtNameFilters(QString::fromUtf8(kSourceFilter)));
    if (!chosenLast.isEmpty()) dialog.selectFile(chosenLast);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtUiPorts::chooseFolder(const QString& title) {
    const QString folder = QFileDialog::getExistingDirectory(owner_, title, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

void QtUiPorts::openUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void QtUiPorts::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace app
