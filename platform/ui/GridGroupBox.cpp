#include "platform/ui/GridGroupBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include "platform/ui/Localizer.h"

namespace ui {

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 12;
constexpr int kArrowWidth = 12;

}  // namespace

GridGroupBox::GridGroupBox(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Mid).lighter(130));
  setPalette(pal);
  connect(Localizer::Notifier::Instance(), &Localizer::Notifier::Changed, this, [this] {
    UpdateAccessibleName();
    update();
  });
  UpdateAccessibleName();
}

GridGroupBox::~GridGroupBox() = default;

QString GridGroupBox::HintText() const {
  return Localizer::Text(loc::GridGroupByBoxHint,
                         QStringLiteral("Drag a column header here to group by that column"));
}

void GridGroupBox::UpdateAccessibleName() {
  if (items_.empty()) {
    setAccessibleName(HintText());
    return;
  }
  QStringList captions;
  for (const Item& item : items_) captions << item.caption;
  setAccessibleName(captions.join(QStringLiteral(" > ")));
}

void GridGroupBox::SetItems(std::vector<Item> items) {
  items_ = std::move(items);
  UpdateAccessibleName();
  updateGeometry();
  update();
}

int GridGroupBox::ItemHeight() const {
  return fontMetrics().height() + 8;
}

QSize GridGroupBox::sizeHint() const {
  const int levels = std::max<int>(1, static_cast<int>(items_.size()));
  return QSize(200, 2 * kMargin + ItemHeight() + (levels - 1) * ItemHeight() / 2);
}

QRect GridGroupBox::ItemRect(int level) const {
  int x = kMargin;
  for (int i = 0; i < level; ++i)
    x += fontMetrics().horizontalAdvance(items_[static_cast<size_t>(i)].caption) + 16 + kArrowWidth + kGap;
  const int width =
      fontMetrics().horizontalAdvance(items_[static_cast<size_t>(level)].caption) + 16 + kArrowWidth;
  return QRect(x, kMargin + level * ItemHeight() / 2, width, ItemHeight());
}

int GridGroupBox::LevelAt(int x) const {
  int level = 0;
  for (int i = 0; i < static_cast<int>(items_.size()); ++i)
    if (x > ItemRect(i).center().x()) level = i + 1;
  return level;
}

int GridGroupBox::ItemAt(const QPoint& pos) const {
  for (int i = 0; i < static_cast<int>(items_.size()); ++i)
    if (ItemRect(i).contains(pos)) return i;
  return -1;
}

void GridGroupBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (items_.empty()) {
    painter.setPen(palette().color(QPalette::Dark).darker(150));
    painter.drawText(rect().adjusted(kMargin, 0, -kMargin, 0), Qt::AlignLeft | Qt::AlignVCenter, HintText());
    return;
  }
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    const QRect r = ItemRect(i);
    if (i > 0) {
      // A bent line from the outer group's button to this one.
      const QRect prev = ItemRect(i - 1);
      painter.setPen(palette().color(QPalette::Dark));
      painter.drawLine(prev.right() - kGap, prev.bottom(), prev.right() - kGap, r.center().y());
      painter.drawLine(prev.right() - kGap, r.center().y(), r.left(), r.center().y());
    }
    QStyleOptionHeader opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.text = items_[static_cast<size_t>(i)].caption;
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.state |= QStyle::State_Raised;
    style()->drawControl(QStyle::CE_HeaderSection, &opt, &painter, this);
    QStyleOptionHeader label = opt;
    label.rect = r.adjusted(6, 0, -kArrowWidth, 0);
    label.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    style()->drawControl(QStyle::CE_HeaderLabel, &label, &painter, this);
    QStyleOptionHeader arrow = opt;
    arrow.rect = QRect(r.right() - kArrowWidth, r.top() + (r.height() - 6) / 2, kArrowWidth - 4, 6);
    arrow.sortIndicator = items_[static_cast<size_t>(i)].sortOrder == 2 ? QStyleOptionHeader::SortUp
                                                                        : QStyleOptionHeader::SortDown;
    style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &arrow, &painter, this);
  }
}

void GridGroupBox::mousePressEvent(QMouseEvent* event) {
  drag_.Reset();
  if (event->button() != Qt::LeftButton) return;
  drag_.item = ItemAt(event->position().toPoint());
  drag_.pressPos = event->position().toPoint();
}

void GridGroupBox::mouseMoveEvent(QMouseEvent* event) {
  if (drag_.item < 0) return;
  if (!drag_.dragging && drag_.BeginsDrag(event->position().toPoint())) {
    drag_.dragging = true;
    ghost_ = std::make_unique<GridDragGhost>(items_[static_cast<size_t>(drag_.item)].caption);
  }
  if (drag_.dragging) ghost_->MoveTo(event->globalPosition().toPoint());
}

void GridGroupBox::mouseReleaseEvent(QMouseEvent* event) {
  const GridDragState drag = drag_;
  drag_.Reset();
  ghost_.reset();
  if (drag.item < 0 || event->button() != Qt::LeftButton) return;
  if (drag.dragging)
    emit ItemDropped(drag.item, event->globalPosition().toPoint());
  else if (ItemAt(event->position().toPoint()) == drag.item)
    emit ItemClicked(drag.item);
}

void GridGroupBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) updateGeometry();
  QWidget::changeEvent(event);
}

}  // namespace ui
