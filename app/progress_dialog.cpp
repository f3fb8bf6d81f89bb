#include "app/progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application_title.h"

namespace app {

namespace {
QString u(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

QString elapsedText(qint64 milliseconds) {
    const qint64 seconds = milliseconds / 1000;
    const auto two = [](qint64 n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); };
    if (seconds >= 3600)
        return QString::number(seconds / 3600) + QLatin1Char(':') + two(seconds / 60 % 60) + QLatin1Char(':') +
               two(seconds % 60);
    return QString::number(seconds / 60) + QLatin1Char(':') + two(seconds % 60);
}

ProgressDialog::ProgressDialog(QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      step_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      elapsed_(new QLabel(this)),
      cancel_(new QPushButton(u("取消"), this)) {
    setWindowTitle(u(kApplicationTitle));
    setWindowModality(Qt::WindowModal);
    setFont(window->font());  // a dialog does not take its window's font by itself
    bar_->setRange(0, 1000);
    bar_->setFormat(QStringLiteral("%p%"));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(elapsed_);
    bottom->addStretch();
    bottom->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(step_);
    layout->addWidget(bar_);
    layout->addLayout(bottom);
    setFixedSize(380, 128);
    reset();
}

void ProgressDialog::setStep(const QString& text) {
    if (!cancelling_) step_->setText(text);
}

void ProgressDialog::setFraction(double fraction) { bar_->setValue(static_cast<int>(fraction * 1000)); }

void ProgressDialog::setElapsed(qint64 milliseconds) { elapsed_->setText(u("已用时间 ") + elapsedText(milliseconds)); }

void ProgressDialog::showCancelling() {
    cancelling_ = true;
    step_->setText(u("正在取消……"));
    cancel_->setEnabled(false);
}

void ProgressDialog::reset() {
    cancelling_ = false;
    step_->setText(QString());
    bar_->setValue(0);
    setElapsed(0);
    cancel_->setEnabled(true);
}

void ProgressDialog::reject() {
    if (!cancelling_) emit cancelRequested();
}

}  // namespace app
