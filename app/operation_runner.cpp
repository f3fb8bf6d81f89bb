#include "app/operation_runner.h"

#include <QEventLoop>
#include <QThread>
#include <QWidget>
#include <thread>

#include "app/progress_dialog.h"

namespace app {

OperationRunner::OperationRunner(QWidget* window, std::function<void()> cancel)
    : QObject(window), window_(window), cancel_(std::move(cancel)), dialog_(new ProgressDialog(window)) {
    dialogDelay_.setSingleShot(true);
    dialogDelay_.setInterval(kDialogDelayMs);
    // A coarse timer may fire up to 5 % early: the dialog would show before its delay.
    dialogDelay_.setTimerType(Qt::PreciseTimer);
    connect(&dialogDelay_, &QTimer::timeout, this, &OperationRunner::showDialog);
    clock_.setInterval(200);
    connect(&clock_, &QTimer::timeout, this, [this] { dialog_->setElapsed(elapsed_.elapsed()); });
    connect(dialog_, &ProgressDialog::cancelRequested, this, &OperationRunner::cancel);
}

OperationRunner::~OperationRunner() = default;

void OperationRunner::run(const std::function<void()>& body) {
    if (running_) throw std::logic_error("an operation is already running");
    running_ = true;
    dialogDue_ = held_ = false;
    dialog_->reset();
    {
        std::lock_guard<std::mutex> lock(latestMutex_);
        latestStep_.clear();
        latestFraction_ = 0;
    }
    elapsed_.start();
    dialogDelay_.start();

    QEventLoop loop;
    connect(this, &OperationRunner::finished, &loop, &QEventLoop::quit);
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            body();
        } catch (...) {
            failure = std::current_exception();
        }
        emit finished();  // queued: it comes after every call the operation posted
    });
    loop.exec();
    worker.join();

    dialogDelay_.stop();
    clock_.stop();
    dialog_->hide();
    running_ = false;
    if (failure) std::rethrow_exception(failure);
}

void OperationRunner::cancel() {
    if (!running_) return;
    cancel_();
    dialog_->showCancelling();
}

void OperationRunner::showDialog() {
    dialogDue_ = true;
    clock_.start();
    if (held_) return;
    showLatestProgress();
    dialog_->setElapsed(elapsed_.elapsed());
    dialog_->show();
}

void OperationRunner::holdDialog() {
    held_ = true;
    dialog_->hide();
}

void OperationRunner::onWindowThread(const std::function<void()>& fn, bool wait) {
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(this, fn, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void OperationRunner::progress(const QString& step, double fraction) {
    {
        std::lock_guard<std::mutex> lock(latestMutex_);
        latestStep_ = step;
        latestFraction_ = fraction;
    }
    if (QThread::currentThread() == thread()) {
        showLatestProgress();
        return;
    }
    // One update on its way at a time: the window shows the latest when it gets to it.
    if (!progressPosted_.exchange(true))
        QMetaObject::invokeMethod(this, [this] { showLatestProgress(); }, Qt::QueuedConnection);
}

void OperationRunner::showLatestProgress() {
    progressPosted_ = false;
    QString step;
    double fraction = 0;
    {
        std::lock_guard<std::mutex> lock(latestMutex_);
        step = latestStep_;
        fraction = latestFraction_;
    }
    dialog_->setStep(step);
    dialog_->setFraction(fraction);
    if (held_ && running_) {
        held_ = false;
        if (dialogDue_) dialog_->show();
    }
}

}  // namespace app
