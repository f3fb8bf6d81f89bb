// The Qt side of the desktop ports, with the real dialogs: Qt's Chinese
// standard texts, the message boxes (title shown whole, centred on the
// screen), the file dialog and the folder browser, and the quiet opening of
// the web address.
#include <QtTest>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <functional>
#include <unistd.h>

#include "app/message_box.h"
#include "app/standard_translations.h"
#include "app/ui_ports.h"

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// Once the modal dialog of type T is up (the caller waits in its loop):
// look runs once, then close runs until the dialog is gone.  A file dialog
// still reading its folder may ignore a first accept.
template <class T>
void whenModal(std::function<void(T*)> look, std::function<void(T*)> close) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto seen = std::make_shared<std::optional<QPointer<T>>>();
    QObject::connect(timer, &QTimer::timeout, [timer, seen, look, close] {
        if (seen->has_value()) {
            // That dialog only: a later one belongs to a later call.
            if (QPointer<T> dialog = **seen; dialog && dialog->isVisible())
                close(dialog);
            else
                timer->deleteLater();
            return;
        }
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) return;
        *seen = QPointer<T>(dialog);
        look(dialog);
        close(dialog);
    });
    timer->start();
}

template <class T>
void rejectWhenModal(std::function<void(T*)> look) {
    whenModal<T>(look, [](T* dialog) { dialog->reject(); });
}

QString withoutMnemonic(QString text) { return text.remove(QLatin1Char('&')); }

// Standard error of this process, captured into a file while alive.
class StderrCapture {
public:
    explicit StderrCapture(const QString& path) : file_(path) {
        std::fflush(stderr);
        saved_ = dup(2);
        file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
        dup2(file_.handle(), 2);
    }
    ~StderrCapture() {
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
    }

private:
    QFile file_;
    int saved_;
};

QStringList qtMessages;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& text) { qtMessages << text; }

}  // namespace

class DesktopDialogsTest : public QObject {
    Q_OBJECT

    bool chinese = false;
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
        chinese = app::installStandardTranslations(*qApp);
        QVERIFY(dir.isValid());
    }

    void messageBoxSpeaksChinese() {
        if (!chinese) QSKIP("Qt's Chinese catalogue (qt6-translations-l10n) is not installed");
        app::QtUiPorts ports;
        QString button;
        whenModal<QMessageBox>(
            [&](QMessageBox* box) { button = withoutMnemonic(box->button(QMessageBox::Ok)->text()); },
            [](QMessageBox* box) { box->accept(); });
        ports.showMessage(u("文件导出完成!"));
        QCOMPARE(button, u("确定"));
    }

    void messageBoxesShowTheWholeTitleCentredOnTheScreen_data() {
        QTest::addColumn<bool>("failure");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain, short") << false << u("完成");
        QTest::newRow("plain, empty") << false << QString();
        QTest::newRow("failure") << true << u("Unable to write to /x/Schema.ini.");
    }
    void messageBoxesShowTheWholeTitleCentredOnTheScreen() {
        QFETCH(bool, failure);
        QFETCH(QString, text);
        QWidget owner;  // a window away from the screen's centre
        owner.setGeometry(10, 10, 300, 200);
        owner.show();
        app::QtUiPorts ports(&owner);
        QMessageBox::Icon icon{};
        QString title, shown;
        QRect frame;
        whenModal<QMessageBox>(
            [&](QMessageBox* box) {
                icon = box->icon();
                title = box->windowTitle();
                shown = box->text();
                frame = box->frameGeometry();
            },
            [](QMessageBox* box) { box->accept(); });
        if (failure)
            ports.showFailure(text);
        else
            ports.showMessage(text);
        QCOMPARE(icon, failure ? QMessageBox::Critical : QMessageBox::NoIcon);
        QCOMPARE(title, u("Email地址清理"));
        QCOMPARE(shown, text);
        QVERIFY2(frame.width() >= app::TitledMessageBox::minimumBoxWidth(title),
                 qPrintable(QString::number(frame.width())));
        const QPoint centre = owner.screen()->availableGeometry().center();
        QVERIFY2((frame.center() - centre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("box at %1,%2").arg(frame.center().x()).arg(frame.center().y())));
    }

    void fileDialogIsQtsOwnWithTheSourceFileTypes() {
        const QString last = dir.filePath("list.csv");
        QFile(last).open(QIODevice::WriteOnly);
        app::QtUiPorts ports;
        QStringList filters;
        QString selectedFilter, folder, accept;
        bool widgets = false;
        rejectWhenModal<QFileDialog>([&](QFileDialog* dialog) {
            widgets = dialog->testOption(QFileDialog::DontUseNativeDialog);
            filters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            folder = dialog->directory().absolutePath();
            if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
                accept = withoutMnemonic(buttons->button(QDialogButtonBox::Open)->text());
        });
        QCOMPARE(ports.chooseFile(last), std::optional<QString>());  // cancelled
        QVERIFY(widgets);
        // Every kind the tool reads, first and selected; workbooks last.
        QCOMPARE(filters, QStringList({u("所有支持的文件 (*.csv *.txt *.xlsx *.xls)"), u("CSV 文件(*.csv)"),
                                       u("文本文件(*.txt)"), u("Excel 工作簿 (*.xlsx *.xls)")}));
        QCOMPARE(selectedFilter, u("所有支持的文件 (*.csv *.txt *.xlsx *.xls)"));
        QCOMPARE(folder, QDir(dir.path()).absolutePath());  // the file chosen last is offered
        if (chinese) QVERIFY2(accept.startsWith(u("打开")), qPrintable(accept));
    }

    void fileDialogAcceptsANameThatDoesNotExist() {
        app::QtUiPorts ports;
        const QString typed = dir.filePath("typed.csv");
        whenModal<QFileDialog>([](QFileDialog*) {},
                               [&](QFileDialog* dialog) {
                                   // Typed into the name field, then its button.
                                   dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
                                   static_cast<QDialog*>(dialog)->accept();
                               });
        QCOMPARE(ports.chooseFile(QString()), std::optional<QString>(typed));
    }

    void folderBrowserOffersTheFolderChosenLast() {
        QDir(dir.path()).mkdir("out");
        const QString out = QDir(dir.filePath("out")).absolutePath();
        app::QtUiPorts ports;
        QString title, first, second;
        QFileDialog::FileMode mode{};
        whenModal<QFileDialog>(
            [&](QFileDialog* dialog) {
                title = dialog->windowTitle();
                mode = dialog->fileMode();
                first = dialog->directory().absolutePath();
            },
            [&](QFileDialog* dialog) {
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(out);
                static_cast<QDialog*>(dialog)->accept();
            });
        QCOMPARE(ports.chooseFolder(u("请选择文件夹")), std::optional<QString>(out));
        QCOMPARE(title, u("请选择文件夹"));
        QCOMPARE(mode, QFileDialog::Directory);
        QCOMPARE(first, QDir::homePath());

        rejectWhenModal<QFileDialog>([&](QFileDialog* dialog) { second = dialog->directory().absolutePath(); });
        QCOMPARE(ports.chooseFolder(u("请选择文件夹")), std::optional<QString>());
        QCOMPARE(second, out);
    }

    // No browser: nothing happens and nothing is said, on the terminal or
    // through Qt's messages.
    void webAddressWithoutBrowserIsSilent() {
        QTemporaryDir emptyPath;
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", emptyPath.path().toLocal8Bit());
        qtMessages.clear();
        const QString errors = dir.filePath("stderr-none.txt");
        {
            StderrCapture capture(errors);
            const auto previous = qInstallMessageHandler(recordMessage);
            app::QtUiPorts().openUrl(u("http://www.lanshi-data.example/"));
            qInstallMessageHandler(previous);
        }
        qputenv("PATH", savedPath);
        QCOMPARE(qtMessages, QStringList());
        QCOMPARE(QFileInfo(errors).size(), 0);
    }

    // With an opener that complains: it gets the address, its complaint goes
    // nowhere.
    void webAddressGoesToTheDesktopOpener() {
        QTemporaryDir bin;
        const QString record = bin.filePath("opened.txt");
        QFile script(bin.filePath("xdg-open"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\necho 'xdg-open: no method available' >&2\necho \"$1\" > '" + record + "'\n")
                         .toLocal8Bit());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ":/usr/bin:/bin");
        const QString errors = dir.filePath("stderr-opener.txt");
        {
            StderrCapture capture(errors);
            app::QtUiPorts().openUrl(u("http://www.lanshi-data.example/"));
            QTRY_VERIFY(QFileInfo(record).size() > 0);
        }
        qputenv("PATH", savedPath);
        QFile opened(record);
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(opened.readAll().trimmed(), QByteArray("http://www.lanshi-data.example/"));
        QCOMPARE(QFileInfo(errors).size(), 0);
    }
};

QTEST_MAIN(DesktopDialogsTest)
#include "desktop_dialogs_test.moc"
