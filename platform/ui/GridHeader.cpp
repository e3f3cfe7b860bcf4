#include "platform/ui/GridHeader.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace ui {

namespace {

constexpr int kFilterButtonWidth = 13;
constexpr int kSortArrowWidth = 9;

}  // namespace

GridHeader::GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(true);
  setSectionsMovable(false);  // moving is done by our own drag
  setHighlightSections(false);
  setSortIndicatorShown(false);
  setStretchLastSection(false);
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setMinimumSectionSize(20);
}

GridHeader::~GridHeader() = default;

QSize GridHeader::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  size.setHeight(std::max(size.height(), fontMetrics().height() + 8));
  return size;
}

QRect GridHeader::FilterButtonRect(int logical) const {
  const GridSectionState state = StateOf ? StateOf(logical) : GridSectionState();
  if (!state.filterButton) return {};
  const int x = sectionViewportPosition(logical) + sectionSize(logical) - kFilterButtonWidth - 2;
  return QRect(x, 2, kFilterButtonWidth, height() - 4);
}

int GridHeader::VisualInsertAt(int x) const {
  const int logical = logicalIndexAt(x);
  if (logical < 0) return x < 0 ? 0 : count();
  const int visual = visualIndex(logical);
  return x > sectionViewportPosition(logical) + sectionSize(logical) / 2 ? visual + 1 : visual;
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logical) const {
  if (!rect.isValid()) return;
  const GridSectionState state = StateOf ? StateOf(logical) : GridSectionState();
  QStyleOptionHeader opt;
  initStyleOptionForIndex(&opt, logical);
  opt.rect = rect;
  opt.sortIndicator = QStyleOptionHeader::None;
  painter->save();
  style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);

  // The caption keeps clear of the sort arrow and the filter button.
  QRect label = rect.adjusted(3, 0, -3, 0);
  if (state.filterButton) label.setRight(label.right() - kFilterButtonWidth);
  if (state.sortOrder != 0) label.setRight(label.right() - kSortArrowWidth);
  QStyleOptionHeader text = opt;
  text.rect = label;
  text.text = fontMetrics().elidedText(opt.text, Qt::ElideRight, label.width());
  style()->drawControl(QStyle::CE_HeaderLabel, &text, painter, this);

  if (state.sortOrder != 0) {
    QStyleOptionHeader arrow = opt;
    arrow.rect = QRect(label.right() + 2, rect.top() + (rect.height() - 6) / 2, kSortArrowWidth - 2, 6);
    // Qt's styles draw "SortDown" as an arrow pointing up, as sorted lists usually show.
    arrow.sortIndicator = state.sortOrder == 1 ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
    style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &arrow, painter, this);
  }
  if (state.filterButton) {
    const QRect button(rect.right() - kFilterButtonWidth - 1, rect.top() + 3, kFilterButtonWidth,
                       rect.height() - 6);
    if (state.filtered) painter->fillRect(button.adjusted(1, 1, -1, -1), palette().highlight());
    QStyleOption glyph;
    glyph.initFrom(this);
    glyph.rect = button.adjusted(2, 2, -2, -2);
    if (state.filtered) glyph.palette.setColor(QPalette::ButtonText, palette().highlightedText().color());
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &glyph, painter, this);
  }
  painter->restore();
}

bool GridHeader::OnResizeHandle(const QPoint& pos) const {
  const int logical = logicalIndexAt(pos.x());
  if (logical < 0) return false;
  const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
  const int left = sectionViewportPosition(logical);
  const int right = left + sectionSize(logical);
  return pos.x() >= right - margin || (pos.x() < left + margin && visualIndex(logical) > 0);
}

void GridHeader::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() != Qt::LeftButton || OnResizeHandle(pos) || logicalIndexAt(pos.x()) < 0) {
    QHeaderView::mousePressEvent(event);
    return;
  }
  drag_.Reset();
  drag_.item = logicalIndexAt(pos.x());
  drag_.pressPos = pos;
  event->accept();
}

void GridHeader::mouseMoveEvent(QMouseEvent* event) {
  if (drag_.item < 0) {
    QHeaderView::mouseMoveEvent(event);
    return;
  }
  const QPoint pos = event->position().toPoint();
  if (!drag_.dragging && drag_.BeginsDrag(pos) && (!CanDrag || CanDrag(drag_.item))) {
    drag_.dragging = true;
    ghost_ = std::make_unique<GridDragGhost>(model()->headerData(drag_.item, Qt::Horizontal).toString());
  }
  if (drag_.dragging) ghost_->MoveTo(event->globalPosition().toPoint());
  event->accept();
}

void GridHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_.item < 0) {
    QHeaderView::mouseReleaseEvent(event);
    return;
  }
  const GridDragState drag = drag_;
  EndDrag();
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  if (drag.dragging) {
    emit SectionDropped(drag.item, event->globalPosition().toPoint());
  } else if (FilterButtonRect(drag.item).contains(drag.pressPos)) {
    emit FilterClicked(drag.item);
  } else if (logicalIndexAt(event->position().toPoint().x()) == drag.item) {
    emit SortClicked(drag.item, event->modifiers());
  }
}

void GridHeader::EndDrag() {
  drag_.Reset();
  ghost_.reset();
}

}  // namespace ui
