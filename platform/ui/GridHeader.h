#pragma once

#include <QHeaderView>
#include <functional>
#include <memory>

#include "platform/ui/GridDrag.h"

namespace ui {

// What a header section shows beside its caption.
struct GridSectionState {
  int sortOrder = 0;  // 0 none, 1 ascending, 2 descending
  bool filtered = false;
  bool filterButton = true;
};

// The column titles of the grid. A click sorts (the view decides how, from the
// modifiers), a click on the filter button at a section's right end opens the column's
// filter, and a drag carries the column to another place or to the grouping panel (the
// view decides where it lands). Resizing at a section's edge is Qt's own.
class GridHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit GridHeader(QWidget* parent = nullptr);
  ~GridHeader() override;

  std::function<GridSectionState(int logical)> StateOf;
  // Whether sections may be dragged at all.
  std::function<bool(int logical)> CanDrag;

  // The filter button's area of a section, in viewport coordinates.
  QRect FilterButtonRect(int logical) const;
  // Where a column dropped at x (viewport) would go: a visual index, count() for the end.
  int VisualInsertAt(int x) const;

 signals:
  void SortClicked(int logical, Qt::KeyboardModifiers modifiers);
  void FilterClicked(int logical);
  void SectionDropped(int logical, const QPoint& globalPos);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logical) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  QSize sizeHint() const override;

 private:
  bool OnResizeHandle(const QPoint& pos) const;
  void EndDrag();

  GridDragState drag_;
  std::unique_ptr<GridDragGhost> ghost_;
};

}  // namespace ui
