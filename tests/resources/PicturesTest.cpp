#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include "platform/rtl/Exceptions.h"
#include "resources/Pictures.h"

namespace {

struct Expected {
  const char* name;
  int side;
};

// The pictures the windows ask for, at the size each is drawn.
const Expected kPictures[] = {
    {"clientes", 32},
    {"servicos", 32},
    {"usuarios", 32},
    {"lancar-os", 32},
    {"entregas-semana", 32},
    {"entregas-dia", 32},
    {"valor-por-operador", 32},
    {"nav-first", 16},
    {"nav-prior", 16},
    {"nav-next", 16},
    {"nav-last", 16},
    {"nav-insert", 16},
    {"nav-delete", 16},
    {"nav-edit", 16},
    {"nav-post", 16},
    {"nav-cancel", 16},
    {"nav-refresh", 16},
    {"ok", 16},
    {"cancel", 16},
    {"save", 16},
    {"include", 16},
    {"alter", 16},
    {"delete", 16},
    {"print", 16},
    {"pdf", 16},
    {"exit", 16},
    {"app", 64},
};

// Share of pixels that are not fully transparent.
double Coverage(const QImage& image) {
  int painted = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  return double(painted) / (image.width() * image.height());
}

TEST(Pictures, EachIsBundledAtItsSizeAndDrawsSomething) {
  QSet<QString> expected;
  for (const Expected& e : kPictures) {
    const QString name = QString::fromUtf8(e.name);
    expected.insert(name);
    SCOPED_TRACE(e.name);
    ASSERT_TRUE(pictures::Exists(name));
    EXPECT_EQ(pictures::NativeSize(name), QSize(e.side, e.side));
    const QImage image = pictures::Pixmap(name).toImage();
    EXPECT_EQ(image.size(), QSize(e.side, e.side));
    EXPECT_GT(Coverage(image), 0.05);
    EXPECT_FALSE(pictures::Icon(name).pixmap(e.side, e.side).isNull());
  }
  // No stray or forgotten file in the set.
  const QStringList names = pictures::Names();
  EXPECT_EQ(QSet<QString>(names.begin(), names.end()), expected);
}

TEST(Pictures, RendersAtARequestedSize) {
  EXPECT_EQ(pictures::Pixmap(QStringLiteral("clientes"), QSize(48, 48)).size(), QSize(48, 48));
  const QList<QSize> sizes = pictures::ApplicationIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}

TEST(Pictures, UnknownNamesRaiseAnInOutError) {
  for (const QString& name : {QString(), QStringLiteral("nada"), QStringLiteral("../splash")}) {
    SCOPED_TRACE(name.toStdString());
    EXPECT_FALSE(pictures::Exists(name));
    EXPECT_THROW(pictures::Icon(name), EInOutError);
    EXPECT_THROW(pictures::Pixmap(name), EInOutError);
  }
  try {
    pictures::Icon(QStringLiteral("nada"));
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Figura não encontrada: \"nada\""));
  }
}

TEST(Pictures, SplashLeavesAPlainGroundForTheTitleAndDrawsOnTheRight) {
  const QImage splash = pictures::Splash().toImage();
  ASSERT_EQ(splash.size(), QSize(pictures::kSplashWidth, pictures::kSplashHeight));
  // The title stands right-aligned at 364, top 119, 49 high, and may grow leftwards.
  const QRgb ground = splash.pixel(0, 0);
  QSet<QRgb> left;
  for (int y = 100; y < 190; ++y)
    for (int x = 0; x < 400; ++x) left.insert(splash.pixel(x, y));
  EXPECT_EQ(left, QSet<QRgb>{ground});
  EXPECT_EQ(qAlpha(ground), 255);
  QSet<QRgb> right;
  for (int y = 0; y < splash.height(); y += 3)
    for (int x = 500; x < splash.width(); x += 3) right.insert(splash.pixel(x, y));
  EXPECT_GT(right.size(), 50);
}

}  // namespace
