#pragma once

#include <QString>
#include <memory>

class QProgressDialog;

namespace report {

// The modal progress window of a long report: shown from the first page, it lets the
// operator cancel between pages.
class ReportProgress {
 public:
  ReportProgress(const QString& text, int pages);
  ~ReportProgress();
  ReportProgress(const ReportProgress&) = delete;
  ReportProgress& operator=(const ReportProgress&) = delete;

  // Before drawing page (1-based); false once the operator has cancelled.
  bool Step(int page, int pages);

 private:
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace report
