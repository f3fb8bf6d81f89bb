// Writes a picture of the main window to a PNG, for a look by eye:
//   window_screenshot OUT.png [SOURCE_FILE [domain]]
// With a source file it is opened (first line as column names) before the
// picture is taken; "domain" turns to the domain page first.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>

#include "app/tform1.h"
#include "fake_ports.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshot OUT.png [SOURCE_FILE [domain]]\n");
        return 2;
    }
    FakePorts ports;
    TForm1 form(&ports);
    form.show();
    QApplication::processEvents();
    if (argc >= 3) {
        form.cbx_hdr->setChecked(true);
        ports.fileAnswers.push_back(QString::fromLocal8Bit(argv[2]));
        form.btn_fileopen->click();
        if (argc >= 4 && QString::fromLatin1(argv[3]) == QLatin1String("domain")) form.pgc_preview->setCurrentIndex(1);
    }
    QApplication::processEvents();
    for (const QString& text : ports.messages + ports.failures) std::fprintf(stderr, "box: %s\n", qPrintable(text));
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
