#include "platform/report/ReportProgress.h"

#include <QApplication>
#include <QProgressDialog>

#include "platform/ui/Localizer.h"

namespace report {

ReportProgress::ReportProgress(const QString& text, int pages)
    : dialog_(std::make_unique<QProgressDialog>(
          text, Localizer::Text(QStringLiteral("ReportProgressCancel"), QStringLiteral("Cancel")), 0, pages,
          QApplication::activeWindow())) {
  dialog_->setObjectName(QStringLiteral("ReportProgress"));
  dialog_->setAccessibleDescription(dialog_->objectName());
  dialog_->setAccessibleName(text);
  dialog_->setWindowTitle(QApplication::applicationDisplayName());
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setMinimumDuration(0);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setValue(0);
}

ReportProgress::~ReportProgress() = default;

bool ReportProgress::Step(int page, int pages) {
  if (dialog_->maximum() != pages) dialog_->setMaximum(pages);
  // A modal progress window handles the pending events here, the Cancel click included.
  dialog_->setValue(page - 1);
  return !dialog_->wasCanceled();
}

}  // namespace report
