#pragma once

#include <QString>
#include <functional>

#include "platform/rtl/Component.h"

class QPrintPreviewDialog;
class QPrinter;
class TBasicReportLink;

// Prints, previews and exports the report of its current link.
//
// Preview shows the pages in Qt's print preview, from which the operator prints.
// ExportToPDF writes the same pages to a PDF file without asking anything: the file
// appears complete or not at all (it is written beside the target under a temporary
// name and renamed at the end). Reports of more than kProgressRows rows show a modal
// progress window whose Cancel stops the work: an export then leaves no file and ends
// with the silent abort.
class TComponentPrinter : public TComponent {
 public:
  static constexpr int kProgressRows = 2000;

  explicit TComponentPrinter(TComponent* owner = nullptr);
  ~TComponentPrinter() override;

  QString ClassName() const override { return QStringLiteral("TComponentPrinter"); }

  TBasicReportLink* CurrentLink() const { return currentLink_; }
  void SetCurrentLink(TBasicReportLink* link);

  // Modal: returns when the preview closes. Otherwise the preview stays open on its own.
  void Preview(bool modal = true);
  // Raises EInOutError with a Portuguese text when the file cannot be written.
  void ExportToPDF(const QString& fileName);

 private:
  friend class TBasicReportLink;
  void LinkDestroyed(TBasicReportLink* link);
  TBasicReportLink& Link() const;
  void PaintPreview(QPrinter& printer);

  TBasicReportLink* currentLink_ = nullptr;
};

// Tests answer the preview through a handler: it gets the dialog, ready and not shown,
// instead of the modal run. An empty handler restores the real preview.
using PreviewHandler = std::function<void(QPrintPreviewDialog& dialog)>;
PreviewHandler SetPreviewHandler(PreviewHandler handler);
