#pragma once

#include <QChar>
#include <QString>

// The locale's number, date and time settings, as the classic formatting routines use them.
struct TFormatSettings {
  QChar DecimalSeparator = QLatin1Char('.');
  QChar ThousandSeparator = QLatin1Char(',');
  QChar DateSeparator = QLatin1Char('/');
  QChar TimeSeparator = QLatin1Char(':');
  // Patterns in the classic pattern language ("dd/mm/yyyy", "hh:nn:ss").
  QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");
  QString LongTimeFormat = QStringLiteral("hh:nn:ss");

  // Brazilian settings: "," "." "/" ":".
  static TFormatSettings PtBR();
  // Settings of the C/POSIX locale: "." "," "/" ":".
  static TFormatSettings Invariant();
  // Filled from LC_ALL, LC_NUMERIC/LC_TIME, then LANG (pt_BR gives PtBR()).
  static TFormatSettings FromEnvironment();
};

namespace rtl {

// The one process-wide instance, filled from the environment on first use.
TFormatSettings& FormatSettings();

// Replaces the process-wide settings while it lives; for tests.
class ScopedFormatSettings {
 public:
  explicit ScopedFormatSettings(const TFormatSettings& settings);
  ~ScopedFormatSettings();
  ScopedFormatSettings(const ScopedFormatSettings&) = delete;
  ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

 private:
  TFormatSettings previous_;
};

}  // namespace rtl
