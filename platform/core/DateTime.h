#pragma once
// A date and time of day as a count of days since 30.12.1899 (the fraction is the time of day), the
// representation the program's day numbers and its "zero date" rest on.

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <compare>

namespace core {

class DateTime {
public:
    // Day number of 30.12.1899 on the Julian day scale.
    static constexpr qint64 kEpochJulianDay = 2415019;
    static constexpr double kMsPerDay = 86400000.0;

    constexpr DateTime() = default;
    constexpr explicit DateTime(double days) : value_(days) {}

    static DateTime fromDate(const QDate& date);
    static DateTime fromTime(const QTime& time);
    static DateTime fromDateTime(const QDateTime& dateTime);
    // Throws core::Exception when the parts do not make a valid date or time.
    static DateTime encode(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                           int msec = 0);
    static DateTime now();
    static DateTime today();

    constexpr double value() const { return value_; }
    // The parts below raise core::Exception for a value with no date in the calendar: NaN, an
    // infinity, a day number beyond what QDate (or, for dayNumber, an int) can hold.
    // Whole days since 30.12.1899 (the date part), toward zero as the representation defines it.
    int dayNumber() const;
    DateTime datePart() const { return DateTime(static_cast<double>(dayNumber())); }
    // The time of day as a fraction of a day, always 0 <= t < 1.
    double timeFraction() const;
    bool hasTime() const;
    bool isZero() const { return value_ == 0.0; }

    QDate date() const;
    QTime time() const;  // rounded to milliseconds
    QDateTime toQDateTime() const;

    DateTime addDays(int days) const;

    friend constexpr bool operator==(DateTime a, DateTime b) { return a.value_ == b.value_; }
    friend constexpr auto operator<=>(DateTime a, DateTime b) { return a.value_ <=> b.value_; }

private:
    double value_ = 0.0;
};

}  // namespace core
