#include "platform/ui/Ribbon.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/EventGuard.h"

// ---------------------------------------------------------------------------------
// Colour schemes

TRibbonColors TRibbonColors::Blue() {
  TRibbonColors c;
  c.TabAreaTop = QColor(0xD7, 0xE6, 0xF9);
  c.TabAreaBottom = QColor(0xC2, 0xD8, 0xF4);
  c.TabText = QColor(0x15, 0x42, 0x8B);
  c.TabHotTop = QColor(0xF4, 0xF8, 0xFE);
  c.TabHotBottom = QColor(0xDC, 0xE9, 0xF9);
  c.TabSelectedTop = QColor(0xFF, 0xFF, 0xFF);
  c.PanelTop = QColor(0xF1, 0xF6, 0xFD);
  c.PanelBottom = QColor(0xCF, 0xDF, 0xF3);
  c.PanelBorder = QColor(0x8D, 0xB2, 0xE3);
  c.GroupTop = QColor(0xFA, 0xFC, 0xFF);
  c.GroupBottom = QColor(0xE2, 0xEC, 0xF9);
  c.GroupBorder = QColor(0xA9, 0xC4, 0xE8);
  c.GroupInnerLine = QColor(255, 255, 255, 190);
  c.GroupCaptionTop = QColor(0xD3, 0xE3, 0xF7);
  c.GroupCaptionBottom = QColor(0xC1, 0xD6, 0xF1);
  c.GroupCaptionText = QColor(0x3E, 0x6A, 0xAA);
  c.ItemText = QColor(0x16, 0x2E, 0x52);
  c.ItemDisabledText = QColor(0x8D, 0x9B, 0xAE);
  c.HotTop = QColor(0xFF, 0xF9, 0xE0);
  c.HotBottom = QColor(0xFF, 0xDF, 0x84);
  c.HotBorder = QColor(0xE1, 0xC3, 0x6E);
  c.PressedTop = QColor(0xFF, 0xD4, 0x8A);
  c.PressedBottom = QColor(0xFB, 0xA4, 0x40);
  c.PressedBorder = QColor(0xC2, 0x8A, 0x36);
  c.AppButtonTop = QColor(0x4A, 0x8B, 0xDA);
  c.AppButtonBottom = QColor(0x1F, 0x5C, 0xA8);
  c.AppButtonBorder = QColor(0x18, 0x4C, 0x8C);
  c.StatusTop = QColor(0xE4, 0xEE, 0xFA);
  c.StatusBottom = QColor(0xC9, 0xDB, 0xF2);
  c.StatusBorder = QColor(0x8D, 0xB2, 0xE3);
  c.StatusText = QColor(0x15, 0x42, 0x8B);
  return c;
}

TRibbonColors TRibbonColors::ByName(const QString& schemeName) {
  if (schemeName == QLatin1String("Blue")) return Blue();
  throw EComponentError(QStringLiteral("Esquema de cores desconhecido: \"%1\"").arg(schemeName));
}

// ---------------------------------------------------------------------------------
// Shared helpers

namespace {

constexpr qreal kCornerRadius = 3.0;

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  return g;
}

// Inner widgets paint in the colours of the ribbon they sit in; loose ones in Blue.
const TRibbonColors& ColorsFor(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
    if (const auto* ribbon = qobject_cast<const TRibbon*>(w)) return ribbon->Colors();
  static const TRibbonColors blue = TRibbonColors::Blue();
  return blue;
}

void NameControl(QWidget* control, const QString& name) {
  control->setObjectName(name);
  control->setAccessibleDescription(name);
}

// A handler may destroy its own button, so it runs from a copy.
void RunClick(const std::function<void()>& handler) {
  if (!handler) return;
  std::function<void()> copy = handler;
  ui::RunHandler(copy);
}

// A rounded highlight in two colours, as hot and pressed items show it.
void PaintHighlight(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom,
                    const QColor& border) {
  QPainterPath path;
  path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
  p.fillPath(path, Vertical(r, top, bottom));
  p.setPen(border);
  p.drawPath(path);
  p.setPen(QColor(255, 255, 255, 120));
  p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 1.5, 1.5);
}

// Left, top and right sides of a tab header; the bottom stays open into the panel.
QPainterPath TabOutline(const QRectF& r) {
  QPainterPath path;
  path.moveTo(r.left(), r.bottom());
  path.lineTo(r.left(), r.top() + kCornerRadius);
  path.quadTo(r.left(), r.top(), r.left() + kCornerRadius, r.top());
  path.lineTo(r.right() - kCornerRadius, r.top());
  path.quadTo(r.right(), r.top(), r.right(), r.top() + kCornerRadius);
  path.lineTo(r.right(), r.bottom());
  return path;
}

// The tab headers. A QTabBar keeps keyboard-free selection and accessibility; only
// the painting is the ribbon's own.
class TRibbonTabBar final : public QTabBar {
 public:
  explicit TRibbonTabBar(QWidget* parent) : QTabBar(parent) {
    NameControl(this, QStringLiteral("RibbonTabBar"));
    setAccessibleName(QStringLiteral("Abas"));
    setFocusPolicy(Qt::NoFocus);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setMouseTracking(true);
    // The bar's own (unused) scroll arrows would otherwise stay in the Tab chain.
    for (QWidget* arrow : findChildren<QWidget*>()) arrow->setFocusPolicy(Qt::NoFocus);
  }

 protected:
  QSize tabSizeHint(int index) const override {
    return QSize(fontMetrics().horizontalAdvance(tabText(index)) + 2 * kTextPadding,
                 TRibbon::kTabRowHeight + 1);
  }
  QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

  void mouseMoveEvent(QMouseEvent* event) override {
    SetHot(tabAt(event->position().toPoint()));
    QTabBar::mouseMoveEvent(event);
  }
  void leaveEvent(QEvent* event) override {
    SetHot(-1);
    QTabBar::leaveEvent(event);
  }

  void paintEvent(QPaintEvent*) override {
    const TRibbonColors& c = ColorsFor(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count(); ++i) {
      const QRectF r = QRectF(tabRect(i)).adjusted(1.5, 2.5, -1.5, 0.5);
      const bool selected = i == currentIndex();
      if (selected || i == hot_) {
        QPainterPath body = TabOutline(r);
        body.closeSubpath();
        if (selected) {
          p.fillPath(body, Vertical(r, c.TabSelectedTop, c.PanelTop));
          p.setPen(c.PanelBorder);
        } else {
          p.fillPath(body, Vertical(r, c.TabHotTop, c.TabHotBottom));
          QColor border = c.PanelBorder;
          border.setAlpha(150);
          p.setPen(border);
        }
        p.drawPath(TabOutline(r));
      }
      p.setPen(c.TabText);
      p.drawText(r.adjusted(0, 0, 0, -1), Qt::AlignCenter, tabText(i));
    }
  }

 private:
  static constexpr int kTextPadding = 13;

  void SetHot(int index) {
    if (index == hot_) return;
    hot_ = index;
    update();
  }

  int hot_ = -1;
};

// The button at the top-left that opens the application menu.
class TRibbonApplicationButton final : public QAbstractButton {
 public:
  explicit TRibbonApplicationButton(QWidget* parent) : QAbstractButton(parent) {
    NameControl(this, QStringLiteral("RibbonApplicationButton"));
    // No visible text: screen readers need a name.
    setAccessibleName(QStringLiteral("Menu do aplicativo"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setIconSize(QSize(16, 16));
  }

  QSize sizeHint() const override { return QSize(44, 21); }

 protected:
  void paintEvent(QPaintEvent*) override {
    const TRibbonColors& c = ColorsFor(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor top = c.AppButtonTop;
    QColor bottom = c.AppButtonBottom;
    if (isDown()) {
      top = top.darker(112);
      bottom = bottom.darker(112);
    } else if (underMouse()) {
      top = top.lighter(112);
      bottom = bottom.lighter(112);
    }
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(r, kCornerRadius, kCornerRadius);
    p.fillPath(path, Vertical(r, top, bottom));
    p.setPen(c.AppButtonBorder);
    p.drawPath(path);
    p.setPen(QColor(255, 255, 255, 70));
    p.drawLine(QPointF(r.left() + 3, r.top() + 1), QPointF(r.right() - 3, r.top() + 1));

    if (!icon().isNull()) {
      const QPixmap picture = icon().pixmap(iconSize(), devicePixelRatioF());
      const QSize size = iconSize();
      p.drawPixmap(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), picture);
      return;
    }
    // Without a picture: the three strokes of a menu.
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    const qreal cx = width() / 2.0;
    const qreal cy = height() / 2.0;
    for (int k = -1; k <= 1; ++k) p.drawLine(QPointF(cx - 7, cy + 4 * k), QPointF(cx + 7, cy + 4 * k));
  }
};

}  // namespace

// ---------------------------------------------------------------------------------
// Bar items

TBarButton::TBarButton(QObject* parent) : QAction(parent) {
  connect(this, &QAction::triggered, this, [this] { RunClick(OnClick); });
}

void TBarButton::SetCaption(const QString& caption) {
  setText(caption);
  if (!ownHint_) setToolTip(caption);
}

void TBarButton::SetHint(const QString& hint) {
  ownHint_ = true;
  setToolTip(hint);
  setStatusTip(hint);
}

TBarLargeButton::TBarLargeButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
  setIconSize(QSize(kPictureSize, kPictureSize));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(this, &QAbstractButton::clicked, this, [this] { RunClick(OnClick); });
}

void TBarLargeButton::SetCaption(const QString& caption) {
  setText(caption);
  if (!ownHint_) setToolTip(caption);
  updateGeometry();
  update();
}

void TBarLargeButton::SetHint(const QString& hint) {
  ownHint_ = true;
  setToolTip(hint);
}

void TBarLargeButton::SetPicture(const QIcon& picture) {
  setIcon(picture);
  update();
}

QStringList TBarLargeButton::CaptionLines() const {
  // Wider than one and a half pictures, a caption of several words takes two lines,
  // split where the longer line is shortest.
  constexpr int kOneLineLimit = kPictureSize * 3 / 2;
  const QFontMetrics fm(font());
  const QString caption = text();
  const QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.size() < 2 || fm.horizontalAdvance(caption) <= kOneLineLimit) return {caption};
  QStringList best;
  int bestWidth = std::numeric_limits<int>::max();
  for (qsizetype i = 1; i < words.size(); ++i) {
    const QString first = words.mid(0, i).join(QLatin1Char(' '));
    const QString second = words.mid(i).join(QLatin1Char(' '));
    const int width = std::max(fm.horizontalAdvance(first), fm.horizontalAdvance(second));
    if (width < bestWidth) {
      bestWidth = width;
      best = {first, second};
    }
  }
  return best;
}

namespace {
constexpr int kButtonPadding = 3;
}

QSize TBarLargeButton::sizeHint() const {
  const QFontMetrics fm(font());
  int textWidth = 0;
  for (const QString& line : CaptionLines()) textWidth = std::max(textWidth, fm.horizontalAdvance(line));
  // Room for two lines always, so that buttons of one bar line up.
  const int height = kButtonPadding + kPictureSize + kButtonPadding + 2 * fm.height() + kButtonPadding;
  return QSize(std::max(kPictureSize + 12, textWidth + 12), height);
}

void TBarLargeButton::paintEvent(QPaintEvent*) {
  const TRibbonColors& c = ColorsFor(this);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (isEnabled() && (isDown() || isChecked()))
    PaintHighlight(p, rect(), c.PressedTop, c.PressedBottom, c.PressedBorder);
  else if (isEnabled() && underMouse())
    PaintHighlight(p, rect(), c.HotTop, c.HotBottom, c.HotBorder);

  if (!icon().isNull()) {
    const QPixmap picture =
        icon().pixmap(iconSize(), devicePixelRatioF(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    p.drawPixmap(QPoint((width() - kPictureSize) / 2, kButtonPadding), picture);
  }

  const QFontMetrics fm(font());
  p.setPen(isEnabled() ? c.ItemText : c.ItemDisabledText);
  int y = kButtonPadding + kPictureSize + kButtonPadding;
  for (const QString& line : CaptionLines()) {
    p.drawText(QRect(0, y, width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop, line);
    y += fm.height();
  }
}

// ---------------------------------------------------------------------------------
// Toolbars and their manager

TBar::TBar(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
}

void TBar::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  setAccessibleName(caption);
  emit CaptionChanged(caption);
}

TBarLargeButton* TBar::AddLargeButton(const QString& name, const QString& caption, const QIcon& picture) {
  auto* button = new TBarLargeButton(this);
  NameControl(button, name);
  button->SetCaption(caption);
  button->SetPicture(picture);
  layout()->addWidget(button);
  buttons_.append(button);
  return button;
}

TBarManager::TBarManager(QObject* parent) : QObject(parent) {}

TBarManager::~TBarManager() {
  for (const QPointer<TBar>& bar : bars_)
    if (bar && bar->parentWidget() == nullptr) delete bar.data();
}

TBar* TBarManager::AddBar(const QString& name, const QString& caption) {
  if (Bar(name) != nullptr)
    throw EComponentError(QStringLiteral("A component named %1 already exists").arg(name));
  auto* bar = new TBar;
  NameControl(bar, name);
  bar->SetCaption(caption);
  bar->setFont(ItemFont());
  bars_.emplace_back(bar);
  return bar;
}

TBar* TBarManager::Bar(const QString& name) const {
  for (const QPointer<TBar>& bar : bars_)
    if (bar && bar->objectName() == name) return bar;
  return nullptr;
}

QList<TBar*> TBarManager::Bars() const {
  QList<TBar*> bars;
  for (const QPointer<TBar>& bar : bars_)
    if (bar) bars.append(bar);
  return bars;
}

QFont TBarManager::ItemFont() {
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

// ---------------------------------------------------------------------------------
// Groups and tabs

TRibbonGroup::TRibbonGroup(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(3, 3, 3, kCaptionHeight + 2);
  layout->setSpacing(0);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void TRibbonGroup::SetToolBar(TBar* bar) {
  if (bar_) {
    disconnect(bar_, nullptr, this, nullptr);
    // A group shows one toolbar: the one replaced steps out of sight, still owned here.
    if (bar_ != bar) {
      layout()->removeWidget(bar_);
      bar_->hide();
    }
  }
  bar_ = bar;
  if (bar) {
    layout()->addWidget(bar);
    static_cast<QVBoxLayout*>(layout())->setAlignment(bar, Qt::AlignLeft | Qt::AlignTop);
    bar->show();
    connect(bar, &TBar::CaptionChanged, this, [this] {
      setAccessibleName(Caption());
      updateGeometry();
      update();
    });
  }
  setAccessibleName(Caption());
  updateGeometry();
  update();
}

QString TRibbonGroup::Caption() const {
  if (!caption_.isEmpty()) return caption_;
  return bar_ ? bar_->Caption() : QString();
}

void TRibbonGroup::SetCaption(const QString& caption) {
  caption_ = caption;
  setAccessibleName(Caption());
  updateGeometry();
  update();
}

QSize TRibbonGroup::sizeHint() const {
  const QSize content = QWidget::sizeHint();
  const int captionWidth = fontMetrics().horizontalAdvance(Caption()) + 16;
  return QSize(std::max({content.width(), captionWidth, 48}), content.height());
}

void TRibbonGroup::paintEvent(QPaintEvent*) {
  const TRibbonColors& c = ColorsFor(this);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath outline;
  outline.addRoundedRect(r, kCornerRadius, kCornerRadius);
  p.fillPath(outline, Vertical(r, c.GroupTop, c.GroupBottom));

  const QRectF caption(r.left(), r.bottom() - kCaptionHeight, r.width(), kCaptionHeight);
  p.save();
  p.setClipPath(outline);
  p.fillRect(caption, Vertical(caption, c.GroupCaptionTop, c.GroupCaptionBottom));
  p.restore();

  p.setPen(c.GroupInnerLine);
  p.drawRoundedRect(r.adjusted(1, 1, -1, -1), kCornerRadius - 1, kCornerRadius - 1);
  p.setPen(c.GroupBorder);
  p.drawPath(outline);

  p.setPen(c.GroupCaptionText);
  const QRectF textRect = caption.adjusted(4, 0, -4, 0);
  p.drawText(textRect, Qt::AlignCenter,
             fontMetrics().elidedText(Caption(), Qt::ElideRight, static_cast<int>(textRect.width())));
}

TRibbonTab::TRibbonTab(TRibbon* ribbon) : ribbon_(ribbon) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  layout->addStretch(1);
}

void TRibbonTab::SetCaption(const QString& caption) {
  caption_ = caption;
  setAccessibleName(caption);
  ribbon_->TabCaptionChanged(this);
}

TRibbonGroup* TRibbonTab::AddGroup(const QString& name) {
  auto* group = new TRibbonGroup(this);
  if (!name.isEmpty()) NameControl(group, name);
  auto* row = static_cast<QHBoxLayout*>(layout());
  row->insertWidget(row->count() - 1, group);  // before the closing stretch
  groups_.append(group);
  return group;
}

// ---------------------------------------------------------------------------------
// Application menu

TApplicationMenu::TApplicationMenu(QWidget* parent) : QMenu(parent) {
  setFont(TBarManager::ItemFont());
  setMinimumWidth(180);
  const TRibbonColors c = TRibbonColors::Blue();
  setStyleSheet(QStringLiteral("QMenu { background: #FBFCFE; border: 1px solid %1; padding: 3px; }"
                               "QMenu::item { color: %2; padding: 6px 32px 6px 30px; border: 1px solid "
                               "transparent; border-radius: 2px; }"
                               "QMenu::item:selected { border-color: %3; background: qlineargradient("
                               "x1:0, y1:0, x2:0, y2:1, stop:0 %4, stop:1 %5); }"
                               "QMenu::icon { padding-left: 6px; }")
                    .arg(c.PanelBorder.name(), c.ItemText.name(), c.HotBorder.name(), c.HotTop.name(),
                         c.HotBottom.name()));
}

TBarButton* TApplicationMenu::AddButton(const QString& name, const QString& caption, const QIcon& picture) {
  auto* button = new TBarButton(this);
  button->setObjectName(name);
  button->SetCaption(caption);
  if (!picture.isNull()) button->setIcon(picture);
  addAction(button);
  return button;
}

// ---------------------------------------------------------------------------------
// The ribbon

namespace {
constexpr int kAppButtonLeft = 3;
constexpr int kTabsGap = 6;
}  // namespace

TRibbon::TRibbon(QWidget* parent)
    : QWidget(parent),
      appButton_(new TRibbonApplicationButton(this)),
      tabBar_(new TRibbonTabBar(this)),
      pages_(new QStackedWidget(this)),
      schemeName_(QStringLiteral("Blue")),
      colors_(TRibbonColors::Blue()) {
  setFocusPolicy(Qt::NoFocus);
  setFont(TBarManager::ItemFont());
  setFixedHeight(kHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  pages_->setObjectName(QStringLiteral("RibbonPages"));
  pages_->setFocusPolicy(Qt::NoFocus);

  connect(appButton_, &QAbstractButton::clicked, this, [this] { ShowApplicationMenu(); });
  connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
    if (index < 0 || index >= TabCount()) return;
    pages_->setCurrentIndex(index);
    emit ActiveTabChanged(Tab(index));
  });
  LayoutParts();
}

TRibbonTab* TRibbon::AddTab(const QString& name, const QString& caption) {
  auto* tab = new TRibbonTab(this);
  NameControl(tab, name);
  tab->caption_ = caption;
  tab->setAccessibleName(caption);
  tabs_.push_back(tab);
  pages_->addWidget(tab);
  tabBar_->addTab(caption);
  return tab;
}

TRibbonTab* TRibbon::ActiveTab() const {
  const int index = tabBar_->currentIndex();
  return index >= 0 && index < TabCount() ? Tab(index) : nullptr;
}

void TRibbon::SetActiveTab(TRibbonTab* tab) {
  const auto found = std::find(tabs_.begin(), tabs_.end(), tab);
  if (found == tabs_.end())
    throw EComponentError(QStringLiteral("A aba não pertence a esta faixa de opções"));
  tabBar_->setCurrentIndex(static_cast<int>(found - tabs_.begin()));
}

void TRibbon::TabCaptionChanged(TRibbonTab* tab) {
  const auto found = std::find(tabs_.begin(), tabs_.end(), tab);
  if (found != tabs_.end()) tabBar_->setTabText(static_cast<int>(found - tabs_.begin()), tab->Caption());
}

void TRibbon::SetApplicationMenu(TApplicationMenu* menu) {
  menu_ = menu;
}

void TRibbon::SetApplicationButtonPicture(const QIcon& picture) {
  appButton_->setIcon(picture);
  appButton_->update();
}

void TRibbon::ShowApplicationMenu() {
  if (menu_) menu_->popup(appButton_->mapToGlobal(QPoint(0, appButton_->height())));
}

void TRibbon::SetColorSchemeName(const QString& name) {
  colors_ = TRibbonColors::ByName(name);  // raises before anything changes
  schemeName_ = name;
  update();
  for (QWidget* child : findChildren<QWidget*>()) child->update();
}

QSize TRibbon::sizeHint() const {
  return QSize(480, kHeight);
}

void TRibbon::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutParts();
}

namespace {
QRect PanelRect(const QWidget* ribbon) {
  return QRect(1, TRibbon::kTabRowHeight, ribbon->width() - 2, ribbon->height() - TRibbon::kTabRowHeight - 2);
}
}  // namespace

void TRibbon::LayoutParts() {
  const QSize button = appButton_->sizeHint();
  appButton_->setGeometry(kAppButtonLeft, (kTabRowHeight - button.height()) / 2 + 1, button.width(),
                          button.height());
  const int tabsLeft = kAppButtonLeft + button.width() + kTabsGap;
  // One pixel into the panel, so the selected header covers the panel's top border.
  tabBar_->setGeometry(tabsLeft, 0, std::max(0, width() - tabsLeft - 2), kTabRowHeight + 1);
  pages_->setGeometry(PanelRect(this).adjusted(3, 3, -3, -3));
}

void TRibbon::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Vertical(rect(), colors_.TabAreaTop, colors_.TabAreaBottom));

  const QRectF panel = QRectF(PanelRect(this)).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath outline;
  outline.addRoundedRect(panel, kCornerRadius, kCornerRadius);
  QLinearGradient fill(panel.topLeft(), panel.bottomLeft());
  fill.setColorAt(0, colors_.PanelTop);
  fill.setColorAt(0.75, colors_.PanelBottom.lighter(104));
  fill.setColorAt(1, colors_.PanelBottom);
  p.fillPath(outline, fill);
  p.setPen(colors_.PanelBorder);
  p.drawPath(outline);
}
