#pragma once

#include <QTreeView>

namespace ui {

class GridModel;

// The rows of the grid: data rows and group rows, read-only. A group row is drawn as
// one band across every column ("Cliente : Ana Souza (3)"), after its expand button.
// Shows the "no data" text when there are no rows.
class GridTreeView : public QTreeView {
  Q_OBJECT

 public:
  explicit GridTreeView(QWidget* parent = nullptr);

  void SetGridModel(GridModel* model);
  // Height of one row, the same for every row (uniform heights keep 100,000 rows cheap).
  int RowHeight() const;
  // Rows that fit the viewport, for page moves.
  int RowsPerPage() const;
  // The last row shown (End key).
  QModelIndex LastIndex() { return moveCursor(MoveEnd, Qt::NoModifier); }

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  GridModel* gridModel_ = nullptr;
};

}  // namespace ui
