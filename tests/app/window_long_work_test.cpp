// Long work in the real window, offscreen: an export over a generated list
// runs on the worker while the window's event loop goes on (a timer fires),
// the progress dialog shows after half a second, the controls that start an
// operation or change an option are disabled and come back, "取消" and Escape
// stop the run with "操作已取消。" alone and no half-written file, and
// closing the window during a run asks first, then cancels and closes.
//
// The button's click returns only when the run has ended, so what happens
// during the run is watched and done by a probe timer inside the run.  A gate
// in the file system holds the run at the creation of a chosen file until
// the probe lets it go, so that the run is still going when the dialog shows.
#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "app/operation_runner.h"
#include "app/progress_dialog.h"
#include "app/status_line.h"
#include "platform/file_system.h"
#include "window_under_test.h"

namespace {

// Holds the run at the creation of a file whose name holds `at` until released.
class GateFileSystem : public platform::FileSystemWrapper {
public:
    explicit GateFileSystem(std::string at)
        : platform::FileSystemWrapper(platform::FileSystem::current()), at_(std::move(at)) {}
    ~GateFileSystem() override { release(); }

    std::unique_ptr<platform::WritableFile> createFile(std::string_view path) override {
        if (path.find(at_) != std::string_view::npos) {
            std::unique_lock<std::mutex> lock(mutex_);
            held_ = true;
            open_.wait(lock, [this] { return released_; });
        }
        return target().createFile(path);
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
        }
        open_.notify_all();
    }
    bool held() {
        std::lock_guard<std::mutex> lock(mutex_);
        return held_;
    }

private:
    std::string at_;
    std::mutex mutex_;
    std::condition_variable open_;
    bool released_ = false;
    bool held_ = false;
};

// A list long enough for the two-thread scan: a quarter invalid, a few
// erroneous, the rest valid with repeats.
QByteArray generatedList(int rows) {
    QByteArray text = "email,name\r\n";
    text.reserve(rows * 32);
    for (int i = 0; i < rows; ++i) {
        if (i % 4 == 0) text += "nobody" + QByteArray::number(i) + ",x\r\n";
        else if (i % 97 == 0) text += "a@@b" + QByteArray::number(i) + ".com,x\r\n";
        else text += "User" + QByteArray::number(i / 2) + "@example" + QByteArray::number(i % 13) + ".com,x\r\n";
    }
    return text;
}

// Notes, for each description file written, the thread that wrote it and
// whether the encoding drop-down was disabled at that moment.
class SchemaWatch : public platform::FileSystemWrapper {
public:
    explicit SchemaWatch(QComboBox* encoding)
        : platform::FileSystemWrapper(platform::FileSystem::current()), encoding_(encoding) {}

    std::unique_ptr<platform::WritableFile> createFile(std::string_view path) override {
        if (path.find("Schema.ini") != std::string_view::npos) {
            std::lock_guard<std::mutex> lock(mutex_);
            writes.push_back({QThread::currentThread(), encoding_->isEnabled()});
        }
        return target().createFile(path);
    }

    struct Write {
        QThread* thread;
        bool encodingEnabled;
    };
    std::vector<Write> writes;

private:
    QComboBox* encoding_;
    std::mutex mutex_;
};

QStringList partialFiles(const QString& dir) {
    return QDir(dir).entryList(QStringList(QStringLiteral(".*.partial")), QDir::Files | QDir::Hidden);
}

}  // namespace

class WindowLongWorkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowUnderTest> window;
    TForm1* form = nullptr;
    FakePorts* ports = nullptr;

    QString path(const QString& name) const { return window->path(name); }
    QString folder() const { return window->dir->path(); }
    app::ProgressDialog* dialog() const { return form->runner()->dialog(); }

    // Every control the user could start an operation or change an option with.
    QList<QWidget*> operatingControls() const {
        TForm1* f = form;
        QList<QWidget*> controls;
        controls << f->btn_fileopen << f->cbx_delimite << f->cbx_field << f->cbx_hdr << f->btn_search << f->rbt_top20
                 << f->cbx_encoding << f->edt_viewoption_end << f->pgc_preview->tabBar() << f->cbx_filter_email << f->edt_filter_start2
                 << f->btn_filter_fileopen << f->btn_select_dir << f->cbx_split << f->edt_split_row << f->cbx_split_size
                 << f->btn_export_all << f->btn_export_domain << f->btn_export_domain_setup << f->cbx_check_syntax
                 << f->cbx_check_dns;
        return controls;
    }
    bool allDisabled() const {
        for (QWidget* w : operatingControls())
            if (w->isEnabled()) return false;
        return true;
    }
    bool allEnabled() const {
        for (QWidget* w : operatingControls())
            if (!w->isEnabled()) return false;
        return true;
    }

    // Opens the generated list, its first line holding column names.
    void openList(int rows) {
        QFile file(path("list.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(generatedList(rows));
        file.close();
        ports->fileAnswers.push_back(path("list.csv"));
        form->btn_fileopen->click();
        QCOMPARE(ports->messages, QStringList());
        QVERIFY(form->btn_export_all->isEnabled());
    }

private slots:
    void init() {
        window = std::make_unique<WindowUnderTest>();
        QVERIFY(window->dir->isValid());
        window->newWindow(true);
        form = window->form.get();
        ports = window->ports.get();
    }
    void cleanup() { window.reset(); }

    void progressDialogAndCancel() {
        openList(600000);
        GateFileSystem gate("list-Invalid.csv");
        platform::ScopedFileSystem installed(gate);

        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);

        struct {
            bool dialogShown = false, controlsDisabled = false, busy = false, sameFont = false;
            int ticksWhileHeld = 0;
            QString stepWhenShown, panelWhenShown;
            bool cancelled = false;
            QString stepWhenCancelled;
            int barWhenCancelled = -1;
        } seen;
        QElapsedTimer running;
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] {
            if (!seen.dialogShown && dialog()->isVisible()) {
                seen.dialogShown = true;
                seen.ticksWhileHeld = ticks;
                seen.controlsDisabled = allDisabled();
                seen.busy = ports->busyDepth > 0;
                seen.sameFont = dialog()->font() == form->font();
                seen.stepWhenShown = dialog()->stepLabel()->text();
                seen.panelWhenShown = form->status_bar1->panelText(0);
                gate.release();
            }
            // Stop while the erroneous addresses are scanned.
            if (seen.dialogShown && !seen.cancelled && dialog()->stepLabel()->text() == u("正在导出错误Email地址……")) {
                seen.cancelled = true;
                seen.stepWhenCancelled = dialog()->stepLabel()->text();
                seen.barWhenCancelled = dialog()->bar()->value();
                dialog()->cancelButton()->click();
            }
            if (running.elapsed() > 60000) gate.release();  // never hang the test
        });
        probe.start(5);
        bool dialogBehindTheBox = true;
        ports->onBox = [&] { dialogBehindTheBox = dialog()->isVisible(); };
        running.start();
        form->btn_export_all->click();  // returns when the run has ended
        probe.stop();
        ports->onBox = nullptr;

        QVERIFY(seen.dialogShown);
        QVERIFY(running.elapsed() >= app::OperationRunner::kDialogDelayMs);
        QVERIFY2(seen.ticksWhileHeld > 5, "the window's timer did not fire during the run");
        QVERIFY(seen.controlsDisabled);
        QVERIFY(seen.busy);
        QVERIFY(seen.sameFont);
        QCOMPARE(seen.stepWhenShown, u("正在导出无效Email地址……"));
        QCOMPARE(seen.panelWhenShown, u(" 当前操作：Email地址按条件全部导出"));
        QVERIFY(seen.cancelled);
        QVERIFY(seen.barWhenCancelled >= 333);  // a third of the bar: the invalid addresses are done

        QCOMPARE(ports->messages, QStringList(u("操作已取消。")));
        QVERIFY(!dialogBehindTheBox);  // the dialog steps aside for the message
        QCOMPARE(ports->summaries, QStringList());
        QCOMPARE(ports->failures, QStringList());
        QVERIFY(!dialog()->isVisible());
        QVERIFY(allEnabled());
        QCOMPARE(ports->busyDepth, 0);
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前操作：Email地址按条件全部导出"));
        QVERIFY(QFile::exists(path("list-Invalid.csv")));
        QVERIFY(!QFile::exists(path("list-Temp.csv")));
        QVERIFY(!QFile::exists(path("list-Export.csv")));
        QCOMPARE(partialFiles(folder()), QStringList());
        const QByteArray invalid = [&] {
            QFile f(path("list-Invalid.csv"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QCOMPARE(invalid.count("\r\n") + 1, 150000);  // every fourth row, each once: complete
        QVERIFY(invalid.endsWith("\"nobody599996\""));

        // The next run goes to its end: the request was not left behind.
        form->btn_export_all->click();
        QCOMPARE(ports->messages.size(), 2);
        QCOMPARE(ports->messages.at(1), u("Email地址按条件全部导出 执行完毕!"));
        QCOMPARE(ports->summaries.size(), 1);
        QVERIFY(ports->summaries.at(0).startsWith(u("读取的非空地址：600,000\n")));
        QVERIFY(allEnabled());
        QCOMPARE(partialFiles(folder()), QStringList());
    }

    void escapeCancelsBeforeTheDialogShows() {
        openList(2000);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        GateFileSystem gate("list-Error.csv");
        platform::ScopedFileSystem installed(gate);
        QTimer probe;
        bool pressed = false;
        connect(&probe, &QTimer::timeout, [&] {
            if (pressed || !gate.held()) return;
            pressed = true;
            QTest::keyClick(form, Qt::Key_Escape);
            gate.release();
        });
        probe.start(5);
        form->btn_export_all->click();
        probe.stop();
        QVERIFY(pressed);
        QCOMPARE(ports->messages, QStringList(u("操作已取消。")));
        QVERIFY(QFile::exists(path("list-Invalid.csv")));
        QVERIFY(!QFile::exists(path("list-Error.csv")));  // dropped while it was being written
        QCOMPARE(partialFiles(folder()), QStringList());
    }

    void closingDuringARunAsksThenCancels() {
        openList(2000);
        GateFileSystem gate("list-Error.csv");
        platform::ScopedFileSystem installed(gate);
        ports->confirmAnswers = {false, true};  // first "no": the run goes on; then "yes"
        QTimer probe;
        int closes = 0;
        bool stillRunningAfterNo = false;
        connect(&probe, &QTimer::timeout, [&] {
            if (!gate.held()) return;
            if (closes == 0) {
                ++closes;
                form->close();
                stillRunningAfterNo = form->operationRunning() && form->isVisible();
            } else if (closes == 1) {
                ++closes;
                form->close();
                gate.release();
            }
        });
        probe.start(5);
        form->btn_export_all->click();
        probe.stop();
        QVERIFY(stillRunningAfterNo);
        QCOMPARE(ports->questions, QStringList({u("操作正在进行中，是否取消操作并退出？"), u("操作正在进行中，是否取消操作并退出？")}));
        QCOMPARE(ports->messages, QStringList());  // closing: no box after the choice
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(!QFile::exists(path("list-Error.csv")));
        QCOMPARE(partialFiles(folder()), QStringList());
    }

    // A change of a file format option binds the list again; like every
    // operation that runs on the worker with the option controls disabled.
    void rebindingRunsOnTheWorker() {
        openList(2000);
        const struct {
            const char* option;
            std::function<void()> change;
        } cases[] = {
            {"encoding", [&] {
                 form->cbx_encoding->setCurrentIndex(2);
                 emit form->cbx_encoding->activated(2);
             }},
            {"delimiter", [&] {
                 form->cbx_delimite->setCurrentIndex(1);
                 emit form->cbx_delimite->activated(1);
             }},
            {"header", [&] { form->cbx_hdr->click(); }},
        };
        for (const auto& c : cases) {
            SchemaWatch watch(form->cbx_encoding);
            platform::ScopedFileSystem installed(watch);
            c.change();
            QVERIFY2(!watch.writes.empty(), c.option);
            for (const auto& write : watch.writes) {
                QVERIFY2(write.thread != form->thread(), c.option);
                QVERIFY2(!write.encodingEnabled, c.option);
            }
            QVERIFY2(form->cbx_encoding->isEnabled(), c.option);
            QVERIFY2(allEnabled(), c.option);
        }
        QCOMPARE(form->Label15->text(), u("指定为 UTF-8"));
    }

    // The ticked address checks run in the export on the worker: their
    // files, their lines in the summary; unticked, neither.
    void addressChecksInTheExport() {
        writeBytes(path("list.csv"), "email\r\nli@163.cm\r\nli@163.com\r\nadmin@example.com\r\n"
                                     "a..b@qq.com\r\nfoo@mailinator.com\r\nok@126.com\r\n");
        ports->fileAnswers.push_back(path("list.csv"));
        form->btn_fileopen->click();
        QVERIFY(form->btn_export_all->isEnabled());
        form->btn_export_all->click();
        QVERIFY(!QFile::exists(path("list-Role.csv")));
        QVERIFY(!ports->summaries.at(0).contains(u("角色邮箱")));

        for (QCheckBox* box : {form->cbx_check_syntax, form->cbx_check_typos, form->cbx_check_disposable,
                               form->cbx_check_role})
            box->click();
        form->btn_export_all->click();
        QCOMPARE(ports->messages.last(), u("Email地址按条件全部导出 执行完毕!"));
        const auto content = [&](const char* name) {
            QFile f(path(QString::fromUtf8(name)));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
        };
        QCOMPARE(content("list-BadSyntax.csv"), QByteArray("\"a..b@qq.com\""));
        QCOMPARE(content("list-Corrected.csv"), QByteArray("\"li@163.cm\";\"li@163.com\""));
        QCOMPARE(content("list-Disposable.csv"), QByteArray("\"foo@mailinator.com\""));
        QCOMPARE(content("list-Role.csv"), QByteArray("\"admin@example.com\""));
        const QByteArray exported = content("list-Export.csv");
        QVERIFY(exported == "\"li@163.com\"\r\n\"ok@126.com\"" || exported == "\"ok@126.com\"\r\n\"li@163.com\"");
        const QString summary = ports->summaries.at(1);
        QVERIFY(summary.contains(u("重复地址（不区分大小写）：1")));
        QVERIFY(summary.contains(u("角色邮箱地址（存入 list-Role.csv）：1")));
        QVERIFY(summary.contains(u("导出地址（存入 list-Export.csv）：2")));
    }

    // The domain check page: its own button (the preview button steps aside),
    // the check on the worker, the grid by count, the line under it.
    void domainCheckPage() {
        writeBytes(path("list.csv"), "email\r\nli@163.cm\r\nwang@163.cm\r\nadmin@example.com\r\n"
                                     "kefu@example.com\r\nfoo@mailinator.com\r\nok@126.com\r\nbad\r\n");
        ports->fileAnswers.push_back(path("list.csv"));
        form->btn_fileopen->click();
        QCOMPARE(form->pgc_preview->tabText(2), u("域名检查"));
        form->pgc_preview->setCurrentIndex(2);
        QVERIFY(!form->btn_search->isVisible());
        QVERIFY(form->btn_check_domains->isVisible());
        QCOMPARE(form->btn_check_domains->text(), u("检查域名"));
        QCOMPARE(form->cbx_check_domains_dns->text(), u("同时查询DNS"));
        QVERIFY(!form->cbx_check_domains_dns->isChecked());

        form->btn_check_domains->click();  // returns when the check has ended
        QCOMPARE(ports->messages, QStringList());
        const QAbstractItemModel* model = form->DBGridEh_check->model();
        QCOMPARE(model->columnCount(), 4);
        QStringList titles, rows;
        for (int c = 0; c < 4; ++c) titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({u("域名"), u("地址数"), u("判断"), u("建议")}));
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c) cells << model->index(r, c).data().toString();
            rows << cells.join(u("|"));
        }
        QCOMPARE(rows, QStringList({u("163.cm|2|疑似拼写错误|163.com"), u("mailinator.com|1|一次性邮箱|")}));
        QCOMPARE(form->Label19->text(), u("角色邮箱地址：2　已检查邮件域：4　有问题的邮件域：2"));
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前操作：域名检查"));
        QVERIFY(allEnabled());

        form->pgc_preview->setCurrentIndex(0);
        QVERIFY(form->btn_search->isVisible());
    }

    void closingWhenIdleAsksNothing() {
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(ports->questions, QStringList());
    }
};

QTEST_MAIN(WindowLongWorkTest)
#include "window_long_work_test.moc"
