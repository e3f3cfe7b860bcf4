// Integer, number, currency and time texts under the invariant and the Brazilian
// settings: the Try form and the raising form agree, and what is accepted survives a
// round trip through its own text. Format patterns from the input do not crash.
#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

template <typename F>
bool Raises(F&& f) {
  try {
    f();
  } catch (const EConvertError&) {
    return true;
  }
  return false;
}

void Conversions(const QString& s, const QString& pattern, const TFormatSettings& fs) {
  int32_t i = 0;
  const bool intOk = rtl::TryStrToInt(s, i);
  fuzz::Check(Raises([&] { (void)rtl::StrToInt(s); }) == !intOk, "TryStrToInt and StrToInt agree", s);
  if (intOk) {
    int32_t again = 0;
    fuzz::Check(rtl::TryStrToInt(QString::number(i), again) && again == i, "integer round trip", s);
  }

  double d = 0;
  const bool floatOk = rtl::TryStrToFloat(s, d, fs);
  fuzz::Check(Raises([&] { (void)rtl::StrToFloat(s, fs); }) == !floatOk, "TryStrToFloat and StrToFloat agree",
              s);
  if (floatOk && std::isfinite(d)) {
    const QString text = rtl::FloatToStr(d, fs);
    double again = 0;
    fuzz::Check(rtl::TryStrToFloat(text, again, fs), "FloatToStr reads back",
                s + QStringLiteral(" -> ") + text);
    fuzz::Check(std::fabs(again - d) <= 1e-14 * std::fabs(d) + 1e-300, "float round trip",
                s + QStringLiteral(" -> ") + text);
    try {
      (void)rtl::FormatFloat(pattern, d, fs);
    } catch (const EConvertError&) {
    }
  }

  Currency c;
  const bool currOk = rtl::TryStrToCurr(s, c, fs);
  fuzz::Check(Raises([&] { (void)rtl::StrToCurr(s, fs); }) == !currOk, "TryStrToCurr and StrToCurr agree", s);
  if (currOk) {
    const QString text = rtl::CurrToStr(c, fs);
    Currency again;
    fuzz::Check(rtl::TryStrToCurr(text, again, fs) && again.Raw() == c.Raw(), "currency round trip",
                s + QStringLiteral(" -> ") + text);
    try {
      (void)rtl::FormatCurr(pattern, c, fs);
    } catch (const EConvertError&) {
    }
  }

  TDateTime t = 0;
  const bool timeOk = rtl::TryStrToTime(s, t, fs);
  fuzz::Check(Raises([&] { (void)rtl::StrToTime(s, fs); }) == !timeOk, "TryStrToTime and StrToTime agree", s);
  if (timeOk) {
    fuzz::Check(std::isfinite(t), "time is a number", s);
    try {
      (void)rtl::FormatDateTime(pattern, t, fs);
      (void)rtl::TimeToStr(t, fs);
    } catch (const EConvertError&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TFormatSettings invariant = TFormatSettings::Invariant();
  static const TFormatSettings brazil = TFormatSettings::PtBR();
  const auto [text, pattern] = fuzz::TwoTexts(data, size);
  const QString raw = fuzz::Text(data, size);
  for (const QString& s : {text, raw}) {
    Conversions(s, pattern.left(64), invariant);
    Conversions(s, pattern.left(64), brazil);
  }
  return 0;
}
