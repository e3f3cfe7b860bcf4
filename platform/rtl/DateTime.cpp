#include "platform/rtl/DateTime.h"

#include <QTime>
#include <cmath>

#include "platform/rtl/Exceptions.h"

namespace {

constexpr qint64 kMsPerDay = 86400000;
// 30/12/1899; constant-initialised, so that date-times work during static initialisation too.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);
// 01/01/0001 and 31/12/9999 as day numbers.
constexpr double kMinDay = -693593;
constexpr double kMaxDay = 2958465;

rtl::ClockSource g_clock = nullptr;

struct Decoded {
  QDate date;
  qint64 msOfDay = 0;
};

Decoded Decode(TDateTime value) {
  if (!std::isfinite(value) || value < kMinDay || value >= kMaxDay + 1)
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(value, 0, 'g', 15));
  double day = std::trunc(value);
  qint64 ms = std::llround(std::fabs(value - day) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    day += 1;
  }
  return {kEpoch.addDays(static_cast<qint64>(day)), ms};
}

}  // namespace

namespace rtl {

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  const double day = std::trunc(date);
  const double fraction = std::fabs(time - std::trunc(time));
  return day >= 0 ? day + fraction : day - fraction;
}

TDateTime EncodeDate(int year, int month, int day) {
  const QDate date(year, month, day);
  if (year < 1 || year > 9999 || !date.isValid())
    throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return static_cast<double>(kEpoch.daysTo(date));
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999)
    throw EConvertError(QStringLiteral("Invalid argument to time encode"));
  const qint64 ms = ((hour * 60 + minute) * 60 + second) * 1000LL + msec;
  return static_cast<double>(ms) / kMsPerDay;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  Decode(value).date.getDate(&year, &month, &day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
  const qint64 ms = Decode(value).msOfDay;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
}

TDateTime ToDateTime(const QDateTime& value) {
  if (!value.isValid()) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  const QDateTime local = value.toLocalTime();
  const double date = static_cast<double>(kEpoch.daysTo(local.date()));
  const double time = static_cast<double>(local.time().msecsSinceStartOfDay()) / kMsPerDay;
  return ComposeDateTime(date, time);
}

QDateTime ToQDateTime(TDateTime value) {
  const Decoded d = Decode(value);
  return QDateTime(d.date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(d.msOfDay)));
}

QDateTime CurrentDateTime() {
  return g_clock ? g_clock() : QDateTime::currentDateTime();
}

void SetClockSource(ClockSource source) {
  g_clock = source;
}

TDateTime Now() {
  return ToDateTime(CurrentDateTime());
}

}  // namespace rtl
