// Start and end of years, months, weeks and days; dates given as ISO week or as day of the year.
#include "engine/runtime/date_time.h"
#include "engine/runtime/script_error.h"
#include "library/std_datetime.h"
#include "library/std_datetime_detail.h"

#include <cstdio>
#include <string>

namespace novrix::library::datetime {

namespace {

using detail::decodeYmd;

// The last millisecond of a date that is known to be valid.
double endOfValidDay(double date) {
    return detail::composeDateTime(date, rt::encodeTime(23, 59, 59, 999));
}

[[noreturn]] void convertError(const std::string& message) {
    throw rt::ScriptError(rt::ExcClass::EConvertError, message);
}

} // namespace

namespace detail {

double lastMilliSecondOfDay(double v, const rt::FormatSettings& fs) {
    return recodeTime(v, 23, 59, 59, 999, fs);
}

} // namespace detail

double startOfTheYear(double v) {
    return rt::encodeDate(yearOf(v), 1, 1);
}
double endOfTheYear(double v) {
    return endOfValidDay(rt::encodeDate(yearOf(v), 12, 31));
}
double startOfAYear(Word year) {
    return rt::encodeDate(year, 1, 1);
}
double endOfAYear(Word year) {
    return endOfValidDay(rt::encodeDate(year, 12, 31));
}

double startOfTheMonth(double v) {
    const auto d = decodeYmd(v);
    return rt::encodeDate(d.year, d.month, 1);
}

double endOfTheMonth(double v) {
    const auto d = decodeYmd(v);
    return endOfAMonth(Word(d.year), Word(d.month));
}

double startOfAMonth(Word year, Word month) {
    return rt::encodeDate(year, month, 1);
}

double endOfAMonth(Word year, Word month) {
    // A month outside 1..12 is reported by EncodeDate, not by the table of month lengths.
    const int last = month >= 1 && month <= 12 ? rt::daysInMonth(year, month) : 1;
    return endOfValidDay(rt::encodeDate(year, month, last));
}

double startOfTheWeek(double v) {
    return detail::truncDays(v) - dayOfTheWeek(v) + 1;
}

// From the Monday, so that a moment before 1899-12-30 with a time of day lands on its own Sunday.
double endOfTheWeek(double v, const rt::FormatSettings& fs) {
    return detail::lastMilliSecondOfDay(startOfTheWeek(v) + 6, fs);
}

double startOfAWeek(Word year, Word weekOfYear, Word dayOfWeek) {
    return encodeDateWeek(year, weekOfYear, dayOfWeek);
}

double endOfAWeek(Word year, Word weekOfYear, Word dayOfWeek, const rt::FormatSettings& fs) {
    return detail::lastMilliSecondOfDay(encodeDateWeek(year, weekOfYear, dayOfWeek), fs);
}

double startOfTheDay(double v) {
    return detail::truncDays(v);
}
double endOfTheDay(double v, const rt::FormatSettings& fs) {
    return detail::lastMilliSecondOfDay(v, fs);
}

double encodeDateWeek(Word year, Word weekOfYear, Word dayOfWeek) {
    const TryResult r = tryEncodeDateWeek(year, weekOfYear, dayOfWeek);
    if (!r.ok) {
        char text[64];
        std::snprintf(text, sizeof text, "(%d, %d, %d) is not a valid DateWeek triplet", year, weekOfYear,
                      dayOfWeek);
        convertError(text);
    }
    return r.value;
}

TryResult tryEncodeDateWeek(Word year, Word weekOfYear, Word dayOfWeek) {
    if (!isValidDateWeek(year, weekOfYear, dayOfWeek))
        return {};
    // Week 1 is the week holding the year's first Thursday.
    const double sameWeekDay = rt::encodeDate(year, 1, 1) + 7.0 * (weekOfYear - 1);
    const int weekDay = dayOfTheWeek(sameWeekDay);
    int rest = dayOfWeek - weekDay;
    if (weekDay > 4)
        rest += 7;
    return {true, true, sameWeekDay + rest};
}

DateWeek decodeDateWeek(double v) {
    DateWeek r;
    r.year = yearOf(v);
    r.dayOfWeek = dayOfTheWeek(v);
    const double yearStart = startOfAYear(r.year);
    const int startDay = dayOfTheWeek(yearStart);
    // Day number counted from the Monday of week 1.
    int day = int(detail::truncDays(detail::straightDays(v) - yearStart)) + 1;
    if (startDay < 5)
        day += startDay - 1;
    else
        day -= 8 - startDay;
    if (day <= 0) { // in the last week of the year before
        const DateWeek before = decodeDateWeek(yearStart - 1);
        r.year = before.year;
        r.weekOfYear = before.weekOfYear;
        return r;
    }
    r.weekOfYear = Word(day / 7 + (day % 7 != 0 ? 1 : 0));
    if (r.weekOfYear > 52) {
        // The last days of December fall into week 1 of the next year unless that year starts on a Friday,
        // Saturday or Sunday.
        int endDay = startDay;
        if (rt::isLeapYear(r.year) && ++endDay > 7)
            endDay = 1;
        if (endDay < 4) {
            ++r.year;
            r.weekOfYear = 1;
        }
    }
    return r;
}

double encodeDateDay(Word year, Word dayOfYear) {
    const TryResult r = tryEncodeDateDay(year, dayOfYear);
    if (!r.ok) {
        char text[64];
        std::snprintf(text, sizeof text, "(%d, %d) is not a valid DateDay pair", year, dayOfYear);
        convertError(text);
    }
    return r.value;
}

TryResult tryEncodeDateDay(Word year, Word dayOfYear) {
    if (!isValidDateDay(year, dayOfYear))
        return {};
    return {true, true, startOfAYear(year) + dayOfYear - 1};
}

DateDay decodeDateDay(double v) {
    DateDay r;
    r.year = yearOf(v);
    // Counted from the decoded year's first day, so a time rounding up into the next year gives day 1.
    r.dayOfYear = Word(int(detail::truncDays(detail::straightDays(v) - startOfAYear(r.year))) + 1);
    return r;
}

} // namespace novrix::library::datetime
