#include "platform/rtl/SysUtils.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/rtl/Exceptions.h"

namespace rtl {

namespace {

// ---------------------------------------------------------------------------------------
// A decimal number as digits: value = 0.d1d2d3... * 10^pointPos. Formatting works on it so
// that currency stays exact and doubles round on their decimal value.
struct Decimal {
  bool negative = false;
  std::string digits;  // no leading zeros; empty for zero
  int pointPos = 0;    // digits before the decimal point

  bool IsZero() const { return digits.empty(); }

  void Normalize() {
    size_t lead = digits.find_first_not_of('0');
    if (lead == std::string::npos) {
      digits.clear();
      pointPos = 0;
      return;
    }
    digits.erase(0, lead);
    pointPos -= static_cast<int>(lead);
    digits.erase(digits.find_last_not_of('0') + 1);
  }

  // Keeps at most `decimals` digits after the point, halves away from zero.
  void RoundToDecimals(int decimals) {
    const long keep = static_cast<long>(pointPos) + decimals;
    if (keep >= static_cast<long>(digits.size())) return;
    if (keep < 0) {
      digits.clear();
      pointPos = 0;
      return;
    }
    const bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (up) {
      long i = keep - 1;
      while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
      if (i < 0) {
        digits.insert(digits.begin(), '1');
        ++pointPos;
      } else {
        ++digits[static_cast<size_t>(i)];
      }
    }
    Normalize();
  }

  // Keeps at most `count` significant digits, halves away from zero.
  void RoundToSignificant(int count) { RoundToDecimals(count - pointPos); }

  std::string IntegerDigits() const {
    std::string out;
    for (int i = 0; i < pointPos; ++i)
      out += i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
    return out;
  }

  // Digits after the point up to `count` of them, zero-filled.
  std::string FractionDigits(int count) const {
    std::string out;
    for (int i = 0; i < count; ++i) {
      const int index = pointPos + i;
      out += index >= 0 && index < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(index)] : '0';
    }
    return out;
  }

  // All digits after the point, without trailing zeros.
  std::string SignificantFraction() const {
    const int count = static_cast<int>(digits.size()) - pointPos;
    return count > 0 ? FractionDigits(count) : std::string();
  }
};

// Parses text of the form [-]d[.ddd][e[+-]dd], as std::to_chars writes it.
Decimal DecimalFromChars(const char* p, const char* end) {
  Decimal d;
  if (p < end && *p == '-') {
    d.negative = true;
    ++p;
  }
  bool point = false;
  int exponent = 0;
  for (; p < end; ++p) {
    if (*p == '.') {
      point = true;
    } else if (*p == 'e' || *p == 'E') {
      std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
      break;
    } else {
      d.digits += *p;
      if (!point) ++d.pointPos;
    }
  }
  d.pointPos += exponent;
  d.Normalize();
  return d;
}

// The shortest decimal that reads back as the same double: what the user typed.
Decimal DecimalFromDouble(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  return DecimalFromChars(buffer, result.ptr);
}

// The double's exact binary value, correctly rounded to 15 significant digits.
Decimal DecimalFromDouble15(double value) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%.14e", value);
  return DecimalFromChars(buffer, buffer + n);
}

Decimal DecimalFromCurrency(Currency value) {
  Decimal d;
  const int64_t raw = value.Raw();
  d.negative = raw < 0;
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  d.digits = std::to_string(magnitude);
  d.pointPos = static_cast<int>(d.digits.size()) - 4;
  d.Normalize();
  return d;
}

QString Latin(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QString NonFinite(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// General format: plain or scientific, no trailing zeros.
QString GeneralText(Decimal d, const TFormatSettings& fs) {
  if (d.IsZero()) return QStringLiteral("0");
  QString out = d.negative ? QStringLiteral("-") : QString();
  const int exponent = d.pointPos - 1;  // of the first digit
  if (exponent < 15 && exponent >= -5) {
    const std::string integer = d.IntegerDigits();
    out += integer.empty() ? QStringLiteral("0") : Latin(integer);
    const std::string fraction = d.SignificantFraction();
    if (!fraction.empty()) out += fs.DecimalSeparator + Latin(fraction);
    return out;
  }
  out += QLatin1Char(d.digits[0]);
  if (d.digits.size() > 1) out += fs.DecimalSeparator + Latin(d.digits.substr(1));
  out += QLatin1Char('E') + QString::number(exponent);
  return out;
}

[[noreturn]] void RaiseConvert(const char* format, const QString& text) {
  throw EConvertError(QString::fromLatin1(format).arg(text));
}

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ');
}

int HexValue(QChar c) {
  const ushort u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

bool IsAsciiDigit(QChar c) {
  return c.unicode() >= '0' && c.unicode() <= '9';
}

// ---------------------------------------------------------------------------------------
// Number text in the pattern language: [-]digits[.digits][E[+-]digits], with the locale's
// decimal separator; blanks allowed around.
struct ScannedNumber {
  bool negative = false;
  std::string mantissa;  // digits, point removed
  int pointPos = 0;      // digits before the point
  long exponent = 0;
};

bool ScanNumber(const QString& s, const TFormatSettings& fs, ScannedNumber& out) {
  qsizetype i = 0;
  const qsizetype n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
    out.negative = s[i++] == QLatin1Char('-');
  bool anyDigit = false;
  for (; i < n && IsAsciiDigit(s[i]); ++i, anyDigit = true) {
    out.mantissa += static_cast<char>(s[i].unicode());
    ++out.pointPos;
  }
  if (i < n && s[i] == fs.DecimalSeparator) {
    for (++i; i < n && IsAsciiDigit(s[i]); ++i, anyDigit = true)
      out.mantissa += static_cast<char>(s[i].unicode());
  }
  if (!anyDigit) return false;
  if (i < n && (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e'))) {
    ++i;
    bool negativeExponent = false;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
      negativeExponent = s[i++] == QLatin1Char('-');
    if (i >= n || !IsAsciiDigit(s[i])) return false;
    for (; i < n && IsAsciiDigit(s[i]); ++i)
      if (out.exponent < 100000) out.exponent = out.exponent * 10 + (s[i].unicode() - '0');
    if (negativeExponent) out.exponent = -out.exponent;
  }
  while (i < n && IsBlank(s[i])) ++i;
  return i == n;
}

// ---------------------------------------------------------------------------------------
// Number patterns.
struct PatternSection {
  QString text;
  int integerPlaceholders = 0;
  int minIntegerDigits = 0;
  int maxDecimals = 0;
  int minDecimals = 0;
  bool grouping = false;
  bool hasPlaceholders = false;
};

bool IsQuote(QChar c) {
  return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

QStringList SplitSections(const QString& pattern) {
  QStringList sections{QString()};
  QChar quote;
  for (QChar c : pattern) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (IsQuote(c)) {
      quote = c;
    } else if (c == QLatin1Char(';')) {
      sections.append(QString());
      continue;
    }
    sections.last() += c;
  }
  return sections;
}

PatternSection AnalyseSection(const QString& text) {
  PatternSection section;
  section.text = text;
  bool afterPoint = false;
  bool zeroSeen = false;
  int decimalPlaceholders = 0;
  QChar quote;
  for (QChar c : text) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      continue;
    }
    if (IsQuote(c)) {
      quote = c;
    } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
      section.hasPlaceholders = true;
      if (afterPoint) {
        ++decimalPlaceholders;
        if (c == QLatin1Char('0')) section.minDecimals = decimalPlaceholders;
      } else {
        ++section.integerPlaceholders;
        if (c == QLatin1Char('0')) zeroSeen = true;
        if (zeroSeen) ++section.minIntegerDigits;
      }
    } else if (c == QLatin1Char('.')) {
      afterPoint = true;
    } else if (c == QLatin1Char(',')) {
      section.grouping = true;
    }
  }
  section.maxDecimals = decimalPlaceholders;
  return section;
}

// Lays the rounded number into the section: literals where they stand, integer digits
// beyond the placeholders at the first one, a separator only before printed decimals.
QString ApplySection(const PatternSection& section, const Decimal& number, bool withMinus,
                     const TFormatSettings& fs) {
  std::string integer = number.IntegerDigits();
  if (static_cast<int>(integer.size()) < section.minIntegerDigits)
    integer.insert(0, static_cast<size_t>(section.minIntegerDigits) - integer.size(), '0');
  std::string fraction = number.FractionDigits(section.maxDecimals);
  while (static_cast<int>(fraction.size()) > section.minDecimals && fraction.back() == '0')
    fraction.pop_back();

  QString out = withMinus ? QStringLiteral("-") : QString();
  const int length = static_cast<int>(integer.size());
  auto emitIntegerDigit = [&](int fromRight) {
    out += QLatin1Char(integer[static_cast<size_t>(length - 1 - fromRight)]);
    if (section.grouping && fromRight > 0 && fromRight % 3 == 0) out += fs.ThousandSeparator;
  };
  auto emitLeadingDigits = [&](int placeholders) {
    for (int k = length - 1; k >= placeholders; --k) emitIntegerDigit(k);
  };

  int integerSeen = 0;
  int fractionSeen = 0;
  bool afterPoint = false;
  QChar quote;
  for (QChar c : section.text) {
    if (!quote.isNull()) {
      if (c == quote)
        quote = QChar();
      else
        out += c;
      continue;
    }
    if (IsQuote(c)) {
      quote = c;
    } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !afterPoint) {
      if (integerSeen == 0) emitLeadingDigits(section.integerPlaceholders);
      const int fromRight = section.integerPlaceholders - 1 - integerSeen++;
      if (fromRight < length) emitIntegerDigit(fromRight);
    } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
      if (fractionSeen < static_cast<int>(fraction.size()))
        out += QLatin1Char(fraction[static_cast<size_t>(fractionSeen)]);
      ++fractionSeen;
    } else if (c == QLatin1Char('.')) {
      if (afterPoint) continue;
      afterPoint = true;
      if (section.integerPlaceholders == 0) emitLeadingDigits(0);
      if (!fraction.empty()) out += fs.DecimalSeparator;
    } else if (c != QLatin1Char(',')) {
      out += c;
    }
  }
  return out;
}

QString FormatDecimal(const QString& pattern, const Decimal& value, const TFormatSettings& fs) {
  const QStringList sections = SplitSections(pattern);
  auto section = [&](int index) -> const QString* {
    return index < sections.size() && !sections[index].isEmpty() ? &sections[index] : nullptr;
  };
  const QString* chosen = &sections[0];
  bool withMinus = value.negative;
  if (value.negative && section(1)) {
    chosen = section(1);
    withMinus = false;
  }
  PatternSection analysed = AnalyseSection(*chosen);
  Decimal rounded = value;
  rounded.RoundToDecimals(analysed.maxDecimals);
  if (rounded.IsZero()) {
    withMinus = false;
    if (section(2)) {
      analysed = AnalyseSection(*section(2));
      rounded = value;
      rounded.RoundToDecimals(analysed.maxDecimals);
      rounded.negative = false;
    } else if (value.negative && chosen != &sections[0]) {
      analysed = AnalyseSection(sections[0]);
      rounded.RoundToDecimals(analysed.maxDecimals);
    }
  }
  if (!analysed.hasPlaceholders) return ApplySection(analysed, Decimal(), false, fs);
  return ApplySection(analysed, rounded, withMinus, fs);
}

// ---------------------------------------------------------------------------------------
// Date and time.
struct DateTimeParts {
  int year, month, day, hour, minute, second, msec;
};

QString Padded(int value, int width) {
  return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

int CountRepeats(const QString& pattern, qsizetype i, QChar letter) {
  int count = 0;
  while (i + count < pattern.size() && pattern[i + count].toLower() == letter) ++count;
  return count;
}

bool StartsWithNoCase(const QString& pattern, qsizetype i, QLatin1String word) {
  return pattern.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

bool PatternHasAmPm(const QString& pattern) {
  return pattern.contains(QLatin1String("ampm"), Qt::CaseInsensitive) ||
         pattern.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
         pattern.contains(QLatin1String("a/p"), Qt::CaseInsensitive);
}

void AppendFormatted(QString& out, const QString& pattern, const DateTimeParts& t, const TFormatSettings& fs,
                     int depth);

void AppendDateAndTime(QString& out, const DateTimeParts& t, const TFormatSettings& fs, int depth) {
  AppendFormatted(out, fs.ShortDateFormat, t, fs, depth + 1);
  if (t.hour || t.minute || t.second || t.msec) {
    out += QLatin1Char(' ');
    AppendFormatted(out, fs.LongTimeFormat, t, fs, depth + 1);
  }
}

void AppendFormatted(QString& out, const QString& pattern, const DateTimeParts& t, const TFormatSettings& fs,
                     int depth) {
  if (depth > 2) return;  // a format that names itself
  const bool twelveHour = PatternHasAmPm(pattern);
  bool lastWasHour = false;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i];
    const QChar lower = c.toLower();
    bool hourToken = false;
    if (IsQuote(c)) {
      const qsizetype close = pattern.indexOf(c, i + 1);
      const qsizetype stop = close < 0 ? pattern.size() : close;
      out += pattern.mid(i + 1, stop - i - 1);
      i = stop + 1;
      continue;
    }
    if (lower == QLatin1Char('a') && StartsWithNoCase(pattern, i, QLatin1String("ampm"))) {
      out += t.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
      i += 4;
      lastWasHour = false;
      continue;
    }
    if (lower == QLatin1Char('a') && StartsWithNoCase(pattern, i, QLatin1String("am/pm"))) {
      const bool upper = pattern[i].isUpper();
      out += t.hour < 12 ? (upper ? QStringLiteral("AM") : QStringLiteral("am"))
                         : (upper ? QStringLiteral("PM") : QStringLiteral("pm"));
      i += 5;
      lastWasHour = false;
      continue;
    }
    if (lower == QLatin1Char('a') && StartsWithNoCase(pattern, i, QLatin1String("a/p"))) {
      const bool upper = pattern[i].isUpper();
      out += t.hour < 12 ? (upper ? QStringLiteral("A") : QStringLiteral("a"))
                         : (upper ? QStringLiteral("P") : QStringLiteral("p"));
      i += 3;
      lastWasHour = false;
      continue;
    }
    const int count = CountRepeats(pattern, i, lower);
    if (lower == QLatin1Char('d')) {
      if (count >= 5) {
        AppendFormatted(out, fs.ShortDateFormat, t, fs, depth + 1);
      } else {
        out += count >= 2 ? Padded(t.day, 2) : QString::number(t.day);
      }
      i += count >= 5 ? 5 : count;
    } else if (lower == QLatin1Char('m')) {
      const int take = count >= 2 ? 2 : 1;
      const int value = lastWasHour ? t.minute : t.month;
      out += take == 2 ? Padded(value, 2) : QString::number(value);
      i += count;  // month names are not kept; longer runs read as "mm"
    } else if (lower == QLatin1Char('y')) {
      out += count <= 2 ? Padded(t.year % 100, 2) : Padded(t.year, 4);
      i += count;
    } else if (lower == QLatin1Char('h')) {
      int hour = t.hour;
      if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
      out += count >= 2 ? Padded(hour, 2) : QString::number(hour);
      i += count >= 2 ? 2 : 1;
      hourToken = true;
    } else if (lower == QLatin1Char('n')) {
      out += count >= 2 ? Padded(t.minute, 2) : QString::number(t.minute);
      i += count >= 2 ? 2 : 1;
    } else if (lower == QLatin1Char('s')) {
      out += count >= 2 ? Padded(t.second, 2) : QString::number(t.second);
      i += count >= 2 ? 2 : 1;
    } else if (lower == QLatin1Char('z')) {
      out += count >= 3 ? Padded(t.msec, 3) : QString::number(t.msec);
      i += count >= 3 ? 3 : 1;
    } else if (lower == QLatin1Char('c') && count == 1) {
      AppendDateAndTime(out, t, fs, depth);
      ++i;
    } else if (lower == QLatin1Char('t') && count <= 2) {
      AppendFormatted(out, fs.LongTimeFormat, t, fs, depth + 1);
      i += count;
    } else if (c == QLatin1Char('/') || c == QLatin1Char(':')) {
      out += c == QLatin1Char('/') ? fs.DateSeparator : fs.TimeSeparator;
      ++i;
      continue;
    } else {
      out += c;
      ++i;
      if (c.isLetter()) lastWasHour = false;
      continue;  // other literals between "h" and "m" keep the minute reading
    }
    lastWasHour = hourToken;
  }
}

DateTimeParts Parts(TDateTime value) {
  DateTimeParts t{};
  DecodeDateTime(value, t.year, t.month, t.day, t.hour, t.minute, t.second, t.msec);
  return t;
}

// Reads 1 to `maxDigits` digits.
bool ReadNumber(const QString& s, qsizetype& i, int maxDigits, int& value, int* digits = nullptr) {
  int count = 0;
  value = 0;
  while (i < s.size() && IsAsciiDigit(s[i]) && count < maxDigits) {
    value = value * 10 + (s[i].unicode() - '0');
    ++i;
    ++count;
  }
  if (digits) *digits = count;
  return count > 0;
}

void SkipBlanks(const QString& s, qsizetype& i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
}

bool ScanTime(const QString& s, qsizetype& i, const TFormatSettings& fs, TDateTime& value) {
  int hour, minute, second = 0, msec = 0;
  SkipBlanks(s, i);
  if (!ReadNumber(s, i, 2, hour)) return false;
  if (i >= s.size() || s[i] != fs.TimeSeparator) return false;
  ++i;
  if (!ReadNumber(s, i, 2, minute)) return false;
  if (i < s.size() && s[i] == fs.TimeSeparator) {
    ++i;
    if (!ReadNumber(s, i, 2, second)) return false;
    if (i < s.size() && s[i] == fs.DecimalSeparator) {
      ++i;
      if (!ReadNumber(s, i, 3, msec)) return false;
    }
  }
  SkipBlanks(s, i);
  if (StartsWithNoCase(s, i, QLatin1String("am")) || StartsWithNoCase(s, i, QLatin1String("pm"))) {
    if (hour < 1 || hour > 12) return false;
    const bool pm = s[i].toLower() == QLatin1Char('p');
    hour = hour % 12 + (pm ? 12 : 0);
    i += 2;
    SkipBlanks(s, i);
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  value = EncodeTime(hour, minute, second, msec);
  return true;
}

// The order of day, month and year as the short date format names them.
QString DateOrder(const QString& format) {
  QString order;
  for (QChar c : format) {
    const QChar lower = c.toLower();
    if ((lower == QLatin1Char('d') || lower == QLatin1Char('m') || lower == QLatin1Char('y')) &&
        !order.contains(lower))
      order += lower;
  }
  return order.size() == 3 ? order : QStringLiteral("dmy");
}

// Two-digit years fall within fifty years of the current one.
int ExpandYear(int year, int digits) {
  if (digits > 2) return year;
  const int base = CurrentDateTime().date().year() - 50;
  year += base / 100 * 100;
  if (year < base) year += 100;
  return year;
}

bool ScanDate(const QString& s, qsizetype& i, const TFormatSettings& fs, TDateTime& value) {
  const QString order = DateOrder(fs.ShortDateFormat);
  int numbers[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  SkipBlanks(s, i);
  int found = 0;
  for (; found < 3; ++found) {
    if (found > 0) {
      if (i >= s.size() || s[i] != fs.DateSeparator) break;
      ++i;
    }
    if (!ReadNumber(s, i, 4, numbers[found], &digits[found])) return false;
  }
  if (found < 2) return false;
  int year = CurrentDateTime().date().year(), month = 0, day = 0;
  int yearDigits = 4;
  if (found == 2) {  // no year: the current one
    const QString dayMonth = QString(order).remove(QLatin1Char('y'));
    for (int k = 0; k < 2; ++k) (dayMonth[k] == QLatin1Char('d') ? day : month) = numbers[k];
  } else {
    for (int k = 0; k < 3; ++k) {
      if (order[k] == QLatin1Char('d')) day = numbers[k];
      if (order[k] == QLatin1Char('m')) month = numbers[k];
      if (order[k] == QLatin1Char('y')) {
        year = numbers[k];
        yearDigits = digits[k];
      }
    }
    year = ExpandYear(year, yearDigits);
  }
  if (year < 1 || year > 9999 || !QDate(year, month, day).isValid()) return false;
  value = EncodeDate(year, month, day);
  return true;
}

QChar MaskBlank(const QStringList& fields) {
  return fields.size() > 2 && !fields[2].isEmpty() ? fields[2].at(0) : QLatin1Char(' ');
}

// Splits "mask;save;blank" on the semicolons that are not escaped.
QStringList MaskFields(const QString& mask) {
  QStringList fields{QString()};
  for (qsizetype i = 0; i < mask.size(); ++i) {
    if (mask[i] == QLatin1Char('\\') && i + 1 < mask.size() && fields.size() == 1) {
      fields.last() += mask[i];
      fields.last() += mask[++i];
    } else if (mask[i] == QLatin1Char(';') && fields.size() < 3) {
      fields.append(QString());
    } else {
      fields.last() += mask[i];
    }
  }
  return fields;
}

bool IsMaskPlaceholder(QChar c) {
  switch (c.unicode()) {
    case '0':
    case '9':
    case '#':
    case 'L':
    case 'l':
    case 'A':
    case 'a':
    case 'C':
    case 'c':
      return true;
    default:
      return false;
  }
}

}  // namespace

// --- Trimming and case ------------------------------------------------------------------

QString Trim(const QString& s) {
  qsizetype first = 0;
  qsizetype last = s.size();
  while (first < last && s[first].unicode() <= 0x20) ++first;
  while (last > first && s[last - 1].unicode() <= 0x20) --last;
  return s.mid(first, last - first);
}

QString UpperCaseAscii(const QString& s) {
  QString out = s;
  for (QChar& c : out)
    if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 'a' + 'A');
  return out;
}

QString AnsiUpperCase(const QString& s) {
  return s.toUpper();
}

// --- Integers -----------------------------------------------------------------------------

bool TryStrToInt(const QString& s, int32_t& value) {
  qsizetype i = 0;
  const qsizetype n = s.size();
  SkipBlanks(s, i);
  bool negative = false;
  if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) negative = s[i++] == QLatin1Char('-');
  bool hex = false;
  if (i < n && s[i] == QLatin1Char('$')) {
    hex = true;
    ++i;
  } else if (i < n && (s[i] == QLatin1Char('x') || s[i] == QLatin1Char('X'))) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == QLatin1Char('0') &&
             (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  if (hex) {
    if (n - i > 8) return false;
    uint32_t bits = 0;
    for (; i < n; ++i) {
      const int digit = HexValue(s[i]);
      if (digit < 0) return false;
      bits = bits << 4 | static_cast<uint32_t>(digit);
    }
    if (negative) bits = 0 - bits;
    value = static_cast<int32_t>(bits);
    return true;
  }
  int64_t magnitude = 0;
  for (; i < n; ++i) {
    if (!IsAsciiDigit(s[i])) return false;
    magnitude = magnitude * 10 + (s[i].unicode() - '0');
    if (magnitude > int64_t(std::numeric_limits<int32_t>::max()) + 1) return false;
  }
  const int64_t result = negative ? -magnitude : magnitude;
  if (result > std::numeric_limits<int32_t>::max()) return false;
  value = static_cast<int32_t>(result);
  return true;
}

int32_t StrToInt(const QString& s) {
  int32_t value = 0;
  if (!TryStrToInt(s, value)) RaiseConvert("'%1' is not a valid integer value", s);
  return value;
}

// --- Floating point and currency ------------------------------------------------------------

bool TryStrToFloat(const QString& s, double& value, const TFormatSettings& fs) {
  ScannedNumber scanned;
  if (!ScanNumber(s, fs, scanned)) return false;
  // Rebuilt in C syntax so that the standard library does the correctly rounded reading.
  std::string text = scanned.negative ? "-" : "";
  text += scanned.mantissa.empty() ? "0" : scanned.mantissa;
  text += 'e' +
          std::to_string(scanned.exponent - (static_cast<long>(scanned.mantissa.size()) - scanned.pointPos));
  double result = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero, overflow is not a number this system can hold.
    if (scanned.exponent > 0) return false;
    result = scanned.negative ? -0.0 : 0.0;
  } else if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(result)) {
    return false;
  }
  value = result;
  return true;
}

double StrToFloat(const QString& s, const TFormatSettings& fs) {
  double value = 0;
  if (!TryStrToFloat(s, value, fs)) RaiseConvert("'%1' is not a valid floating point value", s);
  return value;
}

bool TryStrToCurr(const QString& s, Currency& value, const TFormatSettings& fs) {
  ScannedNumber scanned;
  if (!ScanNumber(s, fs, scanned)) return false;
  Decimal d;
  d.negative = scanned.negative;
  d.digits = scanned.mantissa;
  d.pointPos = scanned.pointPos + static_cast<int>(scanned.exponent);
  d.Normalize();
  d.RoundToDecimals(4);
  if (d.pointPos > 15) return false;
  uint64_t magnitude = 0;
  for (char c : d.IntegerDigits() + d.FractionDigits(4))
    magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
  const uint64_t limit = uint64_t(std::numeric_limits<int64_t>::max()) + (d.negative ? 1 : 0);
  if (magnitude > limit) return false;
  value =
      Currency::FromRaw(d.negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude));
  return true;
}

Currency StrToCurr(const QString& s, const TFormatSettings& fs) {
  Currency value;
  if (!TryStrToCurr(s, value, fs)) RaiseConvert("'%1' is not a valid floating point value", s);
  return value;
}

QString FloatToStr(double value, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return NonFinite(value);
  return GeneralText(DecimalFromDouble15(value), fs);
}

QString CurrToStr(Currency value, const TFormatSettings& fs) {
  return GeneralText(DecimalFromCurrency(value), fs);
}

QString FormatFloat(const QString& pattern, double value, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return NonFinite(value);
  if (pattern.isEmpty()) return FloatToStr(value, fs);
  return FormatDecimal(pattern, DecimalFromDouble(value), fs);
}

QString FormatCurr(const QString& pattern, Currency value, const TFormatSettings& fs) {
  if (pattern.isEmpty()) return CurrToStr(value, fs);
  return FormatDecimal(pattern, DecimalFromCurrency(value), fs);
}

int64_t RoundHalfEven(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9223372036854775808.0)
    throw EConvertError(QStringLiteral("Invalid floating point operation"));
  double whole = std::floor(value);
  const double rest = value - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  return static_cast<int64_t>(whole);
}

// --- Date and time ---------------------------------------------------------------------------

QString FormatDateTime(const QString& pattern, TDateTime value, const TFormatSettings& fs) {
  const DateTimeParts t = Parts(value);
  QString out;
  if (pattern.isEmpty())
    AppendDateAndTime(out, t, fs, 0);
  else
    AppendFormatted(out, pattern, t, fs, 0);
  return out;
}

QString DateTimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime(QStringLiteral("c"), value, fs);
}

QString DateToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime(fs.ShortDateFormat, value, fs);
}

QString TimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime(fs.LongTimeFormat, value, fs);
}

bool TryStrToTime(const QString& s, TDateTime& value, const TFormatSettings& fs) {
  qsizetype i = 0;
  TDateTime time = 0;
  if (!ScanTime(s, i, fs, time) || i != s.size()) return false;
  value = time;
  return true;
}

TDateTime StrToTime(const QString& s, const TFormatSettings& fs) {
  TDateTime value = 0;
  if (!TryStrToTime(s, value, fs)) RaiseConvert("'%1' is not a valid time", s);
  return value;
}

bool TryStrToDate(const QString& s, TDateTime& value, const TFormatSettings& fs) {
  qsizetype i = 0;
  TDateTime date = 0;
  if (!ScanDate(s, i, fs, date)) return false;
  SkipBlanks(s, i);
  if (i != s.size()) return false;
  value = date;
  return true;
}

TDateTime StrToDate(const QString& s, const TFormatSettings& fs) {
  TDateTime value = 0;
  if (!TryStrToDate(s, value, fs)) RaiseConvert("'%1' is not a valid date", s);
  return value;
}

bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& fs) {
  qsizetype i = 0;
  TDateTime date = 0;
  if (!ScanDate(s, i, fs, date)) return TryStrToTime(s, value, fs);  // a time alone is day zero
  SkipBlanks(s, i);
  TDateTime time = 0;
  if (i < s.size() && (!ScanTime(s, i, fs, time) || i != s.size())) return false;
  value = ComposeDateTime(date, time);
  return true;
}

TDateTime StrToDateTime(const QString& s, const TFormatSettings& fs) {
  TDateTime value = 0;
  if (!TryStrToDateTime(s, value, fs)) RaiseConvert("'%1' is not a valid date and time", s);
  return value;
}

// --- Edit masks ----------------------------------------------------------------------------------

QString FormatMaskText(const QString& mask, const QString& value) {
  const QStringList fields = MaskFields(mask);
  const QString& layout = fields[0];
  const bool literalsInValue = fields.size() < 2 || fields[1].isEmpty() || fields[1] != QLatin1String("0");
  const QChar blank = MaskBlank(fields);
  enum class Case { Keep, Upper, Lower } letterCase = Case::Keep;

  QString out;
  qsizetype next = 0;
  for (qsizetype i = 0; i < layout.size(); ++i) {
    const QChar c = layout[i];
    if (c == QLatin1Char('\\') && i + 1 < layout.size()) {
      const QChar literal = layout[++i];
      if (literalsInValue && next < value.size() && value[next] == literal) ++next;
      out += literal;
    } else if (c == QLatin1Char('<') && i + 1 < layout.size() && layout[i + 1] == QLatin1Char('>')) {
      letterCase = Case::Keep;
      ++i;
    } else if (c == QLatin1Char('>')) {
      letterCase = Case::Upper;
    } else if (c == QLatin1Char('<')) {
      letterCase = Case::Lower;
    } else if (c == QLatin1Char('!')) {
      continue;  // only changes how an edit box trims; no effect on the text
    } else if (IsMaskPlaceholder(c)) {
      if (next >= value.size()) {
        out += blank;
        continue;
      }
      const QChar taken = value[next++];
      out += letterCase == Case::Upper   ? taken.toUpper()
             : letterCase == Case::Lower ? taken.toLower()
                                         : taken;
    } else {
      if (literalsInValue && next < value.size() && value[next] == c) ++next;
      out += c;
    }
  }
  out += value.mid(next);
  return out;
}

}  // namespace rtl
