// Pictures of long work for a look by eye, under a virtual X server:
//   long_work_screenshot OUT_DIR [ROWS]
// Writes a list of ROWS addresses (default 3000000) into a temporary folder,
// opens it in the main window and runs the full export: OUT_DIR/
// window-progress.png shows the screen while the progress dialog is up,
// window-summary.png the completion message with its summary.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/operation_runner.h"
#include "app/progress_dialog.h"
#include "app/tform1.h"
#include "app/ui_ports.h"

namespace {

bool saveScreen(const QString& path) {
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    if (shot.save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// The real boxes, a picture taken of the completion box before it is closed.
class ShootingPorts : public app::QtUiPorts {
public:
    ShootingPorts(QString list, QString picture) : list_(std::move(list)), picture_(std::move(picture)) {}
    std::optional<QString> chooseFile(const QString&) override { return list_; }
    void showCompletion(const QString& text, const QString& summary) override {
        QTimer::singleShot(600, [this] {
            shot = saveScreen(picture_);
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        app::QtUiPorts::showCompletion(text, summary);
    }
    void showMessage(const QString& text) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        QTimer::singleShot(300, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        app::QtUiPorts::showMessage(text);
    }
    bool shot = false;

private:
    QString list_, picture_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
    if (argc < 2) {
        std::fprintf(stderr, "usage: long_work_screenshot OUT_DIR [ROWS]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const int rows = argc >= 3 ? std::atoi(argv[2]) : 3000000;

    QTemporaryDir folder;
    const QString list = folder.filePath(QStringLiteral("客户名单.csv"));
    {
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        QByteArray text = "email,name\r\n";
        for (int i = 0; i < rows; ++i) {
            // Invalid, erroneous, and each valid address three times in two spellings.
            const QByteArray k = QByteArray::number(i / 3), domain = QByteArray::number(i / 3 % 41);
            if (i % 9 == 0) text += "nobody" + QByteArray::number(i) + ",x\r\n";
            else if (i % 13 == 0) text += "a@@b" + QByteArray::number(i) + ".com,x\r\n";
            else if (i % 3 == 1) text += "USER" + k + "@EXAMPLE" + domain + ".COM,x\r\n";
            else text += "user" + k + "@example" + domain + ".com,x\r\n";
            if (text.size() > (1 << 20)) {
                file.write(text);
                text.clear();
            }
        }
        file.write(text);
    }

    ShootingPorts ports(list, out.filePath(QStringLiteral("window-summary.png")));
    TForm1 form(&ports);
    ports.setOwner(&form);
    form.move(40, 30);
    form.show();
    QApplication::processEvents();
    form.cbx_hdr->setChecked(true);
    form.btn_fileopen->click();

    // The dialog's picture a little after it shows, with the bar under way.
    bool progressShot = false;
    QElapsedTimer running;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (progressShot || !form.runner()->dialog()->isVisible() || QApplication::activeModalWidget() != form.runner()->dialog() ||
            running.elapsed() < 1200)
            return;
        progressShot = saveScreen(out.filePath(QStringLiteral("window-progress.png")));
    });
    probe.start(20);
    running.start();
    form.btn_export_all->click();
    probe.stop();
    if (!progressShot) std::fprintf(stderr, "the export ended before the progress dialog could be pictured\n");
    if (!ports.shot) std::fprintf(stderr, "no completion box was pictured\n");
    return progressShot && ports.shot ? 0 : 1;
}
