#include "platform/ui/GridDrag.h"

#include <QApplication>

namespace ui {

GridDragGhost::GridDragGhost(const QString& caption) : QLabel(caption) {
  setObjectName(QStringLiteral("GridDragGhost"));
  setAccessibleDescription(objectName());
  setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFrameShape(QFrame::Box);
  setMargin(3);
  setAutoFillBackground(true);
  adjustSize();
}

void GridDragGhost::MoveTo(const QPoint& globalPos) {
  move(globalPos + QPoint(8, 8));
  if (!isVisible()) show();
}

bool GridDragState::BeginsDrag(const QPoint& pos) const {
  return item >= 0 && (pos - pressPos).manhattanLength() >= QApplication::startDragDistance();
}

}  // namespace ui
