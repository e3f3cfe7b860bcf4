#pragma once

#include <QDateTime>

// Days since 30/12/1899, with the time of day as the fraction: the classic date-time.
using TDateTime = double;

namespace rtl {

TDateTime ToDateTime(const QDateTime& value);  // local time, milliseconds kept
QDateTime ToQDateTime(TDateTime value);        // local time
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
// Encode* raise EConvertError "Invalid argument to date encode" / "... time encode".

// Date part plus time of day; before 30/12/1899 the fraction still counts forward
// within the day, so -1.25 is 29/12/1899 06:00.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
// Rounded to the millisecond; a value that rounds up to midnight belongs to the next day.
// Raise EConvertError for values outside the years 1 to 9999 (and NaN).
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec);

// The clock that logs and defaults read. Tests install their own source.
using ClockSource = QDateTime (*)();
QDateTime CurrentDateTime();
void SetClockSource(ClockSource source);  // nullptr restores the system clock
TDateTime Now();

}  // namespace rtl
