// Writes a picture of the main window to a PNG, for a look by eye:
//   window_screenshot OUT.png [SOURCE_FILE [domain|chart|chart-all|check]]
// With a source file it is opened (first line as column names) before the
// picture is taken; "domain" turns to the domain page first, "chart" also
// switches it to the chart, "chart-all" then previews all domains; "check"
// runs the domain check on its page.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>
#include <cstdio>

#include "app/domain_chart.h"
#include "app/tform1.h"
#include "app/view_switch.h"
#include "fake_ports.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshot OUT.png [SOURCE_FILE [domain|chart|chart-all|check]]\n");
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
        const QString mode = argc >= 4 ? QString::fromLatin1(argv[3]) : QString();
        if (mode.startsWith(QLatin1String("domain")) || mode.startsWith(QLatin1String("chart")))
            form.pgc_preview->setCurrentIndex(1);
        if (mode.startsWith(QLatin1String("chart"))) form.domainViewSwitch->setView(app::ViewSwitch::Chart);
        if (mode == QLatin1String("check")) {
            form.pgc_preview->setCurrentIndex(2);
            form.btn_check_domains->click();
        }
        if (mode == QLatin1String("chart-all")) {
            form.rbt_alldomain->setChecked(true);
            form.btn_search->click();
        }
    }
    // Layouts (the chart's among them) settle over a few rounds of events.
    for (int round = 0; round < 10; ++round) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    for (const QString& text : ports.messages + ports.failures) std::fprintf(stderr, "box: %s\n", qPrintable(text));
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!form.grab().save(out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    // The whole chart, also the part below its place.
    if (argc >= 4 && QString::fromLatin1(argv[3]).startsWith(QLatin1String("chart"))) {
        QString whole = out;
        whole.replace(QLatin1String(".png"), QLatin1String("-whole.png"));
        form.domainChart->widget()->grab().save(whole);
    }
    return 0;
}
