#include "platform/ui/GridNavigator.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/ui/ControlPictures.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/Localizer.h"

namespace ui {

namespace {

struct ButtonInfo {
  const char* objectName;
  const char* picture;  // a control picture, or empty for a drawn one
  QString key;
  const char* fallback;
};

const ButtonInfo& Info(TGridNavigatorButton button) {
  static const ButtonInfo infos[kGridNavigatorButtonCount] = {
      {"nbFirst", "nav-first", loc::NavigatorFirst, "First record"},
      {"nbPriorPage", "", QStringLiteral("NavigatorPriorPage"), "Prior page"},
      {"nbPrior", "nav-prior", loc::NavigatorPrior, "Prior record"},
      {"nbNext", "nav-next", loc::NavigatorNext, "Next record"},
      {"nbNextPage", "", QStringLiteral("NavigatorNextPage"), "Next page"},
      {"nbLast", "nav-last", loc::NavigatorLast, "Last record"},
      {"nbInsert", "nav-insert", loc::NavigatorInsert, "Insert record"},
      {"nbDelete", "nav-delete", loc::NavigatorDelete, "Delete record"},
      {"nbEdit", "nav-edit", loc::NavigatorEdit, "Edit record"},
      {"nbPost", "nav-post", loc::NavigatorPost, "Post edit"},
      {"nbCancel", "nav-cancel", loc::NavigatorCancel, "Cancel edit"},
      {"nbRefresh", "nav-refresh", loc::NavigatorRefresh, "Refresh data"},
      {"nbSaveBookmark", "", QStringLiteral("NavigatorSaveBookmark"), "Save bookmark"},
      {"nbGotoBookmark", "", QStringLiteral("NavigatorGotoBookmark"), "Goto bookmark"},
  };
  return infos[button];
}

// The buttons the control pictures do not cover: double arrows and a bookmark.
QIcon DrawnPicture(TGridNavigatorButton button) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2B, 0x6C, 0xB0));
  auto triangle = [&p](qreal tip, qreal base) {
    QPainterPath path;
    path.moveTo(tip, 8);
    path.lineTo(base, 3);
    path.lineTo(base, 13);
    path.closeSubpath();
    p.drawPath(path);
  };
  switch (button) {
    case gnbPriorPage:
      triangle(2, 8);
      triangle(8, 14);
      break;
    case gnbNextPage:
      triangle(8, 2);
      triangle(14, 8);
      break;
    default: {
      QPainterPath mark;
      mark.moveTo(4, 2);
      mark.lineTo(12, 2);
      mark.lineTo(12, 14);
      mark.lineTo(8, 10);
      mark.lineTo(4, 14);
      mark.closeSubpath();
      p.setBrush(button == gnbSaveBookmark ? QColor(0xF2, 0xA5, 0x31) : QColor(0x2F, 0x9E, 0x5A));
      p.drawPath(mark);
    }
  }
  return QIcon(pixmap);
}

}  // namespace

GridNavigator::GridNavigator(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(QStringLiteral("Navegador de registros"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 2, 0, 2);
  layout->setSpacing(0);
  for (int i = 0; i < kGridNavigatorButtonCount; ++i) {
    const auto button = static_cast<TGridNavigatorButton>(i);
    auto* widget = new QToolButton(this);
    widget->setObjectName(ButtonName(button));
    widget->setAccessibleDescription(widget->objectName());
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAutoRaise(true);
    widget->setIconSize(QSize(16, 16));
    const char* picture = Info(button).picture;
    widget->setIcon(*picture != '\0' ? ControlPicture(QString::fromLatin1(picture)) : DrawnPicture(button));
    connect(widget, &QToolButton::clicked, this, Guarded([this, button] {
              try {
                if (Run) Run(button);
              } catch (...) {
                UpdateButtons();
                throw;
              }
              UpdateButtons();
            }));
    layout->addWidget(widget);
    buttons_[i] = widget;
    visible_[i] = true;
  }
  layout->addStretch();
  connect(Localizer::Notifier::Instance(), &Localizer::Notifier::Changed, this, [this] { UpdateHints(); });
  UpdateHints();
  UpdateButtons();
}

QString GridNavigator::ButtonName(TGridNavigatorButton button) {
  return QString::fromLatin1(Info(button).objectName);
}

QString GridNavigator::ButtonHint(TGridNavigatorButton button) {
  return Localizer::Text(Info(button).key, QString::fromLatin1(Info(button).fallback));
}

void GridNavigator::UpdateHints() {
  for (int i = 0; i < kGridNavigatorButtonCount; ++i) {
    const QString hint = ButtonHint(static_cast<TGridNavigatorButton>(i));
    buttons_[i]->setToolTip(hint);
    buttons_[i]->setAccessibleName(hint);
  }
}

void GridNavigator::SetButtonVisible(TGridNavigatorButton button, bool visible) {
  visible_[button] = visible;
  buttons_[button]->setVisible(visible);
}

void GridNavigator::UpdateButtons() {
  for (int i = 0; i < kGridNavigatorButtonCount; ++i)
    buttons_[i]->setEnabled(CanRun && CanRun(static_cast<TGridNavigatorButton>(i)));
}

}  // namespace ui
