#include "app/file_progress_dialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr int kPumpEveryMs = 15;
constexpr int kSteps = 1000;
} // namespace

FileProgressDialog::FileProgressDialog(QWidget* owner, QString label, int show_after_ms)
    : owner_(owner), label_(std::move(label)), show_after_ms_(show_after_ms) {
    started_.start();
}

FileProgressDialog::~FileProgressDialog() = default;

void FileProgressDialog::advance(qint64 done, qint64 total) {
    if (pumped_.isValid() && pumped_.elapsed() < kPumpEveryMs)
        return;
    if (!dialog_ && started_.elapsed() >= show_after_ms_) {
        dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, kSteps, owner_);
        dialog_->setObjectName(QStringLiteral("dlg_file_progress"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    if (dialog_)
        dialog_->setValue(total > 0 ? static_cast<int>(std::min(done, total) * kSteps / total) : 0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    pumped_.restart();
}
