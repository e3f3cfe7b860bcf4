#include "platform/ui/GridTreeView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include "platform/ui/GridModel.h"
#include "platform/ui/Localizer.h"

namespace ui {

GridTreeView::GridTreeView(QWidget* parent) : QTreeView(parent) {
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setItemsExpandable(true);
  setExpandsOnDoubleClick(true);
  setAllColumnsShowFocus(true);
  setRootIsDecorated(false);
  setIndentation(16);
  setSortingEnabled(false);
  setDragEnabled(false);
  setAcceptDrops(false);
}

void GridTreeView::SetGridModel(GridModel* model) {
  gridModel_ = model;
  setModel(model);
}

int GridTreeView::RowHeight() const {
  return std::max(fontMetrics().height() + 4, 18);
}

int GridTreeView::RowsPerPage() const {
  return std::max(1, viewport()->height() / RowHeight());
}

void GridTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  if (gridModel_ == nullptr || !gridModel_->IsGroup(index)) {
    QTreeView::drawRow(painter, option, index);
    return;
  }
  // One band from the expand button to the right edge of the last column.
  int level = 0;
  for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) ++level;
  const int first = header()->logicalIndex(0);
  const int x0 = header()->sectionViewportPosition(first);
  const int indent = level * indentation();
  const int right = std::max(header()->length() - header()->offset(), x0 + indent + indentation());
  const QRect band(x0 + indent, option.rect.top(), right - x0 - indent, option.rect.height());
  const bool current =
      index.row() == currentIndex().row() && index.internalId() == currentIndex().internalId();
  painter->fillRect(band, current ? palette().highlight() : palette().alternateBase());
  painter->setPen(palette().color(QPalette::Mid));
  painter->drawLine(band.bottomLeft(), band.bottomRight());
  drawBranches(painter, QRect(x0 + indent, option.rect.top(), indentation(), option.rect.height()), index);
  QFont bold = painter->font();
  bold.setBold(true);
  painter->setFont(bold);
  painter->setPen(current ? palette().color(QPalette::HighlightedText) : palette().color(QPalette::Text));
  painter->drawText(band.adjusted(indentation() + 2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    gridModel_->GroupRowText(gridModel_->NodeOf(index)));
  painter->setFont(font());
}

void GridTreeView::paintEvent(QPaintEvent* event) {
  QTreeView::paintEvent(event);
  if (model() != nullptr && model()->rowCount() == 0) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawText(viewport()->rect().adjusted(0, 8, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     Localizer::Text(loc::GridNoDataInfoText, QStringLiteral("<No data to display>")));
  }
}

void GridTreeView::keyPressEvent(QKeyEvent* event) {
  // Read-only: keys that would edit, insert or delete do nothing.
  switch (event->key()) {
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_F2:
      event->accept();
      return;
    default:
      QTreeView::keyPressEvent(event);
  }
}

}  // namespace ui
