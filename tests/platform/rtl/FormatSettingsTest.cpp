#include <gtest/gtest.h>

#include <QtGlobal>
#include <optional>

#include "platform/rtl/FormatSettings.h"

namespace {

// Sets or clears the locale variables for one test and puts the old values back.
class ScopedLocaleEnvironment {
 public:
  ScopedLocaleEnvironment(const char* all, const char* numeric, const char* time, const char* lang) {
    const char* values[] = {all, numeric, time, lang};
    for (int i = 0; i < 4; ++i) {
      saved_[i] = qEnvironmentVariableIsSet(kNames[i]) ? std::optional(qgetenv(kNames[i])) : std::nullopt;
      Apply(kNames[i], values[i] ? std::optional(QByteArray(values[i])) : std::nullopt);
    }
  }
  ~ScopedLocaleEnvironment() {
    for (int i = 0; i < 4; ++i) Apply(kNames[i], saved_[i]);
  }

 private:
  static void Apply(const char* name, const std::optional<QByteArray>& value) {
    if (value)
      qputenv(name, *value);
    else
      qunsetenv(name);
  }
  static constexpr const char* kNames[4] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};
  std::optional<QByteArray> saved_[4];
};

TEST(FormatSettings, FromEnvironmentPrecedence) {
  struct Case {
    const char *all, *numeric, *time, *lang;
    char decimal, thousand;
    const char* shortDate;
    const char* longTime;
  } cases[] = {
      {nullptr, nullptr, nullptr, "pt_BR.UTF-8", ',', '.', "dd/mm/yyyy", "hh:nn:ss"},
      {nullptr, nullptr, nullptr, "C.UTF-8", '.', ',', "dd/mm/yyyy", "hh:nn:ss"},
      {nullptr, nullptr, nullptr, "POSIX", '.', ',', "dd/mm/yyyy", "hh:nn:ss"},
      {nullptr, nullptr, nullptr, nullptr, '.', ',', "dd/mm/yyyy", "hh:nn:ss"},
      {nullptr, nullptr, nullptr, "en_US.UTF-8", '.', ',', "m/d/yyyy", "h:nn:ss AMPM"},
      {"pt_BR.UTF-8", "C", "en_US", "en_US.UTF-8", ',', '.', "dd/mm/yyyy", "hh:nn:ss"},
      {"", "C", nullptr, "pt_BR.UTF-8", '.', ',', "dd/mm/yyyy", "hh:nn:ss"},
      {nullptr, "pt_BR", "en_US.UTF-8", "C", ',', '.', "m/d/yyyy", "h:nn:ss AMPM"},
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", ',', '.', "dd/mm/yyyy", "hh:nn:ss"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.all ? c.all : "-") + " " + (c.numeric ? c.numeric : "-") + " " +
                 (c.time ? c.time : "-") + " " + (c.lang ? c.lang : "-"));
    ScopedLocaleEnvironment env(c.all, c.numeric, c.time, c.lang);
    const TFormatSettings fs = TFormatSettings::FromEnvironment();
    EXPECT_EQ(fs.DecimalSeparator, QLatin1Char(c.decimal));
    EXPECT_EQ(fs.ThousandSeparator, QLatin1Char(c.thousand));
    EXPECT_EQ(fs.DateSeparator, QLatin1Char('/'));
    EXPECT_EQ(fs.TimeSeparator, QLatin1Char(':'));
    EXPECT_EQ(fs.ShortDateFormat, QString::fromLatin1(c.shortDate));
    EXPECT_EQ(fs.LongTimeFormat, QString::fromLatin1(c.longTime));
  }
}

TEST(FormatSettings, ScopedSettingsSwapAndRestore) {
  const TFormatSettings before = rtl::FormatSettings();
  TFormatSettings other = before;
  other.DecimalSeparator = before.DecimalSeparator == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
  {
    rtl::ScopedFormatSettings scoped(other);
    EXPECT_EQ(rtl::FormatSettings().DecimalSeparator, other.DecimalSeparator);
  }
  EXPECT_EQ(rtl::FormatSettings().DecimalSeparator, before.DecimalSeparator);
}

}  // namespace
