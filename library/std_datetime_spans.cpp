// Distances between two moments, and moments a number of units away.
#include "engine/runtime/date_time.h"
#include "library/std_datetime.h"
#include "library/std_datetime_detail.h"

#include <cmath>

namespace novrix::library::datetime {

namespace {

constexpr double kApproxDaysPerMonth = 30.4375;
constexpr double kApproxDaysPerYear = 365.25;
constexpr double kOneMilliSecond = 1.0 / 86'400'000;
constexpr double kHalfMilliSecond = kOneMilliSecond / 2;
// Moments a rounding error apart from a whole day count as that day (the gap between 1 and the next double).
constexpr long double kEpsilon = 2.2204460493e-16L;

// The length of the time between two moments, in days.
double spanDays(double now, double then) {
    return std::fabs(detail::straightDays(now) - detail::straightDays(then));
}

// The span with half a millisecond added, so that a span computed as 0.99999999 seconds counts as the
// second it stands for when it is truncated to whole units.
double paddedSpan(double now, double then) {
    return spanDays(now, then) + kHalfMilliSecond;
}

long double intPart(long double x) {
    return std::trunc(x);
}
long double fracPart(long double x) {
    return x - std::trunc(x);
}

bool sameValue(long double a, long double b, long double epsilon) {
    return a > b ? a - b <= epsilon : b - a <= epsilon;
}

// Stepping across 1899-12-30 flips the meaning of the fraction; rebuild the result so that the time of
// day comes out right on the other side.
double skipTimeWarp(double oldValue, double newValue) {
    const long double n = newValue;
    if (oldValue >= 0 && n < -kEpsilon)
        return double(intPart(n - 1.0L + kEpsilon) - fracPart(1.0L + fracPart(n)));
    if (oldValue <= -1.0 && n > -1.0L + kEpsilon)
        return double(intPart(n + 1.0L - kEpsilon) + fracPart(1.0L - std::fabs(fracPart(1.0L + n))));
    return newValue;
}

// Adds a time span to a moment before 1899-12-30, whose fraction counts forward from the start of its day.
double addToNegative(double value, double addend) {
    long double day = value;
    long double time = double(-fracPart(value) + fracPart(addend));
    if (sameValue(time, intPart(time) + 1, kEpsilon))
        time = intPart(time) + 1;
    else if (sameValue(time, intPart(time), kEpsilon))
        time = intPart(time);
    if (time < -kEpsilon) {
        time = 1.0L + time;
        day = intPart(day) - 1;
    } else if (time >= 1.0L - kEpsilon) {
        time = time - 1.0L;
        day = intPart(day) + 1;
    }
    return double(intPart(day) + intPart(addend) - time);
}

double addTime(double value, int64_t count, int64_t perDay) {
    const double addend = double(count) / double(perDay);
    return skipTimeWarp(value, value >= 0 ? value + addend : addToNegative(value, addend));
}

} // namespace

bool withinPastYears(double now, double then, int32_t years) {
    return yearsBetween(now, then) <= years;
}
bool withinPastMonths(double now, double then, int32_t months) {
    return monthsBetween(now, then) <= months;
}
bool withinPastWeeks(double now, double then, int32_t weeks) {
    return weeksBetween(now, then) <= weeks;
}
bool withinPastDays(double now, double then, int32_t days) {
    return daysBetween(now, then) <= days;
}
bool withinPastHours(double now, double then, int64_t hours) {
    return hoursBetween(now, then) <= hours;
}
bool withinPastMinutes(double now, double then, int64_t minutes) {
    return minutesBetween(now, then) <= minutes;
}
bool withinPastSeconds(double now, double then, int64_t seconds) {
    return secondsBetween(now, then) <= seconds;
}
bool withinPastMilliSeconds(double now, double then, int64_t milliSeconds) {
    return milliSecondsBetween(now, then) <= milliSeconds;
}

int32_t yearsBetween(double now, double then) {
    return int32_t(detail::truncInt(paddedSpan(now, then) / kApproxDaysPerYear));
}
int32_t monthsBetween(double now, double then) {
    return int32_t(detail::truncInt(paddedSpan(now, then) / kApproxDaysPerMonth));
}
int32_t weeksBetween(double now, double then) {
    return int32_t(detail::truncInt(paddedSpan(now, then))) / 7;
}
int32_t daysBetween(double now, double then) {
    return int32_t(detail::truncInt(paddedSpan(now, then)));
}
int64_t hoursBetween(double now, double then) {
    return detail::truncInt(paddedSpan(now, then) * 24);
}
int64_t minutesBetween(double now, double then) {
    return detail::truncInt(paddedSpan(now, then) * 1440);
}
int64_t secondsBetween(double now, double then) {
    return detail::truncInt(paddedSpan(now, then) * 86'400);
}
int64_t milliSecondsBetween(double now, double then) {
    return detail::truncInt(paddedSpan(now, then) * 86'400'000);
}

double yearSpan(double now, double then) {
    return spanDays(now, then) / kApproxDaysPerYear;
}
double monthSpan(double now, double then) {
    return spanDays(now, then) / kApproxDaysPerMonth;
}
double weekSpan(double now, double then) {
    return spanDays(now, then) / 7;
}
double daySpan(double now, double then) {
    return spanDays(now, then);
}
double hourSpan(double now, double then) {
    return spanDays(now, then) * 24;
}
double minuteSpan(double now, double then) {
    return spanDays(now, then) * 1440;
}
double secondSpan(double now, double then) {
    return spanDays(now, then) * 86'400;
}
double milliSecondSpan(double now, double then) {
    return spanDays(now, then) * 86'400'000;
}

// As IncMonth by twelve months a year: the day is clamped to the length of the new month and the time of
// day is kept as it is.
double incYear(double v, int32_t years) {
    const auto d = detail::decodeYmd(v);
    // Word arithmetic as in Delphi: a year pushed out of 1..9999 fails in EncodeDate.
    const int year = int((d.year + int64_t(years)) & 0xFFFF);
    const int month = d.month;
    int day = d.day;
    if (month >= 1 && month <= 12 && day > rt::daysInMonth(year, month))
        day = rt::daysInMonth(year, month);
    // The time of day is kept to the bit, except when it rounds up to the next midnight: the date was
    // decoded as that next day already (Delphi adds the fraction once more and lands a day late).
    const auto t = detail::decodeHnsz(v);
    const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0 && t.milliSecond == 0;
    const double time = midnight ? 0.0 : std::fabs(detail::fracDays(v));
    return detail::composeDateTime(rt::encodeDate(year, month, day), time);
}

double incWeek(double v, int32_t weeks) {
    return skipTimeWarp(v, v + double(int64_t(weeks) * 7));
}
double incDay(double v, int32_t days) {
    return skipTimeWarp(v, v + double(days));
}
double incHour(double v, int64_t hours) {
    return addTime(v, hours, 24);
}
double incMinute(double v, int64_t minutes) {
    return addTime(v, minutes, 1440);
}
double incSecond(double v, int64_t seconds) {
    return addTime(v, seconds, 86'400);
}
double incMilliSecond(double v, int64_t milliSeconds) {
    return addTime(v, milliSeconds, 86'400'000);
}

} // namespace novrix::library::datetime
