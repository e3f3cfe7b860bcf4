#pragma once

#include <QLabel>
#include <QPoint>
#include <QString>

namespace ui {

// The floating caption that follows the mouse while a column header or a group button
// is dragged. The grid does its own dragging (press, move, release) instead of a
// platform drag, so that nothing outside the grid takes part and tests can drive it
// with plain mouse events.
class GridDragGhost : public QLabel {
  Q_OBJECT

 public:
  explicit GridDragGhost(const QString& caption);
  void MoveTo(const QPoint& globalPos);
};

// Press, drag and release on one widget: tells a click from a drag.
struct GridDragState {
  int item = -1;  // what was pressed (section, group level); -1: nothing
  QPoint pressPos;
  bool dragging = false;

  void Reset() { *this = GridDragState(); }
  // True once the mouse has gone far enough from the press to be a drag.
  bool BeginsDrag(const QPoint& pos) const;
};

}  // namespace ui
