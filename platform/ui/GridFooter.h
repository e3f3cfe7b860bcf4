#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace ui {

// The footer row under the grid's rows: each footer summary under its column.
class GridFooter : public QWidget {
  Q_OBJECT

 public:
  struct Cell {
    int left = 0;
    int width = 0;
    QString text;
  };

  explicit GridFooter(QWidget* parent = nullptr);

  // The texts and where they go, in this widget's coordinates.
  std::function<std::vector<Cell>()> Cells;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui
