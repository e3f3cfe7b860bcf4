#include "platform/rtl/FormatSettings.h"

#include <QLocale>
#include <QtGlobal>

namespace {

// "pt_BR.UTF-8@euro" -> "pt_BR"; the encoding and modifier do not change the conventions.
QString LocaleName(const QByteArray& raw) {
  QString name = QString::fromLocal8Bit(raw);
  int cut = name.indexOf(QLatin1Char('.'));
  if (cut < 0) cut = name.indexOf(QLatin1Char('@'));
  if (cut >= 0) name.truncate(cut);
  return name;
}

bool IsPosix(const QString& name) {
  return name == QLatin1String("C") || name == QLatin1String("POSIX");
}

TFormatSettings EnUS() {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.ShortDateFormat = QStringLiteral("m/d/yyyy");
  fs.LongTimeFormat = QStringLiteral("h:nn:ss AMPM");
  return fs;
}

// Settings for one locale name; unknown languages take their separators from Qt's
// locale data and keep the day-first date of the invariant settings.
TFormatSettings ForLocale(const QString& name) {
  if (name.isEmpty() || IsPosix(name)) return TFormatSettings::Invariant();
  if (name.startsWith(QLatin1String("pt"))) return TFormatSettings::PtBR();
  if (name.startsWith(QLatin1String("en_US")) || name == QLatin1String("en")) return EnUS();
  TFormatSettings fs = TFormatSettings::Invariant();
  const QLocale locale(name);
  if (locale.language() == QLocale::C) return fs;
  const QString decimal = locale.decimalPoint();
  const QString group = locale.groupSeparator();
  if (decimal.size() == 1) fs.DecimalSeparator = decimal.at(0);
  if (group.size() == 1) fs.ThousandSeparator = group.at(0);
  if (fs.ThousandSeparator == fs.DecimalSeparator)
    fs.ThousandSeparator = fs.DecimalSeparator == QLatin1Char('.') ? QLatin1Char(',') : QLatin1Char('.');
  return fs;
}

// The first non-empty of LC_ALL, the category variable and LANG, as setlocale reads them.
QString EnvironmentLocale(const char* category) {
  for (const char* var : {"LC_ALL", category, "LANG"}) {
    const QByteArray value = qgetenv(var);
    if (!value.isEmpty()) return LocaleName(value);
  }
  return {};
}

}  // namespace

TFormatSettings TFormatSettings::PtBR() {
  TFormatSettings fs;
  fs.DecimalSeparator = QLatin1Char(',');
  fs.ThousandSeparator = QLatin1Char('.');
  fs.DateSeparator = QLatin1Char('/');
  fs.TimeSeparator = QLatin1Char(':');
  fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
  fs.LongTimeFormat = QStringLiteral("hh:nn:ss");
  return fs;
}

TFormatSettings TFormatSettings::Invariant() {
  return TFormatSettings();
}

TFormatSettings TFormatSettings::FromEnvironment() {
  const TFormatSettings numbers = ForLocale(EnvironmentLocale("LC_NUMERIC"));
  TFormatSettings fs = ForLocale(EnvironmentLocale("LC_TIME"));
  fs.DecimalSeparator = numbers.DecimalSeparator;
  fs.ThousandSeparator = numbers.ThousandSeparator;
  return fs;
}

namespace rtl {

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = TFormatSettings::FromEnvironment();
  return settings;
}

ScopedFormatSettings::ScopedFormatSettings(const TFormatSettings& settings) : previous_(FormatSettings()) {
  FormatSettings() = settings;
}

ScopedFormatSettings::~ScopedFormatSettings() {
  FormatSettings() = previous_;
}

}  // namespace rtl
