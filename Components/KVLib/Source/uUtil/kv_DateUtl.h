#pragma once
// Periods, Russian and Ukrainian month names, dates in words and date stamps for file names.

#include <QString>

#include "platform/core/DateTime.h"

namespace utl::DateUtl {

// A report or calculation period, both ends included.
struct DateInterval {
    core::DateTime begin;
    core::DateTime end;

    DateInterval() = default;
    DateInterval(core::DateTime begin, core::DateTime end) : begin(begin), end(end) {}

    bool contains(core::DateTime date) const { return begin <= date && date <= end; }
};

// The parts of a date that numbering templates and documents put together.
struct DateStr {
    QString day;        // two digits
    QString month;      // two digits
    QString monthName;  // Russian, genitive
    QString year2;      // two digits
    QString year4;      // four digits
    QString text;       // day, month name and four-digit year: "05 января 2009"
};

// Lower-case month names, nominative or genitive; the empty text for a month outside 1 to 12.
QString monthNameRu(int month, bool genitive);
QString monthNameUk(int month, bool genitive);

// "05 января 2009": two-digit day, Russian genitive month name, year.
QString dateToText(core::DateTime date);
DateStr dateToDateStr(core::DateTime date);
// The year's decimal text; with width 2 its third and fourth characters (2009 gives "09").
QString yearStr(int year, int width);
// "2009-05-25", with the time "2009-05-25_14-03-07"; a date-time of exactly 0 means now.
QString dateTimeStamp(core::DateTime dateTime, bool withTime);

}  // namespace utl::DateUtl
