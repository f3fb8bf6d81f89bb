// Runs the core's operations on one worker thread while the window's event
// loop goes on: the window repaints, timers fire, and after half a second a
// modal progress dialog shows the step, the bar, the time taken and "取消".
// The calls the operation makes back to the window (its messages, status
// texts, progress) reach the window's thread: a message box holds the
// operation until it is closed, so messages and files keep their order.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>

class QWidget;

namespace app {

class ProgressDialog;

class OperationRunner : public QObject {
    Q_OBJECT
public:
    // window: the dialog's owner; cancel: asks the running operation to stop
    // (any thread).
    OperationRunner(QWidget* window, std::function<void()> cancel);
    ~OperationRunner() override;

    // Runs body on the worker thread and returns when it has ended, the event
    // loop running meanwhile; a failure body lets out is thrown here.  One
    // operation at a time.
    void run(const std::function<void()>& body);
    bool running() const { return running_; }
    // Asks the running operation to stop (the dialog's "取消", Escape).
    void cancel();

    // From the operation: fn on the window's thread, the operation waiting
    // for it (wait) or going on; on the window's thread itself at once.
    void onWindowThread(const std::function<void()>& fn, bool wait);
    // From the operation: the step and the share done, shown as the window
    // gets to it (only the latest counts).
    void progress(const QString& step, double fraction);
    // A message box of the operation comes up: the dialog steps aside until
    // the operation reports progress again (after a box at the end it stays
    // hidden).  On the window's thread.
    void holdDialog();

    ProgressDialog* dialog() const { return dialog_; }
    // How long an operation runs before the dialog shows.
    static constexpr int kDialogDelayMs = 500;

signals:
    void finished();

private:
    void showLatestProgress();
    void showDialog();

    QWidget* window_;
    std::function<void()> cancel_;
    ProgressDialog* dialog_;
    QTimer dialogDelay_;
    QTimer clock_;
    QElapsedTimer elapsed_;
    bool running_ = false;
    bool dialogDue_ = false;  // the operation has run long enough for the dialog
    bool held_ = false;       // a box came up and no progress since

    std::mutex latestMutex_;
    QString latestStep_;
    double latestFraction_ = 0;
    std::atomic<bool> progressPosted_{false};
};

}  // namespace app
