#include "platform/ui/GridFooter.h"

#include <QPainter>

namespace ui {

GridFooter::GridFooter(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
}

QSize GridFooter::sizeHint() const {
  return QSize(100, fontMetrics().height() + 8);
}

void GridFooter::paintEvent(QPaintEvent* /*event*/) {
  if (!Cells) return;
  QPainter painter(this);
  for (const Cell& cell : Cells()) {
    const QRect box(cell.left + 1, 2, cell.width - 2, height() - 4);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(box.adjusted(3, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter, cell.text);
  }
}

}  // namespace ui
