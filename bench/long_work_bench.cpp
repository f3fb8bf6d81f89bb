// Times the full export of a list (semicolon separated, a header line, the
// column "email", an exclusion file, parts of 50000 lines: the "all" case of
// cli_bench.sh) through the main window offscreen and through the operations
// core called directly, and how long a cancel request takes to stop it.
//
//   long-work-bench window LIST OUT_DIR EXCLUSION_NAME
//   long-work-bench core   LIST OUT_DIR EXCLUSION_NAME
//   long-work-bench cancel-core   LIST OUT_DIR EXCLUSION_NAME SECONDS...
//   long-work-bench cancel-window LIST OUT_DIR EXCLUSION_NAME SECONDS...
//
// window/core print "MODE WALL_SECONDS CPU_SECONDS" for the export alone
// (the list opened before the clocks start); the CPU time is the process's,
// every thread's (user + system), which a loaded machine skews less.  The cancel modes start an export for each
// SECONDS, ask it to stop after that long and print the time from the
// request until the call returned, with the step it was in.  The harness
// uses only what the window and the core offered before the worker thread
// existed, so that it also builds against that version for a comparison
// (bench/long_work_bench.sh); the cancel modes need the newer core.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <sys/resource.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/tform1.h"
#include "app/ui_ports.h"
#include "core/workspace.h"
#include "export/export_run.h"
#include "platform/code_page.h"

#if __has_include("platform/cancel_request.h")
#define HAS_CANCEL 1
#include "app/operation_runner.h"
#include "app/progress_dialog.h"
#endif

namespace {

// Answers the window's dialogs; the message boxes are only counted.
class BenchPorts : public app::UiPorts {
public:
    explicit BenchPorts(QString list) : list_(std::move(list)) {}
    void showMessage(const QString& text) override { last = text; }
    void showFailure(const QString& text) override { last = text; }
    // No "override": the older interface has neither.
    void showCompletion(const QString& text, const QString&) { last = text; }
    bool confirm(const QString&) { return true; }
    std::optional<QString> chooseFile(const QString&) override { return list_; }
    std::optional<QString> chooseFolder(const QString&) override { return std::nullopt; }
    void openUrl(const QString&) override {}
    void setBusy(bool) override {}
    QString last;

private:
    QString list_;
};

class QuietFeedback : public platform::OperationFeedback {
public:
    void showMessage(const std::string& text) override { last = text; }
    void showFailure(const std::string& text) override { last = text; }
    void setBusy(bool) override {}
#ifdef HAS_CANCEL
    void showProgress(const std::string& step, double) override { this->step = step; }
#endif
    std::string last, step;
};

exporting::CleaningOptions options(const std::string& exclusion) {
    exporting::CleaningOptions o;
    o.excludeFile = true;
    o.excludeFileName = exclusion;
    o.split = true;
    o.splitByRows = true;
    o.splitRows = "50000";
    return o;
}

double seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// User and system CPU time of the process so far.
double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

void openInWindow(TForm1& form, const QString& outDir, const QString& exclusion) {
    form.cbx_delimite->setCurrentIndex(1);  // semicolon
    form.cbx_hdr->setChecked(true);
    form.btn_fileopen->click();
    form.cbx_field->setCurrentIndex(form.cbx_field->findText(QStringLiteral("email")));
    form.cbx_filter_email->setChecked(true);
    form.edt_filter_email->setText(exclusion);
    form.cbx_split->setChecked(true);
    form.edt_split_row->setText(QStringLiteral("50000"));
    form.edt_output_dir->setText(outDir);
}

int windowRun(const QString& list, const QString& outDir, const QString& exclusion, double cancelAfter) {
    BenchPorts ports(list);
    TForm1 form(&ports);
    form.show();
    QApplication::processEvents();
    openInWindow(form, outDir, exclusion);
    QTimer canceller;
#ifdef HAS_CANCEL
    std::chrono::steady_clock::time_point requested;
    QString step;
    if (cancelAfter > 0) {
        canceller.setSingleShot(true);
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            requested = std::chrono::steady_clock::now();
            step = form.runner()->dialog()->stepLabel()->text();
            form.runner()->dialog()->cancelButton()->click();
        });
        canceller.start(static_cast<int>(cancelAfter * 1000));
    }
#endif
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    form.btn_export_all->click();  // returns when the export has ended
    const double total = seconds(start);
    const double cpu = cpuSeconds() - cpuStart;
#ifdef HAS_CANCEL
    if (cancelAfter > 0) {
        std::printf("cancel-window after %.1f s: stopped %.0f ms later (in %s; %s)\n", cancelAfter,
                    seconds(requested) * 1000, step.toUtf8().constData(), ports.last.toUtf8().constData());
        return 0;
    }
#endif
    std::printf("window %.3f %.3f (%s)\n", total, cpu, ports.last.toUtf8().constData());
    return 0;
}

int coreRun(const std::string& list, const std::string& outDir, const std::string& exclusion, double cancelAfter) {
    QuietFeedback feedback;
    core::Workspace workspace(feedback);
    if (!workspace.OpenSourceFile(list, core::SourceOptions{true, 1}, false).previewed) {
        std::fprintf(stderr, "cannot open %s: %s\n", list.c_str(), feedback.last.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    if (cancelAfter <= 0) {
        const double cpuStart = cpuSeconds();
        workspace.ExportAll(options(exclusion), "email", outDir);
        std::printf("core %.3f %.3f\n", seconds(start), cpuSeconds() - cpuStart);
        return 0;
    }
#ifdef HAS_CANCEL
    std::thread run([&] { workspace.ExportAll(options(exclusion), "email", outDir); });
    std::this_thread::sleep_for(std::chrono::duration<double>(cancelAfter));
    const auto requested = std::chrono::steady_clock::now();
    const std::string step = feedback.step;
    workspace.requestCancel();
    run.join();
    std::printf("cancel-core after %.1f s: stopped %.0f ms later (in %s; %s)\n", cancelAfter,
                seconds(requested) * 1000, step.c_str(),
                feedback.last.c_str());
#endif
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: long-work-bench window|core|cancel-core|cancel-window LIST OUT_DIR EXCLUSION_NAME [SECONDS...]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string mode = argv[1];
    const std::string list = argv[2], outDir = argv[3], exclusion = argv[4];
    std::vector<double> delays;
    for (int i = 5; i < argc; ++i) delays.push_back(std::atof(argv[i]));
    if (mode == "window") return windowRun(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                           QString::fromLocal8Bit(argv[4]), 0);
    if (mode == "core") return coreRun(list, outDir, exclusion, 0);
#ifdef HAS_CANCEL
    if (mode == "cancel-core" || mode == "cancel-window") {
        for (const double delay : delays) {
            if (mode == "cancel-core") coreRun(list, outDir, exclusion, delay);
            else windowRun(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                           QString::fromLocal8Bit(argv[4]), delay);
            std::fflush(stdout);
        }
        return 0;
    }
#endif
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
