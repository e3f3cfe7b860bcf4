#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

// The application's pictures: our own SVG drawings bundled in the binary. Each picture
// is known by its file name without ".svg" ("clientes", "nav-first", "ok"); ribbon
// pictures are drawn at 32 × 32, button pictures at 16 × 16, the application icon at
// 64 × 64. Every call needs a running QGuiApplication.
namespace pictures {

// Registers the bundled files; idempotent. The other calls do it themselves, it is
// public for code that reads ":/icons/..." paths directly.
void Init();

// Every picture name, sorted.
QStringList Names();
bool Exists(const QString& name);

// The size the picture is drawn at. Raises EInOutError for an unknown name.
QSize NativeSize(const QString& name);

// The picture at its drawn size and at twice that size for high-density screens.
// Raises EInOutError for an unknown name.
QIcon Icon(const QString& name);

// The picture rendered at a size (its drawn size when empty), sharp on the screen's
// pixel density. Raises EInOutError for an unknown name.
QPixmap Pixmap(const QString& name, const QSize& size = {});

// The application icon at the sizes window systems ask for (16 to 256).
QIcon ApplicationIcon();

// The splash artwork, 930 × 329: plain grey-blue on the left for the white title,
// the workbench on the right.
QPixmap Splash();
inline constexpr int kSplashWidth = 930;
inline constexpr int kSplashHeight = 329;

}  // namespace pictures
