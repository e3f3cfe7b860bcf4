#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "platform/report/PrinterPage.h"
#include "platform/rtl/Component.h"

class QPagedPaintDevice;
class QPainter;
class TComponentPrinter;
class TGrid;

// Told before each page is drawn (1-based, of pages); answers false to stop.
using TReportProgress = std::function<bool(int page, int pages)>;

// A report of one component, laid out on the pages of its PrinterPage.
class TBasicReportLink : public TComponent {
 public:
  explicit TBasicReportLink(TComponent* owner = nullptr);
  ~TBasicReportLink() override;

  QString ClassName() const override { return QStringLiteral("TBasicReportLink"); }

  TPrinterPage& PrinterPage() { return page_; }
  const TPrinterPage& PrinterPage() const { return page_; }
  // The caption in every page's header; when empty, the caption of the component's
  // window.
  const QString& ReportTitle() const { return reportTitle_; }
  void SetReportTitle(const QString& title) { reportTitle_ = title; }
  virtual QString Caption() const { return reportTitle_; }

  // Rows the report prints, to decide whether the work is long.
  virtual int RowCount() const = 0;
  // Pages the report takes on the device.
  virtual int PageCount(QPagedPaintDevice& device) const = 0;
  // Draws every page with painter, already active on device whose origin is the
  // paper's corner. False when progress stopped it.
  virtual bool Render(QPainter& painter, QPagedPaintDevice& device,
                      const TReportProgress& progress) const = 0;

  TComponentPrinter* ComponentPrinter() const { return printer_; }

 private:
  friend class TComponentPrinter;

  TPrinterPage page_;
  QString reportTitle_;
  TComponentPrinter* printer_ = nullptr;
};

// Prints a grid as it is shown: its visible columns in their order, with their widths
// scaled to the page width, and its rows sorted, filtered and grouped as they are (a
// collapsed group prints as its group row alone unless ExpandGroupRows). Every page
// repeats the column titles, with the caption above and "Página N de M" below.
class TGridReportLink : public TBasicReportLink {
 public:
  explicit TGridReportLink(TComponent* owner = nullptr);

  QString ClassName() const override { return QStringLiteral("TGridReportLink"); }

  TGrid* Component() const;
  void SetComponent(TGrid* grid);
  bool ExpandGroupRows() const { return expandGroupRows_; }
  void SetExpandGroupRows(bool expand) { expandGroupRows_ = expand; }

  QString Caption() const override;
  int RowCount() const override;
  int PageCount(QPagedPaintDevice& device) const override;
  bool Render(QPainter& painter, QPagedPaintDevice& device, const TReportProgress& progress) const override;

 private:
  QPointer<TGrid> grid_;
  bool expandGroupRows_ = false;
};
