// Trimming, validity checks, sizes of years and months, and the fields of a TDateTime.
#include "engine/runtime/date_time.h"
#include "engine/runtime/script_error.h"
#include "library/std_datetime.h"
#include "library/std_datetime_detail.h"

#include <cmath>

namespace novrix::library::datetime {

namespace detail {

Ymd decodeYmd(double v) {
    Ymd r;
    rt::decodeDate(v, r.year, r.month, r.day);
    return r;
}

Hnsz decodeHnsz(double v) {
    Hnsz r;
    rt::decodeTime(v, r.hour, r.minute, r.second, r.milliSecond);
    return r;
}

int64_t truncInt(double v) {
    if (!(std::fabs(v) < 9.2e18))
        throw rt::ScriptError(rt::ExcClass::EInvalidOp, "Invalid Floating Point Operation");
    return static_cast<int64_t>(v);
}

// Through an integer, as Delphi's Trunc: the date of -0.5 is 0, not -0.
double truncDays(double v) {
    return double(truncInt(v));
}

double fracDays(double v) {
    return v - std::trunc(v);
}

double straightDays(double v) {
    return v >= 0 ? v : truncDays(v) - fracDays(v);
}

} // namespace detail

using detail::decodeHnsz;
using detail::decodeYmd;

double dateOf(double v) {
    return detail::truncDays(v);
}
double timeOf(double v) {
    return detail::fracDays(v);
}

bool isInLeapYear(double v) {
    return rt::isLeapYear(yearOf(v));
}
bool isPM(double v) {
    return hourOf(v) >= 12;
}

bool isValidDate(Word year, Word month, Word day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= rt::daysInMonth(year, month);
}

bool isValidTime(Word hour, Word minute, Word second, Word milliSecond) {
    return (hour < 24 && minute < 60 && second < 60 && milliSecond < 1000) ||
           isTimeNextDay(hour, minute, second, milliSecond);
}

// Midnight written as the end of the day, 24:00:00.000, which IsValidTime accepts and EncodeTime does not.
bool isTimeNextDay(Word hour, Word minute, Word second, Word milliSecond) {
    return hour == 24 && minute == 0 && second == 0 && milliSecond == 0;
}

bool isValidDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second, Word milliSecond) {
    return isValidDate(year, month, day) && isValidTime(hour, minute, second, milliSecond);
}

bool isValidDateDay(Word year, Word dayOfYear) {
    return year >= 1 && year <= 9999 && dayOfYear >= 1 && dayOfYear <= daysInAYear(year);
}

bool isValidDateWeek(Word year, Word weekOfYear, Word dayOfWeek) {
    // The year is checked first: WeeksInAYear cannot encode a year outside 1..9999.
    return year >= 1 && year <= 9999 && weekOfYear >= 1 && weekOfYear <= weeksInAYear(year) &&
           dayOfWeek >= 1 && dayOfWeek <= 7;
}

Word weeksInYear(double v) {
    return weeksInAYear(yearOf(v));
}

// ISO 8601: a year has 53 weeks when it starts on a Thursday, or on a Wednesday in a leap year.
Word weeksInAYear(Word year) {
    const Word firstDay = dayOfTheWeek(startOfAYear(year));
    return (firstDay == 4 || (firstDay == 3 && rt::isLeapYear(year))) ? 53 : 52;
}

Word daysInYear(double v) {
    return daysInAYear(yearOf(v));
}
Word daysInAYear(Word year) {
    return rt::isLeapYear(year) ? 366 : 365;
}

Word daysInMonth(double v) {
    const auto d = decodeYmd(v);
    return daysInAMonth(Word(d.year), Word(d.month));
}

Word daysInAMonth(Word year, Word month) {
    return Word(rt::daysInMonth(year, month));
}

Word yearOf(double v) {
    return Word(decodeYmd(v).year);
}
Word monthOf(double v) {
    return Word(decodeYmd(v).month);
}
Word weekOf(double v) {
    return weekOfTheYear(v);
}
Word dayOf(double v) {
    return Word(decodeYmd(v).day);
}
Word hourOf(double v) {
    return Word(decodeHnsz(v).hour);
}
Word minuteOf(double v) {
    return Word(decodeHnsz(v).minute);
}
Word secondOf(double v) {
    return Word(decodeHnsz(v).second);
}
Word milliSecondOf(double v) {
    return Word(decodeHnsz(v).milliSecond);
}

} // namespace novrix::library::datetime
