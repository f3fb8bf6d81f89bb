// Opening a file from the desktop: the command line "emailclean FILE" and a
// file dropped onto the window bind it exactly as "浏览" does, with the same
// messages; every successful binding empties the domain statistics.
#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "app/command_line.h"
#include "app/domain_chart.h"
#include "app/status_line.h"
#include "platform/code_page.h"
#include "window_under_test.h"

namespace {

// Two lists with a header line and different domains.
const std::string kFirst = platform::gbk("email,name\r\na@qq.com,张三\r\nb@qq.com,李四\r\nc@163.com,王五\r\n");
const std::string kSecond = "email\r\nx@sina.com\r\ny@sina.com\r\n";

// What a window shows after an opening, for comparing two ways of opening.
struct Shown {
    QStringList messages, failures;
    QString file, outputDir, panel0, panel1;
    int rows = -1;
    bool operator==(const Shown&) const = default;
};

}  // namespace

class WindowOpenFromDesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowUnderTest> window;
    FakePorts* ports = nullptr;
    TForm1* form = nullptr;

    QString path(const QString& name) const { return window->path(name); }
    QAbstractItemModel* domainGrid() const { return form->DBGridEh_preview_domain->model(); }

    void newWindow() {
        window->newWindow(true);
        ports = window->ports.get();
        form = window->form.get();
    }
    Shown shown() const {
        return Shown{ports->messages,
                     ports->failures,
                     form->edt_file->text(),
                     form->edt_output_dir->text(),
                     form->status_bar1->panelText(0),
                     form->status_bar1->panelText(1),
                     form->DBGridEh_preview_data->model()->rowCount()};
    }
    // Opening through the dialog, then through another way in a new window:
    // the two windows show the same.
    void compareWithTheDialog(const QString& file, const std::function<void()>& otherWay) {
        newWindow();
        ports->fileAnswers.push_back(file);
        form->btn_fileopen->click();
        const Shown byDialog = shown();
        newWindow();
        otherWay();
        QCOMPARE(shown().messages, byDialog.messages);
        QVERIFY(shown() == byDialog);
    }
    // A drag of mime data entering and dropping at a point of the window.
    bool drop(const QMimeData& data, QWidget* target) {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    }
    static QMimeData* files(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        data->setUrls(urls);
        return data;
    }

private slots:
    void init() {
        window = std::make_unique<WindowUnderTest>();
        writeBytes(path("first.csv"), kFirst);
        writeBytes(path("second.csv"), kSecond);
        newWindow();
    }
    void cleanup() { window.reset(); }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode");  // -1: the program goes on
        const QString here = QDir::currentPath();
        QTest::newRow("no file") << QStringList{"emailclean"} << QString() << -1;
        QTest::newRow("absolute") << QStringList{"emailclean", "/data/list.csv"} << u("/data/list.csv") << -1;
        QTest::newRow("relative") << QStringList{"emailclean", "lists/a.csv"} << here + u("/lists/a.csv") << -1;
        QTest::newRow("cleaned") << QStringList{"emailclean", "/data/x/../list.csv"} << u("/data/list.csv") << -1;
        QTest::newRow("Chinese name") << QStringList{"emailclean", u("/数据/名单.csv")} << u("/数据/名单.csv") << -1;
        QTest::newRow("after --") << QStringList{"emailclean", "--", "-odd.csv"} << here + u("/-odd.csv") << -1;
        QTest::newRow("two files") << QStringList{"emailclean", "a.csv", "b.csv"} << QString() << 2;
        QTest::newRow("unknown option") << QStringList{"emailclean", "--bogus"} << QString() << 2;
        QTest::newRow("help") << QStringList{"emailclean", "--help"} << QString() << 0;
        QTest::newRow("version") << QStringList{"emailclean", "--version"} << QString() << 0;
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        const app::CommandLineRequest request = app::parseCommandLine(arguments);
        QCOMPARE(request.file.value_or(QString()), file);
        QCOMPARE(request.exitCode.value_or(-1), exitCode);
        if (exitCode == 2) QVERIFY(!request.error.isEmpty() && request.output.isEmpty());
        if (exitCode == 0) QVERIFY(!request.output.isEmpty() && request.error.isEmpty());
    }

    void commandLineFileBindsAndPreviews() {
        const app::CommandLineRequest request = app::parseCommandLine({"emailclean", path("first.csv")});
        QVERIFY(request.file && !request.exitCode);
        form->openFile(*request.file);
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(form->sourceFile(), std::string("first.csv"));
        QCOMPARE(form->edt_file->text(), path("first.csv"));
        QCOMPARE(form->DBGridEh_preview_data->model()->rowCount(), 3);
        QCOMPARE(form->cbx_field->currentText(), u("email"));
        QCOMPARE(form->status_bar1->panelText(1), u(" 记录总数：3"));
        QVERIFY(form->btn_export_all->isEnabled());
        // As a file chosen with the dialog, it is offered again.
        form->btn_fileopen->click();
        QCOMPARE(ports->offeredFiles, QStringList({path("first.csv")}));
    }

    void openingShowsWhatTheDialogWouldShow_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("a list") << u("first.csv");
        QTest::newRow("missing file") << u("nothere.csv");
        QTest::newRow("name GBK cannot hold") << u("名单😀.csv");
        QTest::newRow("missing folder") << u("gone/list.csv");
    }
    void openingShowsWhatTheDialogWouldShow() {
        QFETCH(QString, file);
        const QString full = path(file);
        compareWithTheDialog(full, [&] { form->openFile(full); });
        compareWithTheDialog(full, [&] {
            std::unique_ptr<QMimeData> data(files({full}));
            // A missing file is refused while dragging: the file manager only
            // drags what exists.
            if (QFileInfo::exists(full)) QVERIFY(drop(*data, form));
            else form->openFile(full);
        });
    }

    void droppedFileBinds() {
        std::unique_ptr<QMimeData> data(files({path("second.csv")}));
        // Onto the grid, which takes no drops itself: the window does.
        QVERIFY(drop(*data, form->DBGridEh_preview_data->viewport()));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(form->sourceFile(), std::string("second.csv"));
        QCOMPARE(form->DBGridEh_preview_data->model()->rowCount(), 2);
        QCOMPARE(form->status_bar1->panelText(1), u(" 记录总数：2"));
    }

    void dropsOfOtherThingsAreRefused() {
        QDir(window->dir->path()).mkdir("folder");
        std::unique_ptr<QMimeData> two(files({path("first.csv"), path("second.csv")}));
        std::unique_ptr<QMimeData> folder(files({path("folder")}));
        QMimeData text;
        text.setText(path("first.csv"));
        QMimeData web;
        web.setUrls({QUrl(u("http://www.lanshi-data.example/list.csv"))});
        for (const QMimeData* data : std::initializer_list<const QMimeData*>{two.get(), folder.get(), &text, &web})
            QVERIFY(!drop(*data, form));
        QVERIFY(form->sourceDir().empty());
        QCOMPARE(ports->messages, QStringList());
    }

    // The domain page counts the file bound now: each successful binding
    // empties it, and the next turn to the page runs the top 10 again.
    void bindingEmptiesTheDomainStatistics() {
        form->openFile(path("first.csv"));
        form->pgc_preview->setCurrentIndex(1);
        QCOMPARE(domainGrid()->rowCount(), 2);
        QCOMPARE(domainGrid()->index(0, 0).data().toString(), u("qq.com"));
        QCOMPARE(form->domainChart->bars().size(), std::size_t(2));

        form->openFile(path("second.csv"));  // back to page 0
        QCOMPARE(form->pgc_preview->currentIndex(), 0);
        QVERIFY(!form->domainResultOpen());
        QCOMPARE(domainGrid()->rowCount(), 0);
        QCOMPARE(form->domainChart->bars().size(), std::size_t(0));
        form->pgc_preview->setCurrentIndex(1);
        QCOMPARE(domainGrid()->rowCount(), 1);
        QCOMPARE(domainGrid()->index(0, 0).data().toString(), u("sina.com"));
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前操作：@后缀预览[查询条件:数据量排名 Top 10 的邮件域]"));

        // An option change rebinds: emptied too.
        form->cbx_hdr->click();
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(domainGrid()->rowCount(), 0);
        QVERIFY(!form->domainResultOpen());
    }

    void failedBindingKeepsTheDomainStatistics() {
        form->openFile(path("first.csv"));
        form->pgc_preview->setCurrentIndex(1);
        form->openFile(path("nothere.csv"));
        QCOMPARE(ports->messages.size(), 1);
        QVERIFY(form->domainResultOpen());
        QCOMPARE(domainGrid()->rowCount(), 2);
    }
};

QTEST_MAIN(WindowOpenFromDesktopTest)
#include "window_open_from_desktop_test.moc"
