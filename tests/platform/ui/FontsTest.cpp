#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include "platform/ui/Fonts.h"

namespace {

TEST(FontsTest, WindowFontIsTahomaEightPoint) {
  ui::InstallFonts();
  ui::InstallFonts();
  const QFont font = ui::WindowFont();
  EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(font.pixelSize(), 11);
  if (QFileInfo::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
  }
}

TEST(FontsTest, CalibriIsDrawnWithCarlito) {
  ui::InstallFonts();
  if (!QFontDatabase::families().contains(QStringLiteral("Carlito"))) GTEST_SKIP() << "Carlito not installed";
  EXPECT_EQ(QFontInfo(ui::FontOfHeight(QStringLiteral("Calibri"), -40)).family(), QStringLiteral("Carlito"));
}

TEST(FontsTest, MissingFaceFallsBackQuietly) {
  ui::InstallFonts();
  const QFont font = ui::FontOfHeight(QStringLiteral("Face Que Nao Existe"), -40);
  EXPECT_EQ(font.pixelSize(), 40);
  EXPECT_FALSE(QFontInfo(font).family().isEmpty());
  EXPECT_GT(QFontMetrics(font).horizontalAdvance(QStringLiteral("Quorvel")), 0);
}

TEST(FontsTest, PositiveHeightIsTheCellHeight) {
  const QFont font = ui::FontOfHeight(QStringLiteral("Tahoma"), 20);
  EXPECT_NEAR(QFontMetrics(font).height(), 20, 2);
}

TEST(FontsTest, QtDialogsSpeakBrazilianPortuguese) {
  if (!ui::InstallTranslations()) GTEST_SKIP() << "qtbase_pt_BR not installed";
  EXPECT_TRUE(ui::InstallTranslations());
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
}

}  // namespace
