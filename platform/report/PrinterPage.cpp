#include "platform/report/PrinterPage.h"

#include <QMarginsF>

namespace {

double Mm(int thousandths) {
  return thousandths / 1000.0;
}

}  // namespace

QPageSize TPrinterPage::QtPageSize() const {
  switch (DMPaper) {
    case dmpaper::Letter:
      return QPageSize(QPageSize::Letter);
    case dmpaper::Legal:
      return QPageSize(QPageSize::Legal);
    case dmpaper::A3:
      return QPageSize(QPageSize::A3);
    case dmpaper::A4:
      return QPageSize(QPageSize::A4);
    case dmpaper::A5:
      return QPageSize(QPageSize::A5);
    default:
      return QPageSize(QSizeF(Mm(PageSize.X), Mm(PageSize.Y)), QPageSize::Millimeter);
  }
}

QSizeF TPrinterPage::PaperMm() const {
  const QSizeF size = QtPageSize().size(QPageSize::Millimeter);
  return Orientation == poLandscape ? size.transposed() : size;
}

QPageLayout TPrinterPage::QtPageLayout() const {
  return QPageLayout(QtPageSize(),
                     Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(Mm(Margins.Left), Mm(Margins.Top), Mm(Margins.Right), Mm(Margins.Bottom)),
                     QPageLayout::Millimeter);
}
