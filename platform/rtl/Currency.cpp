#include "platform/rtl/Currency.h"

#include <QString>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace {

constexpr int kDecimals = 4;

[[noreturn]] void RaiseOutOfRange(double value) {
  throw EConvertError(QStringLiteral("'%1' is not a valid currency value").arg(value, 0, 'g', 17));
}

}  // namespace

// Rounds the shortest decimal text of the double, not its binary value: 2.00005 is
// meant as 2.00005 although the nearest double lies just below it.
Currency Currency::FromDouble(double value) {
  // 2^63 / 10^4, a little beyond the largest currency; the exact check is on the digits.
  if (!std::isfinite(value) || std::fabs(value) >= 922337203685477.6) RaiseOutOfRange(value);
  char buffer[512];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  const char* p = buffer;
  const char* end = result.ptr;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  uint64_t magnitude = 0;
  for (; p < end && *p != '.'; ++p) magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
  if (p < end) ++p;  // the point
  for (int i = 0; i < kDecimals; ++i) {
    const int digit = p < end ? *p++ - '0' : 0;
    magnitude = magnitude * 10 + static_cast<uint64_t>(digit);
  }
  if (p < end && *p >= '5') ++magnitude;  // halves away from zero
  const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                  : uint64_t(std::numeric_limits<int64_t>::max());
  if (magnitude > limit) RaiseOutOfRange(value);
  if (negative) return Currency(static_cast<int64_t>(0 - magnitude));
  return Currency(static_cast<int64_t>(magnitude));
}
