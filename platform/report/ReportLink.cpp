#include "platform/report/ReportLink.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

#include "platform/db/DataSet.h"
#include "platform/report/ComponentPrinter.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/GridView.h"
#include "platform/ui/Localizer.h"

namespace {

const QString kPageOfKey = QStringLiteral("ReportPageOf");
// Indent of one group level on screen, scaled like the columns.
constexpr double kScreenIndent = 16;

// Where everything goes on every page, in device pixels. Rows all have one height, so
// page n holds items [n * rowsPerPage, (n + 1) * rowsPerPage): no page depends on the
// pages before it.
struct Sheet {
  QRectF body;
  QRectF headerBand;
  QRectF footerBand;
  QFont font;
  QFont bold;
  QFont title;
  double rowHeight = 0;
  double titleHeight = 0;
  double indent = 0;
  double pad = 0;
  double columnsLeft = 0;
  int rowsPerPage = 1;
  std::vector<double> left;
  std::vector<double> width;
};

Sheet LayOut(const TPrinterPage& page, QPagedPaintDevice& device,
             const std::vector<TGridPrintColumn>& columns, int levels, const QFont& screenFont) {
  Sheet sheet;
  const QSizeF paper = page.PaperMm();
  const double perMm = device.width() / paper.width();
  auto mm = [perMm](int thousandths) { return thousandths / 1000.0 * perMm; };
  const double width = device.width();
  const double height = paper.height() * perMm;
  sheet.body = QRectF(QPointF(mm(page.Margins.Left), mm(page.Margins.Top)),
                      QPointF(width - mm(page.Margins.Right), height - mm(page.Margins.Bottom)));
  sheet.headerBand = QRectF(QPointF(sheet.body.left(), std::min(mm(page.Header), sheet.body.top())),
                            QPointF(sheet.body.right(), sheet.body.top()));
  sheet.footerBand =
      QRectF(QPointF(sheet.body.left(), sheet.body.bottom()),
             QPointF(sheet.body.right(), std::max(height - mm(page.Footer), sheet.body.bottom())));

  sheet.font = screenFont;
  sheet.font.setPointSizeF(8);
  sheet.bold = sheet.font;
  sheet.bold.setBold(true);
  sheet.title = sheet.bold;
  sheet.title.setPointSizeF(10);
  const QFontMetricsF metrics(sheet.font, &device);
  sheet.rowHeight = std::ceil(metrics.height() * 1.5);
  sheet.pad = metrics.averageCharWidth() * 0.6;

  double screenWidth = levels * kScreenIndent;
  for (const TGridPrintColumn& column : columns) screenWidth += column.width;
  const double scale = screenWidth > 0 ? sheet.body.width() / screenWidth : 1;
  sheet.indent = kScreenIndent * scale;
  sheet.columnsLeft = sheet.body.left() + levels * sheet.indent;
  double x = sheet.columnsLeft;
  for (const TGridPrintColumn& column : columns) {
    sheet.left.push_back(x);
    sheet.width.push_back(column.width * scale);
    x += column.width * scale;
  }
  // Titles wrap rather than lose words; the tallest sets the height of the titles row.
  const QFontMetricsF boldMetrics(sheet.bold, &device);
  double titleText = boldMetrics.height();
  for (size_t c = 0; c < columns.size(); ++c) {
    const QRectF room(0, 0, std::max(1.0, sheet.width[c] - 2 * sheet.pad), 1e6);
    titleText =
        std::max(titleText, boldMetrics.boundingRect(room, Qt::TextWordWrap, columns[c].caption).height());
  }
  sheet.titleHeight = std::ceil(titleText + boldMetrics.height() * 0.7);
  sheet.rowsPerPage =
      std::max(1, static_cast<int>(std::floor((sheet.body.height() - sheet.titleHeight) / sheet.rowHeight)));
  return sheet;
}

// The text as it fits the width: whole, or cut with an ellipsis. Widths of repeated
// texts (names, dates) are measured once.
class TextFitter {
 public:
  TextFitter(const QFont& font, QPaintDevice* device) : metrics_(font, device) {}
  QString Fit(const QString& text, double width) {
    auto it = widths_.find(text);
    if (it == widths_.end()) {
      if (widths_.size() > 50000) widths_.clear();
      it = widths_.insert(text, metrics_.horizontalAdvance(text));
    }
    return it.value() <= width ? text : metrics_.elidedText(text, Qt::ElideRight, width);
  }

 private:
  QFontMetricsF metrics_;
  QHash<QString, double> widths_;
};

void DrawCheck(QPainter& painter, const QRectF& cell, bool checked) {
  const double side = std::min(cell.height() * 0.55, cell.width() - 2);
  const QRectF box(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side);
  painter.drawRect(box);
  if (!checked) return;
  const QPointF points[] = {{box.left() + side * 0.2, box.top() + side * 0.5},
                            {box.left() + side * 0.42, box.top() + side * 0.75},
                            {box.left() + side * 0.8, box.top() + side * 0.25}};
  painter.drawPolyline(points, 3);
}

}  // namespace

// --- TBasicReportLink --------------------------------------------------------------------------

TBasicReportLink::TBasicReportLink(TComponent* owner) : TComponent(owner) {}

TBasicReportLink::~TBasicReportLink() {
  if (printer_ != nullptr) printer_->LinkDestroyed(this);
}

// --- TGridReportLink ---------------------------------------------------------------------------

TGridReportLink::TGridReportLink(TComponent* owner) : TBasicReportLink(owner) {}

TGrid* TGridReportLink::Component() const {
  return grid_.data();
}

void TGridReportLink::SetComponent(TGrid* grid) {
  grid_ = grid;
}

QString TGridReportLink::Caption() const {
  if (!ReportTitle().isEmpty() || grid_ == nullptr) return ReportTitle();
  return grid_->window()->windowTitle();
}

int TGridReportLink::RowCount() const {
  if (grid_ == nullptr || grid_->View() == nullptr) return 0;
  return static_cast<int>(grid_->View()->ShownItems(expandGroupRows_).size());
}

int TGridReportLink::PageCount(QPagedPaintDevice& device) const {
  if (grid_ == nullptr || grid_->View() == nullptr) return 1;
  const TGridDBTableView* view = grid_->View();
  const Sheet sheet = LayOut(PrinterPage(), device, view->PrintColumns(), view->GroupLevels(), grid_->font());
  const int items = RowCount();
  return std::max(1, (items + sheet.rowsPerPage - 1) / sheet.rowsPerPage);
}

bool TGridReportLink::Render(QPainter& painter, QPagedPaintDevice& device,
                             const TReportProgress& progress) const {
  if (grid_ == nullptr || grid_->View() == nullptr)
    throw EComponentError(QStringLiteral("O relatório não tem uma grade para imprimir."));
  const TGridDBTableView* view = grid_->View();
  const TDataSet* ds = view->DataSet();
  const std::vector<TGridPrintColumn> columns = view->PrintColumns();
  const std::vector<quintptr> items =
      ds != nullptr ? view->ShownItems(expandGroupRows_) : std::vector<quintptr>();
  const Sheet sheet = LayOut(PrinterPage(), device, columns, view->GroupLevels(), grid_->font());
  const int pages = std::max(1, static_cast<int>((items.size() + sheet.rowsPerPage - 1) / sheet.rowsPerPage));
  const QString caption = Caption();
  const QPen line(QColor(0x9A, 0xA7, 0xB6), 0);
  const QPen text(Qt::black, 0);
  const QColor titleFill(0xE4, 0xE8, 0xEE);
  const QColor groupFill(0xF0, 0xF2, 0xF5);
  TextFitter fitter(sheet.font, &device);
  TextFitter boldFitter(sheet.bold, &device);
  const double right = sheet.left.empty() ? sheet.body.right() : sheet.left.back() + sheet.width.back();

  for (int page = 0; page < pages; ++page) {
    if (progress && !progress(page + 1, pages)) return false;
    if (page > 0) device.newPage();

    painter.setPen(text);
    painter.setFont(sheet.title);
    painter.drawText(sheet.headerBand, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, caption);

    // Column titles, on every page.
    double y = sheet.body.top();
    const QRectF titles(sheet.body.left(), y, right - sheet.body.left(), sheet.titleHeight);
    painter.fillRect(titles, titleFill);
    painter.setPen(line);
    painter.drawRect(titles);
    painter.setFont(sheet.bold);
    for (size_t c = 0; c < columns.size(); ++c) {
      const QRectF cell(sheet.left[c], y, sheet.width[c], sheet.titleHeight);
      painter.setPen(line);
      painter.drawLine(cell.topLeft(), cell.bottomLeft());
      painter.setPen(text);
      painter.save();
      painter.setClipRect(cell);  // a single word wider than its column stays in it
      painter.drawText(cell.adjusted(sheet.pad, 0, -sheet.pad, 0),
                       static_cast<int>(columns[c].headerAlignment) | Qt::TextWordWrap, columns[c].caption);
      painter.restore();
    }
    y += sheet.titleHeight;

    const size_t first = static_cast<size_t>(page) * sheet.rowsPerPage;
    const size_t end = std::min(items.size(), first + sheet.rowsPerPage);
    double runTop = -1;  // top of the data rows drawn since the last group row
    auto closeRun = [&](double bottom) {
      if (runTop < 0) return;
      painter.setPen(line);
      for (size_t c = 0; c < columns.size(); ++c)
        painter.drawLine(QPointF(sheet.left[c], runTop), QPointF(sheet.left[c], bottom));
      painter.drawLine(QPointF(right, runTop), QPointF(right, bottom));
      runTop = -1;
    };
    for (size_t i = first; i < end; ++i) {
      const quintptr item = items[i];
      if (view->ItemIsGroup(item)) {
        closeRun(y);
        const double x = sheet.body.left() + view->ItemLevel(item) * sheet.indent;
        const QRectF band(x, y, right - x, sheet.rowHeight);
        painter.fillRect(band, groupFill);
        painter.setPen(line);
        painter.drawRect(band);
        painter.setPen(text);
        painter.setFont(sheet.bold);
        painter.drawText(band.adjusted(sheet.pad, 0, -sheet.pad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         boldFitter.Fit(view->ItemGroupText(item), band.width() - 2 * sheet.pad));
      } else {
        if (runTop < 0) runTop = y;
        const int row = view->ItemDataRow(item);
        painter.setFont(sheet.font);
        for (size_t c = 0; c < columns.size(); ++c) {
          const QRectF cell(sheet.left[c], y, sheet.width[c], sheet.rowHeight);
          painter.setPen(text);
          if (columns[c].isBoolean) {
            DrawCheck(painter, cell, ds->CellAt(row, columns[c].field).i != 0);
            continue;
          }
          painter.drawText(
              cell.adjusted(sheet.pad, 0, -sheet.pad, 0), static_cast<int>(columns[c].cellAlignment),
              fitter.Fit(ds->DisplayTextAt(row, columns[c].field), cell.width() - 2 * sheet.pad));
        }
        painter.setPen(line);
        painter.drawLine(QPointF(sheet.columnsLeft, y + sheet.rowHeight),
                         QPointF(right, y + sheet.rowHeight));
      }
      y += sheet.rowHeight;
    }
    closeRun(y);

    painter.setPen(text);
    painter.setFont(sheet.font);
    painter.drawText(sheet.footerBand, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                     Localizer::Text(kPageOfKey, QStringLiteral("Page %1 of %2")).arg(page + 1).arg(pages));
  }
  return true;
}
