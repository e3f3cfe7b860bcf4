#include "resources/Pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <cerrno>

#include "platform/rtl/Exceptions.h"

// Q_INIT_RESOURCE declares a function of the global namespace, so it cannot be called
// from inside namespace pictures.
static void InitBundledResources() {
  Q_INIT_RESOURCE(resources);
}

namespace pictures {

namespace {

const QString kIconFolder = QStringLiteral(":/icons/");
const QString kSplashPath = QStringLiteral(":/splash.svg");

// A name is a bare file name; a folder in it would reach outside the icon set.
bool ValidName(const QString& name) {
  return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString PathOf(const QString& name) {
  return kIconFolder + name + QStringLiteral(".svg");
}

[[noreturn]] void RaiseUnknown(const QString& name) {
  throw EInOutError(QStringLiteral("Figura não encontrada: \"%1\"").arg(name), ENOENT);
}

// Fails loudly rather than handing out an empty picture that would go unnoticed.
void LoadOrRaise(QSvgRenderer& renderer, const QString& path, const QString& name) {
  if (!ValidName(name) || !QFile::exists(path)) RaiseUnknown(name);
  if (!renderer.load(path) || !renderer.isValid())
    throw EInOutError(QStringLiteral("Figura inválida: \"%1\"").arg(name), EINVAL);
}

QPixmap Render(QSvgRenderer& renderer, const QSize& logicalSize, qreal ratio) {
  QPixmap pixmap(logicalSize * ratio);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

QPixmap RenderFile(const QString& path, const QString& name, const QSize& size) {
  Init();
  QSvgRenderer renderer;
  LoadOrRaise(renderer, path, name);
  const QSize logical = size.isEmpty() ? renderer.defaultSize() : size;
  return Render(renderer, logical, qApp ? qApp->devicePixelRatio() : 1.0);
}

}  // namespace

void Init() {
  static const bool done = [] {
    InitBundledResources();
    return true;
  }();
  (void)done;
}

QStringList Names() {
  Init();
  QStringList names;
  for (const QString& file : QDir(kIconFolder).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name))
    names << file.chopped(4);
  return names;
}

bool Exists(const QString& name) {
  Init();
  return ValidName(name) && QFile::exists(PathOf(name));
}

QSize NativeSize(const QString& name) {
  Init();
  QSvgRenderer renderer;
  LoadOrRaise(renderer, PathOf(name), name);
  return renderer.defaultSize();
}

QIcon Icon(const QString& name) {
  Init();
  QSvgRenderer renderer;
  LoadOrRaise(renderer, PathOf(name), name);
  const QSize size = renderer.defaultSize();
  QIcon icon;
  icon.addPixmap(Render(renderer, size, 1.0));
  icon.addPixmap(Render(renderer, size, 2.0));
  return icon;
}

QPixmap Pixmap(const QString& name, const QSize& size) {
  return RenderFile(PathOf(name), name, size);
}

QIcon ApplicationIcon() {
  Init();
  const QString name = QStringLiteral("app");
  QSvgRenderer renderer;
  LoadOrRaise(renderer, PathOf(name), name);
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(Render(renderer, QSize(side, side), 1.0));
  return icon;
}

QPixmap Splash() {
  return RenderFile(kSplashPath, QStringLiteral("splash"), QSize(kSplashWidth, kSplashHeight));
}

}  // namespace pictures
