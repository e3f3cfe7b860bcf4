#pragma once

#include <QDateTime>

// Days since 30/12/1899, with the time of day as the fraction: the classic date-time.
using TDateTime = double;

namespace rtl {

TDateTime ToDateTime(const QDateTime& value);   // local time, milliseconds kept
QDateTime ToQDateTime(TDateTime value);         // local time
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);

// The clock that logs and defaults read. Tests install their own source.
using ClockSource = QDateTime (*)();
QDateTime CurrentDateTime();
void SetClockSource(ClockSource source);  // nullptr restores the system clock
TDateTime Now();

}  // namespace rtl
