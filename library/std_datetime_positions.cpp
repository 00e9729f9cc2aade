// Where a moment lies inside its year, month, week, day, hour, minute and second.
#include "engine/runtime/date_time.h"
#include "library/std_datetime.h"
#include "library/std_datetime_detail.h"

namespace novrix::library::datetime {

namespace {

using detail::decodeHnsz;
using detail::decodeYmd;

// Milliseconds into the day; the larger units below build on it as Delphi does, in 32 bits.
uint32_t msOfDay(const detail::Hnsz& t) {
    return ((uint32_t(t.hour) * 60 + uint32_t(t.minute)) * 60 + uint32_t(t.second)) * 1000 +
           uint32_t(t.milliSecond);
}

// ISO week of the month: a week belongs to the month holding its Thursday, like a week of the year.
struct MonthWeek {
    int year, month, week;
};

MonthWeek decodeMonthWeek(double v) {
    const auto d = decodeYmd(v);
    const double first = rt::encodeDate(d.year, d.month, 1);
    const int firstDay = dayOfTheWeek(first);
    int dayOfMonth = d.day - 1 + firstDay;
    if (firstDay > 4)
        dayOfMonth -= 7;
    if (dayOfMonth <= 0)
        return decodeMonthWeek(first - 1); // in the last week of the month before
    MonthWeek r{d.year, d.month, dayOfMonth / 7 + (dayOfMonth % 7 != 0 ? 1 : 0)};
    const int monthDays = rt::daysInMonth(d.year, d.month);
    const int lastDay = dayOfTheWeek(rt::encodeDate(d.year, d.month, monthDays));
    if (lastDay < 4 && monthDays - d.day < lastDay) { // in the first week of the month after
        r.week = 1;
        if (++r.month == 13) {
            r.month = 1;
            ++r.year;
        }
    }
    return r;
}

} // namespace

Word monthOfTheYear(double v) {
    return monthOf(v);
}
Word weekOfTheYear(double v) {
    return decodeDateWeek(v).weekOfYear;
}
Word dayOfTheYear(double v) {
    return decodeDateDay(v).dayOfYear;
}

Word hourOfTheYear(double v) {
    return Word(hourOf(v) + (dayOfTheYear(v) - 1) * 24);
}

LongWord minuteOfTheYear(double v) {
    const auto t = decodeHnsz(v);
    return LongWord(t.minute + (t.hour + (dayOfTheYear(v) - 1) * 24) * 60);
}

LongWord secondOfTheYear(double v) {
    const auto t = decodeHnsz(v);
    return LongWord((t.minute + (t.hour + (dayOfTheYear(v) - 1) * 24) * 60) * 60 + t.second);
}

int64_t milliSecondOfTheYear(double v) {
    const auto t = decodeHnsz(v);
    return (int64_t(dayOfTheYear(v)) - 1) * 86'400'000 + msOfDay(t);
}

Word weekOfTheMonth(double v) {
    return Word(decodeMonthWeek(v).week);
}
Word dayOfTheMonth(double v) {
    return dayOf(v);
}

Word hourOfTheMonth(double v) {
    const auto p = decodeDateTime(v);
    return Word((p.day - 1) * 24 + p.hour);
}

Word minuteOfTheMonth(double v) {
    const auto p = decodeDateTime(v);
    return Word(((p.day - 1) * 24 + p.hour) * 60 + p.minute);
}

LongWord secondOfTheMonth(double v) {
    const auto p = decodeDateTime(v);
    return LongWord((((p.day - 1) * 24 + p.hour) * 60 + p.minute) * 60 + p.second);
}

LongWord milliSecondOfTheMonth(double v) {
    const auto p = decodeDateTime(v);
    return LongWord(p.day - 1) * 86'400'000u + msOfDay({p.hour, p.minute, p.second, p.milliSecond});
}

Word dayOfTheWeek(double v) {
    return Word((rt::dayOfWeek(v) + 5) % 7 + 1);
}

Word hourOfTheWeek(double v) {
    return Word((dayOfTheWeek(v) - 1) * 24 + hourOf(v));
}

Word minuteOfTheWeek(double v) {
    const auto t = decodeHnsz(v);
    return Word(((dayOfTheWeek(v) - 1) * 24 + t.hour) * 60 + t.minute);
}

LongWord secondOfTheWeek(double v) {
    const auto t = decodeHnsz(v);
    return LongWord((((dayOfTheWeek(v) - 1) * 24 + t.hour) * 60 + t.minute) * 60 + t.second);
}

LongWord milliSecondOfTheWeek(double v) {
    return LongWord(dayOfTheWeek(v) - 1) * 86'400'000u + msOfDay(decodeHnsz(v));
}

Word hourOfTheDay(double v) {
    return hourOf(v);
}

Word minuteOfTheDay(double v) {
    const auto t = decodeHnsz(v);
    return Word(t.hour * 60 + t.minute);
}

LongWord secondOfTheDay(double v) {
    const auto t = decodeHnsz(v);
    return LongWord((t.hour * 60 + t.minute) * 60 + t.second);
}

LongWord milliSecondOfTheDay(double v) {
    return msOfDay(decodeHnsz(v));
}

Word minuteOfTheHour(double v) {
    return minuteOf(v);
}

Word secondOfTheHour(double v) {
    const auto t = decodeHnsz(v);
    return Word(t.minute * 60 + t.second);
}

LongWord milliSecondOfTheHour(double v) {
    const auto t = decodeHnsz(v);
    return LongWord((t.minute * 60 + t.second) * 1000 + t.milliSecond);
}

Word secondOfTheMinute(double v) {
    return secondOf(v);
}

LongWord milliSecondOfTheMinute(double v) {
    const auto t = decodeHnsz(v);
    return LongWord(t.second * 1000 + t.milliSecond);
}

Word milliSecondOfTheSecond(double v) {
    return milliSecondOf(v);
}

} // namespace novrix::library::datetime
