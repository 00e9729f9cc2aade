// Whole dates and times to TDateTime and back, replacing single fields, comparison and Julian dates.
#include "engine/runtime/date_time.h"
#include "engine/runtime/format.h"
#include "engine/runtime/script_error.h"
#include "library/std_datetime.h"
#include "library/std_datetime_detail.h"

#include <cmath>
#include <string>

namespace novrix::library::datetime {

namespace detail {

double composeDateTime(double date, double time) {
    return date >= 0 ? date + time : date - time;
}

void invalidDateTimeError(int year, int month, int day, int hour, int minute, int second, int milliSecond,
                          double baseDate, const rt::FormatSettings& fs) {
    const DateTimeParts base = decodeDateTime(baseDate);
    const auto field = [baseDate](int given, int original) {
        if (given != kLeaveFieldAsIs)
            return std::to_string(given);
        return baseDate == 0 ? std::string("?") : std::to_string(original);
    };
    const auto separator = [](char c) { return c == '\0' ? std::string() : std::string(1, c); };
    const std::string text =
        field(year, base.year) + separator(fs.dateSeparator) + field(month, base.month) +
        separator(fs.dateSeparator) + field(day, base.day) + ' ' + field(hour, base.hour) +
        separator(fs.timeSeparator) + field(minute, base.minute) + separator(fs.timeSeparator) +
        field(second, base.second) + separator(fs.decimalSeparator) + field(milliSecond, base.milliSecond);
    throw rt::ScriptError(rt::ExcClass::EConvertError, "'" + text + "' is not a valid date and time");
}

} // namespace detail

TryResult tryEncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                            Word milliSecond) {
    // The date is stored even when the time then fails, as TryEncodeDate has written it already.
    if (!isValidDate(year, month, day))
        return {};
    const double date = rt::encodeDate(year, month, day);
    if (hour >= 24 || minute >= 60 || second >= 60 || milliSecond >= 1000)
        return {false, true, date};
    return {true, true, detail::composeDateTime(date, rt::encodeTime(hour, minute, second, milliSecond))};
}

double encodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second, Word milliSecond,
                      const rt::FormatSettings& fs) {
    const TryResult r = tryEncodeDateTime(year, month, day, hour, minute, second, milliSecond);
    if (!r.ok)
        detail::invalidDateTimeError(year, month, day, hour, minute, second, milliSecond, 0, fs);
    return r.value;
}

DateTimeParts decodeDateTime(double v) {
    const auto d = detail::decodeYmd(v);
    const auto t = detail::decodeHnsz(v);
    return {Word(d.year),   Word(d.month),  Word(d.day),        Word(t.hour),
            Word(t.minute), Word(t.second), Word(t.milliSecond)};
}

TryResult tryRecodeDateTime(double v, Word year, Word month, Word day, Word hour, Word minute, Word second,
                            Word milliSecond) {
    DateTimeParts p = decodeDateTime(v);
    const auto replace = [](Word& field, Word given) {
        if (given != kLeaveFieldAsIs)
            field = given;
    };
    replace(p.year, year);
    replace(p.month, month);
    replace(p.day, day);
    replace(p.hour, hour);
    replace(p.minute, minute);
    replace(p.second, second);
    replace(p.milliSecond, milliSecond);
    return tryEncodeDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second, p.milliSecond);
}

double recodeDateTime(double v, Word year, Word month, Word day, Word hour, Word minute, Word second,
                      Word milliSecond, const rt::FormatSettings& fs) {
    const TryResult r = tryRecodeDateTime(v, year, month, day, hour, minute, second, milliSecond);
    if (!r.ok)
        detail::invalidDateTimeError(year, month, day, hour, minute, second, milliSecond, v, fs);
    return r.value;
}

namespace {
constexpr Word kKeep = kLeaveFieldAsIs;
}

double recodeYear(double v, Word year, const rt::FormatSettings& fs) {
    return recodeDateTime(v, year, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, fs);
}
double recodeMonth(double v, Word month, const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, month, kKeep, kKeep, kKeep, kKeep, kKeep, fs);
}
double recodeDay(double v, Word day, const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, kKeep, day, kKeep, kKeep, kKeep, kKeep, fs);
}
double recodeHour(double v, Word hour, const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, kKeep, kKeep, hour, kKeep, kKeep, kKeep, fs);
}
double recodeMinute(double v, Word minute, const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, kKeep, kKeep, kKeep, minute, kKeep, kKeep, fs);
}
double recodeSecond(double v, Word second, const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, kKeep, kKeep, kKeep, kKeep, second, kKeep, fs);
}
double recodeMilliSecond(double v, Word milliSecond, const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, milliSecond, fs);
}
double recodeDate(double v, Word year, Word month, Word day, const rt::FormatSettings& fs) {
    return recodeDateTime(v, year, month, day, kKeep, kKeep, kKeep, kKeep, fs);
}
double recodeTime(double v, Word hour, Word minute, Word second, Word milliSecond,
                  const rt::FormatSettings& fs) {
    return recodeDateTime(v, kKeep, kKeep, kKeep, hour, minute, second, milliSecond, fs);
}

bool sameDateTime(double a, double b) {
    return std::fabs(a - b) < 1.0 / 86'400'000;
}

// Julian dates count days from noon, 4713-01-01 BC (proleptic Julian calendar).
double dateTimeToJulianDate(double v) {
    const auto d = detail::decodeYmd(v);
    const int64_t a = (14 - d.month) / 12;
    const int64_t y = d.year + 4800 - a;
    const int64_t m = d.month + 12 * a - 3;
    const int64_t dayNumber = d.day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400;
    return double(dayNumber) - 32045.5 + std::fabs(detail::fracDays(v)); // the time of day, also before 1899
}

double julianDateToDateTime(double julian, const rt::FormatSettings& fs) {
    const auto fail = [&] {
        throw rt::ScriptError(
            rt::ExcClass::EConvertError,
            rt::format("%f Julian cannot be represented as a DateTime", {rt::FormatArg::real(julian)}, fs));
    };
    if (!(std::fabs(julian) < 1e12))
        fail(); // far outside the years 1..9999, and no overflow below
    const int64_t a = int64_t(std::trunc(julian + 32044.5));
    const int64_t b = (4 * a + 3) / 146097;
    const int64_t c = a - 146097 * b / 4;
    const int64_t d = (4 * c + 3) / 1461;
    const int64_t e = c - 1461 * d / 4;
    const int64_t m = (5 * e + 2) / 153;
    const int64_t day = e - (153 * m + 2) / 5 + 1;
    const int64_t month = m + 3 - 12 * (m / 10);
    const int64_t year = 100 * b + d - 4800 + m / 10;
    if (year < 1 || year > 9999 || !isValidDate(Word(year), Word(month), Word(day)))
        fail();
    return detail::composeDateTime(rt::encodeDate(int(year), int(month), int(day)),
                                   detail::fracDays(julian - 0.5));
}

constexpr double kModifiedJulianOffset = 2400000.5;

double dateTimeToModifiedJulianDate(double v) {
    return dateTimeToJulianDate(v) - kModifiedJulianOffset;
}

double modifiedJulianDateToDateTime(double modifiedJulian, const rt::FormatSettings& fs) {
    return julianDateToDateTime(modifiedJulian + kModifiedJulianOffset, fs);
}

} // namespace novrix::library::datetime
