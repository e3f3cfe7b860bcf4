#include "platform/ui/Fonts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <algorithm>
#include <cmath>

namespace ui {

namespace {

const QString kWineFonts = QStringLiteral("/usr/share/wine/fonts/");

bool HasFamily(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

void LoadFontFile(const QString& path) {
  if (QFileInfo::exists(path)) QFontDatabase::addApplicationFont(path);
}

}  // namespace

void InstallFonts() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  if (!HasFamily(QStringLiteral("Tahoma"))) {
    LoadFontFile(kWineFonts + QStringLiteral("tahoma.ttf"));
    LoadFontFile(kWineFonts + QStringLiteral("tahomabd.ttf"));
  }
  const QStringList sans = {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                            QStringLiteral("Sans Serif")};
  if (!HasFamily(QStringLiteral("Tahoma"))) QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
  if (!HasFamily(QStringLiteral("Calibri")))
    QFont::insertSubstitutions(QStringLiteral("Calibri"), QStringList{QStringLiteral("Carlito")} + sans);
}

bool InstallTranslations() {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) return true;
  auto* candidate = new QTranslator(QCoreApplication::instance());
  const QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QStringLiteral("/usr/share/qt6/translations")};
  for (const QString& folder : folders) {
    if (candidate->load(QStringLiteral("qtbase_pt_BR"), folder)) {
      QCoreApplication::installTranslator(candidate);
      translator = candidate;
      return true;
    }
  }
  delete candidate;
  return false;
}

QFont FontOfHeight(const QString& family, int height) {
  QFont font(family);
  if (height < 0) {
    font.setPixelSize(-height);
  } else if (height > 0) {
    // Cell height includes the internal leading; scale the em size down to fit it.
    font.setPixelSize(height);
    const QFontMetrics metrics(font);
    const int cell = metrics.height();
    if (cell > 0)
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * double(height) / cell))));
  }
  return font;
}

QFont WindowFont() {
  return FontOfHeight(QStringLiteral("Tahoma"), -11);
}

}  // namespace ui
