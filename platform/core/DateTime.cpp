#include "platform/core/DateTime.h"

#include <cmath>
#include <limits>

#include "platform/core/Exception.h"

namespace core {

namespace {

// Beyond this many days from the zero date no day number is a QDate, and the rest of a split is safe
// in 64 bits; the exact ends are QDate's own, checked on the day number.
constexpr double kMaxDays = 1e13;

[[noreturn]] void outsideCalendar(double value) {
    throw Exception(QStringLiteral("Date-time value %1 is outside the calendar").arg(value, 0, 'g', 17));
}

// Splits a value into whole days and milliseconds of the day, carrying a time that rounds up to
// midnight into the next day. A value with no date in QDate's calendar (NaN, infinity, a day number
// beyond its range) is refused before any conversion to an integer could overflow.
void split(double value, qint64& days, qint64& ms) {
    if (!(std::fabs(value) < kMaxDays)) outsideCalendar(value);
    double whole = std::trunc(value);
    days = static_cast<qint64>(whole);
    ms = std::llround(std::fabs(value - whole) * DateTime::kMsPerDay);
    if (ms >= static_cast<qint64>(DateTime::kMsPerDay)) {
        ms = 0;
        days += value < 0 ? -1 : 1;
    }
    if (!QDate::fromJulianDay(days + DateTime::kEpochJulianDay).isValid()) outsideCalendar(value);
}

// Builds the value from a day number and a time fraction; before the epoch the fraction still
// counts forward within the day, so it is subtracted from the negative day number.
double combine(qint64 days, double fraction) {
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

}  // namespace

DateTime DateTime::fromDate(const QDate& date) {
    if (!date.isValid()) return DateTime();
    return DateTime(static_cast<double>(date.toJulianDay() - kEpochJulianDay));
}

DateTime DateTime::fromTime(const QTime& time) {
    if (!time.isValid()) return DateTime();
    return DateTime(time.msecsSinceStartOfDay() / kMsPerDay);
}

DateTime DateTime::fromDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid()) return DateTime();
    qint64 days = dateTime.date().toJulianDay() - kEpochJulianDay;
    return DateTime(combine(days, dateTime.time().msecsSinceStartOfDay() / kMsPerDay));
}

DateTime DateTime::encode(int year, int month, int day, int hour, int minute, int second, int msec) {
    QDate d(year, month, day);
    QTime t(hour, minute, second, msec);
    if (!d.isValid() || !t.isValid()) {
        throw Exception(QStringLiteral("Invalid argument to date encode"));
    }
    return fromDateTime(QDateTime(d, t));
}

DateTime DateTime::now() { return fromDateTime(QDateTime::currentDateTime()); }

DateTime DateTime::today() { return fromDate(QDate::currentDate()); }

int DateTime::dayNumber() const {
    qint64 days, ms;
    split(value_, days, ms);
    if (days < std::numeric_limits<int>::min() || days > std::numeric_limits<int>::max())
        outsideCalendar(value_);
    return static_cast<int>(days);
}

double DateTime::timeFraction() const {
    qint64 days, ms;
    split(value_, days, ms);
    return ms / kMsPerDay;
}

bool DateTime::hasTime() const {
    qint64 days, ms;
    split(value_, days, ms);
    return ms != 0;
}

QDate DateTime::date() const {
    qint64 days, ms;
    split(value_, days, ms);
    return QDate::fromJulianDay(days + kEpochJulianDay);
}

QTime DateTime::time() const {
    qint64 days, ms;
    split(value_, days, ms);
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

QDateTime DateTime::toQDateTime() const { return QDateTime(date(), time()); }

DateTime DateTime::addDays(int days) const { return DateTime(value_ + days); }

}  // namespace core
