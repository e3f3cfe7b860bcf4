#include "platform/ui/ControlPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace ui {
namespace {

PictureProvider& Provider() {
  static PictureProvider provider;
  return provider;
}

const QColor kInk(0x2B, 0x6C, 0xB0);
const QColor kGreen(0x2F, 0x9E, 0x5A);
const QColor kRed(0xD6, 0x45, 0x41);

QPolygonF LeftTriangle(double right) {
  return QPolygonF({{right, 3}, {right, 13}, {right - 6, 8}});
}
QPolygonF RightTriangle(double left) {
  return QPolygonF({{left, 3}, {left, 13}, {left + 6, 8}});
}

// Draws on a 16 × 16 canvas; the painter is scaled for larger pixmaps.
void DrawGlyph(QPainter& p, const QString& name) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  if (name == QLatin1String("nav-first")) {
    p.drawRect(QRectF(3, 3, 2, 10));
    p.drawPolygon(LeftTriangle(12));
  } else if (name == QLatin1String("nav-prior")) {
    p.drawPolygon(LeftTriangle(11));
  } else if (name == QLatin1String("nav-next")) {
    p.drawPolygon(RightTriangle(5));
  } else if (name == QLatin1String("nav-last")) {
    p.drawPolygon(RightTriangle(4));
    p.drawRect(QRectF(11, 3, 2, 10));
  } else if (name == QLatin1String("nav-insert")) {
    p.setBrush(kGreen);
    p.drawRect(QRectF(7, 3, 2, 10));
    p.drawRect(QRectF(3, 7, 10, 2));
  } else if (name == QLatin1String("nav-delete")) {
    p.setBrush(kRed);
    p.drawRect(QRectF(3, 7, 10, 2));
  } else if (name == QLatin1String("nav-edit")) {
    p.drawPolygon(QPolygonF({{3, 11}, {13, 11}, {8, 4}}));
  } else if (name == QLatin1String("nav-post")) {
    p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{3, 8}, {6.5, 11.5}, {13, 4}}));
  } else if (name == QLatin1String("nav-cancel")) {
    p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
  } else if (name == QLatin1String("nav-refresh")) {
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3.5, 10, 10), 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({{7.5, 0.5}, {11.5, 3.5}, {7.5, 6.5}}));
  } else if (name == QLatin1String("date-popup")) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 3.5, 11, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(2.5, 3.5, 11, 3));
    for (int row = 0; row < 2; ++row)
      for (int col = 0; col < 3; ++col) p.drawRect(QRectF(4 + col * 3, 8 + row * 2.5, 2, 1.5));
  } else {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 1));
    p.drawRect(QRectF(3.5, 3.5, 9, 9));
  }
}

QPixmap Render(const QString& name, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  DrawGlyph(painter, name);
  return pixmap;
}

}  // namespace

PictureProvider SetPictureProvider(PictureProvider provider) {
  PictureProvider previous = std::move(Provider());
  Provider() = std::move(provider);
  return previous;
}

QIcon FallbackPicture(const QString& name) {
  QIcon icon;
  icon.addPixmap(Render(name, 16));
  icon.addPixmap(Render(name, 32));
  return icon;
}

QIcon ControlPicture(const QString& name) {
  if (Provider()) {
    QIcon icon = Provider()(name);
    if (!icon.isNull()) return icon;
  }
  return FallbackPicture(name);
}

}  // namespace ui
