// Pictures of the standard dialogs as the program shows them (Qt's Chinese
// texts loaded), for a look by eye under a virtual X server:
//   dialog_screenshot OUT_DIR
// Writes message.png, failure.png, file-dialog.png, folder-browser.png (each
// dialog alone), message-screen.png and folder-browser-screen.png (the whole
// screen while the dialog is up, with its title bar when a window manager
// runs).
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/application_title.h"
#include "app/program_icon.h"
#include "app/standard_translations.h"
#include "app/ui_ports.h"

namespace {

// Saves the modal dialog once it has settled, then closes it.
void grabWhenModal(const QString& out, bool wholeScreen, std::function<void(QDialog*)> close) {
    QTimer::singleShot(600, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            std::fprintf(stderr, "no dialog for %s\n", qPrintable(out));
            return;
        }
        const QPixmap picture = wholeScreen ? dialog->screen()->grabWindow(0) : dialog->grab();
        if (!picture.save(out)) std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        close(dialog);
    });
}

void reject(QDialog* dialog) { dialog->reject(); }

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
    QApplication::setWindowIcon(app::programIcon());
    if (!app::installStandardTranslations(application)) std::fprintf(stderr, "no Chinese catalogue\n");
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialog_screenshot OUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    app::QtUiPorts ports;

    grabWhenModal(out.filePath("message.png"), false, reject);
    ports.showMessage(QString::fromUtf8("文件导出完成!"));
    grabWhenModal(out.filePath("message-screen.png"), true, reject);
    ports.showMessage(QString::fromUtf8("完成"));
    grabWhenModal(out.filePath("failure.png"), false, reject);
    ports.showFailure(QString::fromUtf8("Unable to write to /home/user/名单/Schema.ini."));
    grabWhenModal(out.filePath("file-dialog.png"), false, reject);
    ports.chooseFile(QDir::home().filePath("list.csv"));
    grabWhenModal(out.filePath("folder-browser.png"), false, reject);
    ports.chooseFolder(QString::fromUtf8("请选择文件夹"));
    grabWhenModal(out.filePath("folder-browser-screen.png"), true, reject);
    ports.chooseFolder(QString::fromUtf8("请选择文件夹"));
    return 0;
}
