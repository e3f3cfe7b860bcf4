#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

const TFormatSettings kBR = TFormatSettings::PtBR();
const TFormatSettings kC = TFormatSettings::Invariant();

template <typename F>
QString ConvertErrorOf(F&& call) {
  try {
    call();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return QStringLiteral("<no EConvertError>");
}

TEST(SysUtilsText, TrimAndCase) {
  EXPECT_EQ(rtl::Trim(QStringLiteral(" \t a b \r\n")), QStringLiteral("a b"));
  EXPECT_EQ(rtl::Trim(QStringLiteral("   ")), QString());
  EXPECT_EQ(rtl::Trim(QStringLiteral("\u00a0x\u00a0")),
            QStringLiteral("\u00a0x\u00a0"));  // not a control char
  EXPECT_EQ(rtl::UpperCaseAscii(QStringLiteral("ação x")), QStringLiteral("AçãO X"));
  EXPECT_EQ(rtl::AnsiUpperCase(QStringLiteral("ação x")), QStringLiteral("AÇÃO X"));
  EXPECT_EQ(rtl::AnsiUpperCase(QStringLiteral("Conexao")), rtl::AnsiUpperCase(QStringLiteral("CONEXAO")));
}

TEST(SysUtilsInt, TryStrToIntSyntax) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"12", true, 12},          {"  12", true, 12},
      {"12 ", false, 0},         {"+5", true, 5},
      {"-7", true, -7},          {"-", false, 0},
      {"+", false, 0},           {"", false, 0},
      {" ", false, 0},           {"1a", false, 0},
      {"$FF", true, 255},        {"0x1F", true, 31},
      {"0X1f", true, 31},        {"x10", true, 16},
      {"X10", true, 16},         {"-$10", true, -16},
      {"$", false, 0},           {"0x", false, 0},
      {"x", false, 0},           {"$G", false, 0},
      {"$FFFFFFFF", true, -1},   {"$7FFFFFFF", true, 2147483647},
      {"$123456789", false, 0},  {"2147483647", true, 2147483647},
      {"2147483648", false, 0},  {"-2147483648", true, std::numeric_limits<int32_t>::min()},
      {"-2147483649", false, 0}, {"99999999999999999999", false, 0},
      {"\xd9\xa3", false, 0},  // Arabic-Indic three: only ASCII digits count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int32_t value = 0;
    EXPECT_EQ(rtl::TryStrToInt(QString::fromUtf8(c.text), value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
}

TEST(SysUtilsInt, StrToIntErrorQuotesText) {
  EXPECT_EQ(rtl::StrToInt(QStringLiteral(" -42")), -42);
  EXPECT_EQ(ConvertErrorOf([] { rtl::StrToInt(QStringLiteral("12 ")); }),
            QStringLiteral("'12 ' is not a valid integer value"));
  EXPECT_EQ(ConvertErrorOf([] { rtl::StrToInt(QStringLiteral("%1")); }),
            QStringLiteral("'%1' is not a valid integer value"));
}

TEST(SysUtilsFloat, TryStrToFloatSyntax) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"12,5", true, 12.5},  {" -1,5E3 ", true, -1500.0},
      {",5", true, 0.5},     {"1,", true, 1.0},
      {"+2e-2", true, 0.02}, {"0", true, 0.0},
      {"1.234,5", false, 0}, {"12.5", false, 0},
      {"", false, 0},        {"-", false, 0},
      {",", false, 0},       {"1E", false, 0},
      {"1E+", false, 0},     {"abc", false, 0},
      {"1e400", false, 0},   {"1e-400", true, 0.0},
      {"1,5 x", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double value = -99;
    EXPECT_EQ(rtl::TryStrToFloat(QString::fromUtf8(c.text), value, kBR), c.ok);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value);
    }
  }
  double value = 0;
  EXPECT_TRUE(rtl::TryStrToFloat(QStringLiteral("12.5"), value, kC));
  EXPECT_DOUBLE_EQ(value, 12.5);
  EXPECT_TRUE(rtl::TryStrToFloat(QStringLiteral("0,1"), value, kBR));
  EXPECT_EQ(value, 0.1);  // correctly rounded, bit for bit
}

TEST(SysUtilsFloat, ErrorTexts) {
  EXPECT_EQ(ConvertErrorOf([] { rtl::StrToFloat(QStringLiteral("1.234,50000"), kBR); }),
            QStringLiteral("'1.234,50000' is not a valid floating point value"));
  EXPECT_EQ(ConvertErrorOf([] { rtl::StrToCurr(QStringLiteral("x"), kBR); }),
            QStringLiteral("'x' is not a valid floating point value"));
}

TEST(SysUtilsCurrency, StrToCurrIsExact) {
  struct Case {
    const char* text;
    bool ok;
    int64_t raw;
  } cases[] = {
      {"12,3456", true, 123456},
      {"-0,5", true, -5000},
      {"0,00005", true, 1},  // halves away from zero
      {"-0,00005", true, -1},
      {"0,000049", true, 0},
      {"1,5E2", true, 1500000},
      {"922337203685477,5807", true, std::numeric_limits<int64_t>::max()},
      {"-922337203685477,5808", true, std::numeric_limits<int64_t>::min()},
      {"922337203685477,5808", false, 0},
      {"1e30", false, 0},
      {"1.000,00", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Currency value;
    EXPECT_EQ(rtl::TryStrToCurr(QString::fromUtf8(c.text), value, kBR), c.ok);
    if (c.ok) {
      EXPECT_EQ(value.Raw(), c.raw);
    }
  }
}

TEST(SysUtilsCurrency, FromDoubleRoundsDecimalValue) {
  struct Case {
    double value;
    int64_t raw;
  } cases[] = {
      {12.3456, 123456}, {0.5, 5000},  {2.00005, 20001}, {-2.00005, -20001},
      {1.00004, 10000},  {0.00001, 0}, {-0.00004, 0},    {123456789.1234, 1234567891234},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Currency::FromDouble(c.value).Raw(), c.raw);
  }
  EXPECT_THROW(Currency::FromDouble(std::nan("")), EConvertError);
  EXPECT_THROW(Currency::FromDouble(1e16), EConvertError);
}

TEST(SysUtilsFloat, FloatToStrGeneralFormat) {
  struct Case {
    double value;
    const char* br;
  } cases[] = {
      {5, "5"},
      {2.5, "2,5"},
      {0, "0"},
      {-12.5, "-12,5"},
      {0.1 + 0.2, "0,3"},
      {1e20, "1E20"},
      {1.5e-6, "1,5E-6"},
      {0.00001, "0,00001"},
      {0.0000123, "0,0000123"},
      {0.0000099, "9,9E-6"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1234567890123456.0, "1,23456789012346E15"},
      {-2.5e-300, "-2,5E-300"},
      {std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.br);
    EXPECT_EQ(rtl::FloatToStr(c.value, kBR), QString::fromUtf8(c.br));
  }
  EXPECT_EQ(rtl::FloatToStr(2.5, kC), QStringLiteral("2.5"));
  EXPECT_EQ(rtl::CurrToStr(Currency::FromRaw(15000), kBR), QStringLiteral("1,5"));
  EXPECT_EQ(rtl::CurrToStr(Currency::FromRaw(-30000), kBR), QStringLiteral("-3"));
}

TEST(SysUtilsFormat, FormatFloatPatterns) {
  struct Case {
    const char* pattern;
    double value;
    const char* br;
  } cases[] = {
      {"00000", 7, "00007"},
      {"00000", 1234567, "1234567"},
      {"#,##0.00", 1234567.891, "1.234.567,89"},
      {"#,##0.00", 0.5, "0,50"},
      {",0.00", 1234.5, "1.234,50"},
      {",0.00", 0, "0,00"},
      {",0.00", -1234.5, "-1.234,50"},
      {",0.00", 999.999, "1.000,00"},
      {"0.00", 2.005, "2,01"},
      {"0.00", -2.005, "-2,01"},
      {"0.00", 2.004, "2,00"},
      {"0.00", -0.001, "0,00"},
      {"#.##0,00", 12.3456, "12,34560"},
      {"#.##0,00", 0.5, ",50000"},
      {"#.##0,00", 1234.5, "1.234,50000"},
      {"#0.0000", 3, "3,0000"},
      {"#0.0000", 12.5, "12,5000"},
      {"0.##", 5, "5"},
      {"0.##", 5.1, "5,1"},
      {"#", 0, ""},
      {"#,##0", 1234567, "1.234.567"},
      {"00-00", 1234, "12-34"},
      {"\"R$ \"#,##0.00", 1234.5, "R$ 1.234,50"},
      {"0;(0);zero", -5, "(5)"},
      {"0;(0);zero", 0, "zero"},
      {"0;(0);zero", 5, "5"},
      {"0.00;;", -1, "-1,00"},
      {"", 2.5, "2,5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + std::to_string(c.value));
    EXPECT_EQ(rtl::FormatFloat(QString::fromUtf8(c.pattern), c.value, kBR), QString::fromUtf8(c.br));
  }
  EXPECT_EQ(rtl::FormatFloat(QStringLiteral("#,##0.00"), 1234.5, kC), QStringLiteral("1,234.50"));
}

TEST(SysUtilsFormat, FormatCurrIsExact) {
  EXPECT_EQ(rtl::FormatCurr(QStringLiteral("#,##0.00"),
                            Currency::FromRaw(std::numeric_limits<int64_t>::max()), kBR),
            QStringLiteral("922.337.203.685.477,58"));
  EXPECT_EQ(
      rtl::FormatCurr(QStringLiteral("0.0000"), Currency::FromRaw(std::numeric_limits<int64_t>::min()), kBR),
      QStringLiteral("-922337203685477,5808"));
  EXPECT_EQ(rtl::FormatCurr(QStringLiteral("0.0000"), Currency::FromRaw(-1), kBR), QStringLiteral("-0,0001"));
  EXPECT_EQ(rtl::FormatCurr(QStringLiteral("0.00"), Currency::FromRaw(20050), kBR), QStringLiteral("2,01"));
  EXPECT_EQ(rtl::FormatCurr(QStringLiteral("#.##0,00"), Currency::FromDouble(12.3456), kBR),
            QStringLiteral("12,34560"));
}

// The round trip the utility class makes: below 1000 it gives the value back, from 1000
// the grouping separator makes the reading fail.
TEST(SysUtilsFormat, PatternRoundTripThroughStrToCurr) {
  for (double v : {12.3456, 0.5, -999.5}) {
    SCOPED_TRACE(v);
    const Currency c = Currency::FromDouble(v);
    EXPECT_EQ(rtl::StrToCurr(rtl::FormatCurr(QStringLiteral("#.##0,00"), c, kBR), kBR), c);
  }
  EXPECT_THROW(rtl::StrToCurr(rtl::FormatCurr(QStringLiteral("#.##0,00"), Currency::FromInt(1000), kBR), kBR),
               EConvertError);
}

TEST(SysUtilsRound, HalfEven) {
  struct Case {
    double value;
    int64_t rounded;
  } cases[] = {{2.5, 2},
               {3.5, 4},
               {-2.5, -2},
               {-3.5, -4},
               {0.5, 0},
               {1.5, 2},
               {2.4, 2},
               {2.6, 3},
               {-2.6, -3},
               {-0.4, 0},
               {1e15 + 0.5, 1000000000000000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(rtl::RoundHalfEven(c.value), c.rounded);
  }
  EXPECT_THROW(rtl::RoundHalfEven(std::nan("")), EConvertError);
  EXPECT_THROW(rtl::RoundHalfEven(1e19), EConvertError);
}

TEST(SysUtilsMask, FormatMaskText) {
  const char* shortMask = "\\(00\\) 0000\\-0000;0;";
  const char* longMask = "\\(00\\) 0 0000\\-0000;0;";
  struct Case {
    const char* mask;
    const char* value;
    const char* expected;
  } cases[] = {
      {shortMask, "abcdefghij", "(ab) cdef-ghij"},
      {shortMask, "", "(  )     -    "},
      {shortMask, "123", "(12) 3   -    "},
      {longMask, "abcdefghijk", "(ab) c defg-hijk"},
      {longMask, "abcdefghijkl", "(ab) c defg-hijkl"},
      {"00/00;0;_", "1", "1_/__"},
      {"00/00;1;_", "12/3", "12/3_"},
      {">LL-00;0; ", "ab12", "AB-12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " / " + c.value);
    EXPECT_EQ(rtl::FormatMaskText(QString::fromUtf8(c.mask), QString::fromUtf8(c.value)),
              QString::fromUtf8(c.expected));
  }
}

}  // namespace
