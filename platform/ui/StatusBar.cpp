#include "platform/ui/StatusBar.h"

#include <QLinearGradient>
#include <QPainter>

TStatusBar::TStatusBar(QWidget* parent)
    : QStatusBar(parent), schemeName_(QStringLiteral("Blue")), colors_(TRibbonColors::Blue()) {
  setFixedHeight(kHeight);
  setFocusPolicy(Qt::NoFocus);
}

void TStatusBar::SetColorSchemeName(const QString& name) {
  colors_ = TRibbonColors::ByName(name);  // raises before anything changes
  schemeName_ = name;
  update();
}

// Painted here rather than by the style, so the bar matches the ribbon. A message
// shown through showMessage() still appears.
void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient fill(0, 0, 0, height());
  fill.setColorAt(0, colors_.StatusTop);
  fill.setColorAt(1, colors_.StatusBottom);
  p.fillRect(rect(), fill);
  p.setPen(colors_.StatusBorder);
  p.drawLine(0, 0, width() - 1, 0);
  p.setPen(QColor(255, 255, 255, 150));
  p.drawLine(0, 1, width() - 1, 1);
  if (!currentMessage().isEmpty()) {
    p.setPen(colors_.StatusText);
    p.drawText(rect().adjusted(6, 1, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, currentMessage());
  }
}
