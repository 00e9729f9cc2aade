#pragma once
// FormatDateTime, DateToStr, TimeToStr and DateTimeToStr.
#include "engine/runtime/format_settings.h"

#include <string>
#include <string_view>

namespace novrix::rt {

// Delphi's specifiers, case-insensitive: c, d, dd, ddd, dddd, ddddd (short date), dddddd (long date),
// e/ee/eee/eeee (year in that many digits), g (era: none in Gregorian locales), m, mm, mmm, mmmm
// (minutes right after an h), yy, yyyy, h, hh, n, nn, s, ss, z, zzz, t (short time), tt (long time),
// am/pm, a/p (case as written), ampm (the locale's strings), aaa/aaaa (day names), '/' and ':' (the
// separators), 'quoted' and "quoted" text. Nested formats (c, ddddd, t...) expand one level deep.
// An empty format means "c".
std::string formatDateTime(std::string_view fmt, double dt, const FormatSettings& fs);

std::string dateToStr(double dt, const FormatSettings& fs);     // the short date format
std::string timeToStr(double dt, const FormatSettings& fs);     // the long time format
std::string dateTimeToStr(double dt, const FormatSettings& fs); // "c": date, and the time unless midnight

} // namespace novrix::rt
