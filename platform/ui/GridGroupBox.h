#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/ui/GridDrag.h"

namespace ui {

// The grouping panel above the rows: a hint while nothing is grouped, else one button
// per grouped column, outermost first, each a step lower than the one before. Clicking
// a button reverses that group's order; dragging it elsewhere in the panel reorders the
// groups, and dragging it out ungroups the column (the view decides).
class GridGroupBox : public QWidget {
  Q_OBJECT

 public:
  struct Item {
    QString caption;
    int sortOrder = 1;  // 1 ascending, 2 descending
  };

  explicit GridGroupBox(QWidget* parent = nullptr);
  ~GridGroupBox() override;

  void SetItems(std::vector<Item> items);
  const std::vector<Item>& Items() const { return items_; }
  QString HintText() const;
  // The button of a level, in this widget's coordinates.
  QRect ItemRect(int level) const;
  // The level a column dropped at x would take.
  int LevelAt(int x) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  void ItemClicked(int level);
  void ItemDropped(int level, const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int ItemHeight() const;
  int ItemAt(const QPoint& pos) const;
  void UpdateAccessibleName();

  std::vector<Item> items_;
  GridDragState drag_;
  std::unique_ptr<GridDragGhost> ghost_;
};

}  // namespace ui
