#pragma once
// Helpers shared by the std_datetime sources: decoding into fields, composing a date with a time, and
// Delphi's conversion error for a date and time that cannot be encoded.
#include "engine/runtime/format_settings.h"

#include <cstdint>
#include <string>

namespace novrix::library::datetime::detail {

struct Ymd {
    int year = 0, month = 0, day = 0; // 0/0/0 before 0001-01-01
};
struct Hnsz {
    int hour = 0, minute = 0, second = 0, milliSecond = 0;
};

Ymd decodeYmd(double v);
Hnsz decodeHnsz(double v);

// A whole date plus a time of day: before 1899-12-30 the time is subtracted, as the fraction of a
// negative TDateTime counts forward from the start of its day.
double composeDateTime(double date, double time);

// The date of `v` at 23:59:59.999, through the same path as RecodeTime (so its failure reads as one).
double lastMilliSecondOfDay(double v, const rt::FormatSettings& fs);

// EConvertError "'y-m-d h:n:s.z' is not a valid date and time". A field given as kLeaveFieldAsIs shows
// the field of `baseDate`, or '?' when `baseDate` is 0.
[[noreturn]] void invalidDateTimeError(int year, int month, int day, int hour, int minute, int second,
                                       int milliSecond, double baseDate, const rt::FormatSettings& fs);

// Delphi's Trunc and Frac on a TDateTime. Trunc raises EInvalidOp beyond the range of Int64.
int64_t truncInt(double v);
double truncDays(double v);
double fracDays(double v);

// Days on a straight line: a TDateTime before 1899-12-30 holds its time of day as a positive fraction of
// a negative day number, so -1.25 (1899-12-29 06:00) lies at -0.75. Differences of moments are taken on
// this line (Delphi subtracts the raw numbers and is up to a day off before 1899-12-30).
double straightDays(double v);

} // namespace novrix::library::datetime::detail
