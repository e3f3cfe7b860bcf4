#pragma once

#include <QString>
#include <cstdint>

#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

// Text and number conversions with the classic semantics the application relies on.
// Every routine that depends on the locale takes the settings, defaulting to the
// process-wide ones.
namespace rtl {

// --- Trimming and case --------------------------------------------------------
// Removes characters at or below U+0020 from both ends.
QString Trim(const QString& s);
// Upper-cases only the ASCII letters a to z.
QString UpperCaseAscii(const QString& s);
// Upper-cases with the operating system's rules (accented letters included).
QString AnsiUpperCase(const QString& s);

// --- Integers --------------------------------------------------------------------
// Leading blanks, optional sign, decimal digits, or hex after "$", "0x" or a lone "x"
// (either case, at most 8 hex digits); nothing may follow; decimal within 32 bits.
bool TryStrToInt(const QString& s, int32_t& value);
// Raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(const QString& s);

// --- Floating point and currency --------------------------------------------------
// Optional blanks and sign, digits with the locale's decimal separator, optional exponent;
// no grouping separators.
bool TryStrToFloat(const QString& s, double& value, const TFormatSettings& fs = FormatSettings());
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const QString& s, const TFormatSettings& fs = FormatSettings());
bool TryStrToCurr(const QString& s, Currency& value, const TFormatSettings& fs = FormatSettings());
Currency StrToCurr(const QString& s, const TFormatSettings& fs = FormatSettings());

// General format: shortest text with at most 15 significant digits, plain notation while
// the integer part has at most 15 digits and the magnitude is at least 0.00001, scientific
// otherwise ("1E20", "1.5E-6"), with the locale's decimal separator.
QString FloatToStr(double value, const TFormatSettings& fs = FormatSettings());
QString CurrToStr(Currency value, const TFormatSettings& fs = FormatSettings());

// Number patterns: "0" required digit, "#" optional digit, the first "." the decimal
// place, a "," anywhere asks for thousands grouping, other characters literal; ";"
// separates positive;negative;zero sections. Output uses the locale's separators.
// Covers "00000", "#,##0.00", ",0.00", "0.00", "#.##0,00", "#0.0000".
QString FormatFloat(const QString& pattern, double value, const TFormatSettings& fs = FormatSettings());
// Exact for currency: no binary rounding on the way.
QString FormatCurr(const QString& pattern, Currency value, const TFormatSettings& fs = FormatSettings());

// Rounds half to even, as the classic Round does. Raises EConvertError
// "Invalid floating point operation" for NaN, infinities and values beyond 64 bits.
int64_t RoundHalfEven(double value);

// --- Date and time ------------------------------------------------------------------
// Patterns: d dd m mm yyyy yy h hh n nn s ss z zzz, "/" the date separator, ":" the time
// separator, quoted text literal. "mm" after "h" means minutes, as classically.
// Also "c" (as DateTimeToStr), "ddddd" (short date), "t"/"tt" (long time) and
// "ampm", "am/pm", "a/p" (twelve-hour clock). An empty pattern reads as "c".
QString FormatDateTime(const QString& pattern, TDateTime value, const TFormatSettings& fs = FormatSettings());
// Short date, a blank, long time; the time is left out at exactly midnight.
QString DateTimeToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());
QString DateToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());
// Hours, minutes and optional seconds with the locale's time separator; milliseconds
// after the decimal separator and a trailing AM/PM are accepted too.
bool TryStrToTime(const QString& s, TDateTime& value, const TFormatSettings& fs = FormatSettings());
// Raises EConvertError "'%s' is not a valid time".
TDateTime StrToTime(const QString& s, const TFormatSettings& fs = FormatSettings());
// Parses the short date format, optionally followed by a time.
bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& fs = FormatSettings());
// Raises EConvertError "'%s' is not a valid date and time".
TDateTime StrToDateTime(const QString& s, const TFormatSettings& fs = FormatSettings());
// The short date alone; two-digit years fall within fifty years of today, a missing year
// is the current one.
bool TryStrToDate(const QString& s, TDateTime& value, const TFormatSettings& fs = FormatSettings());
// Raises EConvertError "'%s' is not a valid date".
TDateTime StrToDate(const QString& s, const TFormatSettings& fs = FormatSettings());
// The long time format.
QString TimeToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());

// --- Edit masks ------------------------------------------------------------------------
// Lays value into an edit mask of the classic mask language ("\(00\) 0000\-0000;0;"):
// "\" makes the next character literal, "0" (and "9", "#", "L", "l", "A", "a", "C", "c")
// takes the next character of value as it is, other characters are literals; with a
// ";0" second field, literals are not part of value. Missing characters become blanks
// (the mask's blank character, third field, default " "). Characters of value beyond
// the mask are appended unchanged.
QString FormatMaskText(const QString& mask, const QString& value);

}  // namespace rtl
