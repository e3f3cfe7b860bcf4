#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

const TFormatSettings kBR = TFormatSettings::PtBR();

TFormatSettings EnUS() {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.ShortDateFormat = QStringLiteral("m/d/yyyy");
  fs.LongTimeFormat = QStringLiteral("h:nn:ss AMPM");
  return fs;
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return rtl::ComposeDateTime(rtl::EncodeDate(y, mo, d), rtl::EncodeTime(h, mi, s, ms));
}

QDateTime FixedClock() {
  return QDateTime(QDate(2026, 12, 11), QTime(9, 5, 7, 250));
}

class ClockFixture : public ::testing::Test {
 protected:
  void SetUp() override { rtl::SetClockSource(&FixedClock); }
  void TearDown() override { rtl::SetClockSource(nullptr); }
};

TEST(DateTime, EncodeKnownDays) {
  EXPECT_EQ(rtl::EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(rtl::EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(rtl::EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(rtl::EncodeDate(1899, 12, 29), -1.0);
  EXPECT_EQ(rtl::EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(rtl::EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_EQ(At(2000, 1, 1, 18), 36526.75);
  EXPECT_EQ(At(1899, 12, 29, 6), -1.25);  // the fraction still counts forward in the day
}

TEST(DateTime, EncodeRejectsInvalidArguments) {
  EXPECT_THROW(rtl::EncodeDate(2026, 2, 29), EConvertError);
  EXPECT_THROW(rtl::EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(rtl::EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(rtl::EncodeTime(0, 60, 0, 0), EConvertError);
  try {
    rtl::EncodeDate(2026, 13, 1);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
  }
}

TEST(DateTime, DecodeRoundsToMillisecondsAndCarriesMidnight) {
  struct Case {
    TDateTime value;
    int y, mo, d, h, mi, s, ms;
  } cases[] = {
      {At(2026, 12, 11, 9, 5, 7, 250), 2026, 12, 11, 9, 5, 7, 250},
      {-1.25, 1899, 12, 29, 6, 0, 0, 0},
      {rtl::EncodeDate(2026, 12, 31) + 0.9999999999, 2027, 1, 1, 0, 0, 0, 0},
      {rtl::EncodeDate(1, 1, 1), 1, 1, 1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    int y, mo, d, h, mi, s, ms;
    rtl::DecodeDateTime(c.value, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(QList<int>({y, mo, d, h, mi, s, ms}), QList<int>({c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms}));
  }
  int y, mo, d;
  EXPECT_THROW(rtl::DecodeDate(std::nan(""), y, mo, d), EConvertError);
  EXPECT_THROW(rtl::DecodeDate(1e9, y, mo, d), EConvertError);
}

TEST(DateTime, QDateTimeRoundTripKeepsMilliseconds) {
  const QDateTime moment(QDate(2026, 3, 5), QTime(23, 59, 58, 999));
  const TDateTime value = rtl::ToDateTime(moment);
  EXPECT_EQ(value, At(2026, 3, 5, 23, 59, 58, 999));
  EXPECT_EQ(rtl::ToQDateTime(value), moment);
  EXPECT_EQ(rtl::ToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  EXPECT_THROW(rtl::ToDateTime(QDateTime()), EConvertError);
}

TEST_F(ClockFixture, ClockSourceFeedsNow) {
  EXPECT_EQ(rtl::CurrentDateTime(), FixedClock());
  EXPECT_EQ(rtl::Now(), At(2026, 12, 11, 9, 5, 7, 250));
  rtl::SetClockSource(nullptr);
  EXPECT_LE(qAbs(rtl::CurrentDateTime().secsTo(QDateTime::currentDateTime())), 5);
}

TEST(DateTimeFormat, Patterns) {
  const TDateTime moment = At(2026, 12, 11, 9, 5, 7, 42);
  struct Case {
    const char* pattern;
    const char* expected;
  } cases[] = {
      {"yyyymmdd", "20261211"},     {"dd/mm/yyyy", "11/12/2026"},
      {"d/m/yy", "11/12/26"},       {"hh:nn:ss", "09:05:07"},
      {"h:n:s", "9:5:7"},           {"hh:mm", "09:05"},  // "mm" right after an hour means minutes
      {"hh\"h\"mm", "09h05"},       {"mm hh", "12 09"},
      {"zzz z", "042 42"},          {"\"dia\" d 'de' m", "dia 11 de 12"},
      {"c", "11/12/2026 09:05:07"}, {"ddddd", "11/12/2026"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(rtl::FormatDateTime(QString::fromUtf8(c.pattern), moment, kBR), QString::fromUtf8(c.expected));
  }
  TFormatSettings dashed = kBR;
  dashed.DateSeparator = QLatin1Char('-');
  dashed.TimeSeparator = QLatin1Char('.');
  EXPECT_EQ(rtl::FormatDateTime(QStringLiteral("dd/mm/yyyy hh:nn"), moment, dashed),
            QStringLiteral("11-12-2026 09.05"));
}

TEST(DateTimeFormat, DateTimeToStrOmitsMidnight) {
  EXPECT_EQ(rtl::DateTimeToStr(At(2026, 12, 11), kBR), QStringLiteral("11/12/2026"));
  EXPECT_EQ(rtl::DateTimeToStr(At(2026, 12, 11, 0, 0, 1), kBR), QStringLiteral("11/12/2026 00:00:01"));
  EXPECT_EQ(rtl::DateTimeToStr(At(2026, 12, 11, 13, 5), EnUS()), QStringLiteral("12/11/2026 1:05:00 PM"));
  EXPECT_EQ(rtl::FormatDateTime(QStringLiteral("h:nn AMPM"), At(2026, 1, 1, 0, 30), EnUS()),
            QStringLiteral("12:30 AM"));
  EXPECT_EQ(rtl::DateToStr(At(2026, 3, 5, 10), kBR), QStringLiteral("05/03/2026"));
  EXPECT_EQ(rtl::TimeToStr(At(2026, 3, 5, 10), kBR), QStringLiteral("10:00:00"));
}

TEST(DateTimeParse, StrToTime) {
  struct Case {
    const char* text;
    bool ok;
    int h, mi, s, ms;
  } cases[] = {
      {"10:00", true, 10, 0, 0, 0},      {"10:00:00", true, 10, 0, 0, 0},
      {" 9:5 ", true, 9, 5, 0, 0},       {"23:59:59,5", true, 23, 59, 59, 5},
      {"1:00 PM", true, 13, 0, 0, 0},    {"12:00 am", true, 0, 0, 0, 0},
      {"12:00 PM", true, 12, 0, 0, 0},   {"13:00 PM", false, 0, 0, 0, 0},
      {"24:00", false, 0, 0, 0, 0},      {"10:60", false, 0, 0, 0, 0},
      {"10", false, 0, 0, 0, 0},         {"10:", false, 0, 0, 0, 0},
      {"", false, 0, 0, 0, 0},           {"abc", false, 0, 0, 0, 0},
      {"10:00:00 x", false, 0, 0, 0, 0}, {"10.00", false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDateTime value = -1;
    EXPECT_EQ(rtl::TryStrToTime(QString::fromUtf8(c.text), value, kBR), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, rtl::EncodeTime(c.h, c.mi, c.s, c.ms));
    }
  }
  EXPECT_EQ(rtl::StrToTime(QStringLiteral("10:00"), kBR), rtl::StrToTime(QStringLiteral("10:00:00"), kBR));
  try {
    rtl::StrToTime(QStringLiteral("10h"), kBR);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("'10h' is not a valid time"));
  }
}

TEST_F(ClockFixture, TryStrToDateTime) {
  struct Case {
    const char* text;
    bool ok;
    TDateTime value;
  } cases[] = {
      {"11/12/2026", true, At(2026, 12, 11)},
      {" 11/12/2026 10:30", true, At(2026, 12, 11, 10, 30)},
      {"5/3/2026 10:30:15", true, At(2026, 3, 5, 10, 30, 15)},
      {"11/12/26", true, At(2026, 12, 11)},
      {"11/12/80", true, At(1980, 12, 11)},
      {"11/12", true, At(2026, 12, 11)},
      {"10:30", true, rtl::EncodeTime(10, 30, 0, 0)},
      {"31/02/2026", false, 0},
      {"11/12/2026 xx", false, 0},
      {"11/12/2026 25:00", false, 0},
      {"11-12-2026", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDateTime value = -1;
    EXPECT_EQ(rtl::TryStrToDateTime(QString::fromUtf8(c.text), value, kBR), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
  TDateTime value = 0;
  EXPECT_TRUE(rtl::TryStrToDateTime(QStringLiteral("12/11/2026 1:00 PM"), value, EnUS()));
  EXPECT_EQ(value, At(2026, 12, 11, 13));
  EXPECT_EQ(rtl::StrToDate(QStringLiteral("01/01/2000"), kBR), 36526.0);
  try {
    rtl::StrToDate(QStringLiteral("32/01/2000"), kBR);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("'32/01/2000' is not a valid date"));
  }
}

}  // namespace
