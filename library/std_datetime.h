#pragma once
// The date and time set of the script vocabulary: Delphi's DateUtils routines as plain functions on
// TDateTime values (days since 1899-12-30, the fraction being the time of day; before that day the
// fraction still counts forward, so -1.25 is 1899-12-29 06:00). The parameter and result types are the
// Pascal ones (Word, LongWord, Integer, Int64), so that the script adapters only move values.
//
// Results are Delphi's where Delphi and Free Pascal agree. Moments before 1899-12-30 are taken as the
// moments they decode to: day counts, spans, steps and Julian dates treat the days before it as real days
// (both compute on the raw number in places and can be a day off). Where the two differ otherwise, Delphi
// is followed: the error texts, EndOfTheWeek, IncYear and TryEncodeDateDay.
// Failures raise rt::ScriptError with Delphi's class and message.
#include "engine/runtime/format_settings.h"

#include <cstdint>

namespace novrix::library::datetime {

using Word = uint16_t;
using LongWord = uint32_t;

// A Recode argument with this value keeps the field of the given date (RecodeLeaveFieldAsIs).
constexpr Word kLeaveFieldAsIs = 0xFFFF;

struct DateTimeParts {
    Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milliSecond = 0;
};
struct DateWeek {
    Word year = 0, weekOfYear = 0, dayOfWeek = 0; // ISO 8601: weeks start on Monday (1) .. Sunday (7)
};
struct DateDay {
    Word year = 0, dayOfYear = 0;
};
// A Try... result: `ok`, and the value the routine stores in its out parameter (`written` false when it
// leaves it alone).
struct TryResult {
    bool ok = false;
    bool written = false;
    double value = 0;
};

// --- trimming and identification
double dateOf(double v);
double timeOf(double v);
bool isInLeapYear(double v);
bool isPM(double v);
bool isValidDate(Word year, Word month, Word day);
bool isValidTime(Word hour, Word minute, Word second, Word milliSecond);   // 24:00:00.000 included
bool isTimeNextDay(Word hour, Word minute, Word second, Word milliSecond); // exactly 24:00:00.000
bool isValidDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second, Word milliSecond);
bool isValidDateDay(Word year, Word dayOfYear);
bool isValidDateWeek(Word year, Word weekOfYear, Word dayOfWeek);

// --- sizes
Word weeksInYear(double v);
Word weeksInAYear(Word year);
Word daysInYear(double v);
Word daysInAYear(Word year);
Word daysInMonth(double v);
Word daysInAMonth(Word year, Word month); // ERangeError for a month outside 1..12

// --- fields (decoded after rounding to the millisecond)
Word yearOf(double v);
Word monthOf(double v);
Word weekOf(double v);
Word dayOf(double v);
Word hourOf(double v);
Word minuteOf(double v);
Word secondOf(double v);
Word milliSecondOf(double v);

// --- start and end of a period (the end is its last millisecond). The routines taking `fs` can fail
// like RecodeTime, past 9999-12-31.
double startOfTheYear(double v);
double endOfTheYear(double v);
double startOfAYear(Word year);
double endOfAYear(Word year);
double startOfTheMonth(double v);
double endOfTheMonth(double v);
double startOfAMonth(Word year, Word month);
double endOfAMonth(Word year, Word month);
double startOfTheWeek(double v);
double endOfTheWeek(double v, const rt::FormatSettings& fs);
double startOfAWeek(Word year, Word weekOfYear, Word dayOfWeek);
double endOfAWeek(Word year, Word weekOfYear, Word dayOfWeek, const rt::FormatSettings& fs);
double startOfTheDay(double v);
double endOfTheDay(double v, const rt::FormatSettings& fs);

// --- position inside a period, counted from 1 for months, weeks and days and from 0 for the rest
Word monthOfTheYear(double v);
Word weekOfTheYear(double v);
Word dayOfTheYear(double v);
Word hourOfTheYear(double v);
LongWord minuteOfTheYear(double v);
LongWord secondOfTheYear(double v);
int64_t milliSecondOfTheYear(double v);
Word weekOfTheMonth(double v);
Word dayOfTheMonth(double v);
Word hourOfTheMonth(double v);
Word minuteOfTheMonth(double v);
LongWord secondOfTheMonth(double v);
LongWord milliSecondOfTheMonth(double v);
Word dayOfTheWeek(double v); // 1 = Monday .. 7 = Sunday
Word hourOfTheWeek(double v);
Word minuteOfTheWeek(double v);
LongWord secondOfTheWeek(double v);
LongWord milliSecondOfTheWeek(double v);
Word hourOfTheDay(double v);
Word minuteOfTheDay(double v);
LongWord secondOfTheDay(double v);
LongWord milliSecondOfTheDay(double v);
Word minuteOfTheHour(double v);
Word secondOfTheHour(double v);
LongWord milliSecondOfTheHour(double v);
Word secondOfTheMinute(double v);
LongWord milliSecondOfTheMinute(double v);
Word milliSecondOfTheSecond(double v);

// --- distances: whole units between two moments (order does not matter), approximate months of
// 30.4375 days and years of 365.25 days
bool withinPastYears(double now, double then, int32_t years);
bool withinPastMonths(double now, double then, int32_t months);
bool withinPastWeeks(double now, double then, int32_t weeks);
bool withinPastDays(double now, double then, int32_t days);
bool withinPastHours(double now, double then, int64_t hours);
bool withinPastMinutes(double now, double then, int64_t minutes);
bool withinPastSeconds(double now, double then, int64_t seconds);
bool withinPastMilliSeconds(double now, double then, int64_t milliSeconds);
int32_t yearsBetween(double now, double then);
int32_t monthsBetween(double now, double then);
int32_t weeksBetween(double now, double then);
int32_t daysBetween(double now, double then);
int64_t hoursBetween(double now, double then);
int64_t minutesBetween(double now, double then);
int64_t secondsBetween(double now, double then);
int64_t milliSecondsBetween(double now, double then);
double yearSpan(double now, double then);
double monthSpan(double now, double then);
double weekSpan(double now, double then);
double daySpan(double now, double then);
double hourSpan(double now, double then);
double minuteSpan(double now, double then);
double secondSpan(double now, double then);
double milliSecondSpan(double now, double then);

// --- stepping
double incYear(double v, int32_t years); // 29 February becomes 28 February in a common year
double incWeek(double v, int32_t weeks);
double incDay(double v, int32_t days);
double incHour(double v, int64_t hours);
double incMinute(double v, int64_t minutes);
double incSecond(double v, int64_t seconds);
double incMilliSecond(double v, int64_t milliSeconds);

// --- encoding and decoding. The Encode and Recode routines raise EConvertError with Delphi's texts; the
// date and time text of Encode/RecodeDateTime uses the separators of `fs`.
double encodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second, Word milliSecond,
                      const rt::FormatSettings& fs);
DateTimeParts decodeDateTime(double v);
double encodeDateWeek(Word year, Word weekOfYear, Word dayOfWeek);
DateWeek decodeDateWeek(double v);
double encodeDateDay(Word year, Word dayOfYear);
DateDay decodeDateDay(double v);
TryResult tryEncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                            Word milliSecond);
TryResult tryEncodeDateWeek(Word year, Word weekOfYear, Word dayOfWeek);
TryResult tryEncodeDateDay(Word year, Word dayOfYear);

double recodeYear(double v, Word year, const rt::FormatSettings& fs);
double recodeMonth(double v, Word month, const rt::FormatSettings& fs);
double recodeDay(double v, Word day, const rt::FormatSettings& fs);
double recodeHour(double v, Word hour, const rt::FormatSettings& fs);
double recodeMinute(double v, Word minute, const rt::FormatSettings& fs);
double recodeSecond(double v, Word second, const rt::FormatSettings& fs);
double recodeMilliSecond(double v, Word milliSecond, const rt::FormatSettings& fs);
double recodeDate(double v, Word year, Word month, Word day, const rt::FormatSettings& fs);
double recodeTime(double v, Word hour, Word minute, Word second, Word milliSecond,
                  const rt::FormatSettings& fs);
double recodeDateTime(double v, Word year, Word month, Word day, Word hour, Word minute, Word second,
                      Word milliSecond, const rt::FormatSettings& fs);
TryResult tryRecodeDateTime(double v, Word year, Word month, Word day, Word hour, Word minute, Word second,
                            Word milliSecond);

// --- comparison and Julian dates
bool sameDateTime(double a, double b); // less than one millisecond apart
double dateTimeToJulianDate(double v);
double julianDateToDateTime(double julian, const rt::FormatSettings& fs);
double dateTimeToModifiedJulianDate(double v);
double modifiedJulianDateToDateTime(double modifiedJulian, const rt::FormatSettings& fs);

} // namespace novrix::library::datetime
