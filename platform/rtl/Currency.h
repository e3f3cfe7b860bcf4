#pragma once

#include <compare>
#include <cstdint>

// Fixed point with exactly four decimals in 64 bits: 1.5 is held as 15000.
class Currency {
 public:
  static constexpr int64_t Scale = 10000;

  constexpr Currency() = default;
  static constexpr Currency FromRaw(int64_t raw) { return Currency(raw); }
  static constexpr Currency FromInt(int64_t units) { return Currency(units * Scale); }
  // Rounds to the nearest fourth decimal, halves away from zero, on the shortest decimal
  // text of the double (2.00005 gives 2.0001). Raises EConvertError for NaN, infinities
  // and values beyond the 64-bit range.
  static Currency FromDouble(double value);

  constexpr int64_t Raw() const { return raw_; }
  double ToDouble() const { return static_cast<double>(raw_) / static_cast<double>(Scale); }

  constexpr Currency operator+(Currency o) const { return Currency(raw_ + o.raw_); }
  constexpr Currency operator-(Currency o) const { return Currency(raw_ - o.raw_); }
  constexpr Currency operator-() const { return Currency(-raw_); }
  constexpr auto operator<=>(const Currency&) const = default;

 private:
  constexpr explicit Currency(int64_t raw) : raw_(raw) {}
  int64_t raw_ = 0;
};
