// The edit mask on any mask and value, and the telephone mask's shape: ten characters or
// fewer fill "(00) 0000-0000", more fill "(00) 0 0000-0000" and the rest follows.
#include "arquivos/Util/Util.h"
#include "fuzz/FuzzSupport.h"
#include "platform/rtl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto [mask, value] = fuzz::TwoTexts(data, size);
  (void)rtl::FormatMaskText(mask, value);

  const QString number = fuzz::Text(data, size);
  const QString phone = TUtil::FormataTelefone(number);
  const qsizetype places = number.size() <= 10 ? 10 : 11;
  const qsizetype layout = number.size() <= 10 ? 14 : 16;
  fuzz::Check(phone.size() == layout + qMax<qsizetype>(0, number.size() - places), "telephone length",
              number + QStringLiteral(" -> ") + phone);
  fuzz::Check(phone.startsWith(QLatin1Char('(')) && phone.endsWith(number.mid(places)), "telephone shape",
              number + QStringLiteral(" -> ") + phone);
  return 0;
}
