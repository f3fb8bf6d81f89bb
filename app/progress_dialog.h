// The modal dialog of a long operation: the step in words, a bar over the
// whole operation, the time taken so far and "取消".  Escape and the title
// bar's close button cancel too; the dialog stays until the operation ends.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace app {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* window);

    void setStep(const QString& text);
    // Share of the whole operation done, 0 to 1.
    void setFraction(double fraction);
    void setElapsed(qint64 milliseconds);
    // After a cancel request: the button is spent, the step says so.
    void showCancelling();
    // Ready for the next operation.
    void reset();

    QLabel* stepLabel() const { return step_; }
    QProgressBar* bar() const { return bar_; }
    QLabel* elapsedLabel() const { return elapsed_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void cancelRequested();

public slots:
    // Escape, the close button: a cancel request, not a hidden dialog.
    void reject() override;

private:
    QLabel* step_;
    QProgressBar* bar_;
    QLabel* elapsed_;
    QPushButton* cancel_;
    bool cancelling_ = false;
};

// 65000 ms as "1:05", an hour and more as "1:02:03".
QString elapsedText(qint64 milliseconds);

}  // namespace app
