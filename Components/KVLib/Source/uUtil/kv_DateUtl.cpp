#include "kv_DateUtl.h"

#include <array>

namespace utl::DateUtl {

namespace {

struct MonthNames {
    const char* nominative;
    const char* genitive;
};

constexpr std::array<MonthNames, 12> kRussian{{
    {"январь", "января"},
    {"февраль", "февраля"},
    {"март", "марта"},
    {"апрель", "апреля"},
    {"май", "мая"},
    {"июнь", "июня"},
    {"июль", "июля"},
    {"август", "августа"},
    {"сентябрь", "сентября"},
    {"октябрь", "октября"},
    {"ноябрь", "ноября"},
    {"декабрь", "декабря"},
}};

constexpr std::array<MonthNames, 12> kUkrainian{{
    {"січень", "січня"},
    {"лютий", "лютого"},
    {"березень", "березня"},
    {"квітень", "квітня"},
    {"травень", "травня"},
    {"червень", "червня"},
    {"липень", "липня"},
    {"серпень", "серпня"},
    {"вересень", "вересня"},
    {"жовтень", "жовтня"},
    {"листопад", "листопада"},
    {"грудень", "грудня"},
}};

QString monthName(const std::array<MonthNames, 12>& names, int month, bool genitive) {
    if (month < 1 || month > 12) return QString();
    const MonthNames& m = names[month - 1];
    return QString::fromUtf8(genitive ? m.genitive : m.nominative);
}

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

}  // namespace

QString monthNameRu(int month, bool genitive) {
    return monthName(kRussian, month, genitive);
}

QString monthNameUk(int month, bool genitive) {
    return monthName(kUkrainian, month, genitive);
}

QString dateToText(core::DateTime date) {
    const QDate d = date.date();
    return twoDigits(d.day()) + u' ' + monthNameRu(d.month(), true) + u' ' + QString::number(d.year());
}

DateStr dateToDateStr(core::DateTime date) {
    const QDate d = date.date();
    DateStr s;
    s.day = twoDigits(d.day());
    s.month = twoDigits(d.month());
    s.monthName = monthNameRu(d.month(), true);
    s.year2 = yearStr(d.year(), 2);
    s.year4 = yearStr(d.year(), 4);
    s.text = s.day + u' ' + s.monthName + u' ' + s.year4;
    return s;
}

QString yearStr(int year, int width) {
    const QString text = QString::number(year);
    return width == 2 ? text.mid(2, 2) : text;
}

QString dateTimeStamp(core::DateTime dateTime, bool withTime) {
    const QDateTime moment = dateTime.isZero() ? QDateTime::currentDateTime() : dateTime.toQDateTime();
    const QDate d = moment.date();
    QString text = QString::number(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day());
    if (withTime) {
        const QTime t = moment.time();
        text += u'_' + twoDigits(t.hour()) + u'-' + twoDigits(t.minute()) + u'-' + twoDigits(t.second());
    }
    return text;
}

}  // namespace utl::DateUtl
