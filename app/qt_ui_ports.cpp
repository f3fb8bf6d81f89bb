#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

#include "app/message_box.h"
#include "app/ui_ports.h"
#include "app/url_opener.h"

namespace app {

namespace {

// Wide enough that names, sizes and dates show uncut; the side bar offers the
// computer and the home folder.  (The list and the side bar are found by the
// names Qt gives them; without them the dialog keeps Qt's own layout.)
void arrange(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.resize(780, 460);
    dialog.setSidebarUrls({QUrl(QStringLiteral("file:")), QUrl::fromLocalFile(QDir::homePath())});
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (auto* sidebar = dialog.findChild<QWidget*>(QStringLiteral("sidebar"))) sidebar->setMinimumWidth(130);
}

// Every kind the tool reads first (and selected), then today's two, then workbooks.
const char* const kSourceFilter =
    "所有支持的文件|*.csv;*.txt;*.xlsx;*.xls|CSV 文件(*.csv)|*.csv|文本文件(*.txt)|*.txt|Excel 工作簿|*.xlsx;*.xls";

}  // namespace

QStringList qtNameFilters(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        // Several patterns are separated by ";" here, by blanks for Qt.
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses at the end of the name.
        if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QLatin1String(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

void QtUiPorts::showMessage(const QString& text) { showTitledMessageBox(owner_, QMessageBox::NoIcon, text); }

void QtUiPorts::showCompletion(const QString& text, const QString& summary) {
    TitledMessageBox box(QMessageBox::NoIcon, text, owner_);
    box.setInformativeText(summary);
    box.exec();
}

bool QtUiPorts::confirm(const QString& question) {
    TitledMessageBox box(QMessageBox::Question, question, owner_);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8("是"));
    box.button(QMessageBox::No)->setText(QString::fromUtf8("否"));
    return box.exec() == QMessageBox::Yes;
}

void QtUiPorts::showFailure(const QString& text) { showTitledMessageBox(owner_, QMessageBox::Critical, text); }

// Qt's own widget dialogs, not the desktop's: the same on every desktop, in
// the language of Qt's loaded translations, and testable off screen.
std::optional<QString> QtUiPorts::chooseFile(const QString& chosenLast) {
    QFileDialog dialog(owner_);
    arrange(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // a typed name need not exist
    dialog.setNameFilters(qtNameFilters(QString::fromUtf8(kSourceFilter)));
    if (!chosenLast.isEmpty()) dialog.selectFile(chosenLast);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtUiPorts::chooseFolder(const QString& title) {
    QFileDialog dialog(owner_, title);
    arrange(dialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    // The folder chosen last in this run is offered again; the first time,
    // the home folder.
    dialog.setDirectory(folderChosenLast_.isEmpty() ? QDir::homePath() : folderChosenLast_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString folder = dialog.selectedFiles().first();
    if (folder.isEmpty()) return std::nullopt;
    folderChosenLast_ = folder;
    return folder;
}

void QtUiPorts::openUrl(const QString& url) { openUrlQuietly(url); }

void QtUiPorts::setBusy(bool busy) {
    // The window goes on while an operation runs: the pointer that says so.
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace app
