// The date and time set bound to the script engine: each name with an adapter that reads the arguments
// as declared, calls the plain function and hands back its result and out parameters.
#include "engine/vm/vm.h"
#include "library/named_native.h"
#include "library/std_datetime.h"

#include <cstddef>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

namespace novrix::library {

namespace {

using engine::NativeCall;
using engine::NativeFn;
namespace dt = datetime;

template <typename T>
constexpr bool kIsSettings = std::is_same_v<std::remove_cvref_t<T>, rt::FormatSettings>;

// One argument as the plain function takes it: TDateTime as double, Word/Integer/Int64 cut to their
// width as Delphi passes them, and the run's format settings in place of a trailing settings parameter.
template <typename T>
decltype(auto) argument(NativeCall& c, size_t k) {
    if constexpr (kIsSettings<T>)
        return static_cast<const rt::FormatSettings&>(c.vm().formatSettings());
    else if constexpr (std::is_same_v<T, double>)
        return c.realArg(k);
    else
        return static_cast<T>(c.intArg(k));
}

template <typename R>
void giveBack(NativeCall& c, R value) {
    if constexpr (std::is_same_v<R, double>)
        c.returnReal(value);
    else if constexpr (std::is_same_v<R, bool>)
        c.returnBool(value);
    else
        c.returnInt(int64_t(value));
}

template <typename R, typename... P, size_t... K>
void callWith(R (*fn)(P...), NativeCall& c, std::index_sequence<K...>) {
    giveBack(c, fn(argument<P>(c, K)...));
}

template <typename F>
struct Arity;
template <typename R, typename... P>
struct Arity<R (*)(P...)> {
    static constexpr size_t value = sizeof...(P);
};

// An adapter for a function whose parameters are exactly the declared ones (plus the settings).
template <auto Fn>
NativeFn plain() {
    return [](NativeCall& c) { callWith(Fn, c, std::make_index_sequence<Arity<decltype(Fn)>::value>{}); };
}

void setParts(NativeCall& c, size_t first, const dt::DateTimeParts& p) {
    const dt::Word fields[] = {p.year, p.month, p.day, p.hour, p.minute, p.second, p.milliSecond};
    for (size_t k = 0; k < std::size(fields); ++k)
        c.setInt(first + k, fields[k]);
}

dt::Word word(NativeCall& c, size_t k) {
    return static_cast<dt::Word>(c.intArg(k));
}

// Try... functions: the out parameter is written only when the routine writes it.
void giveTry(NativeCall& c, size_t outIndex, const dt::TryResult& r) {
    if (r.written)
        c.setReal(outIndex, r.value);
    c.returnBool(r.ok);
}

void decodeDateTime(NativeCall& c) {
    setParts(c, 1, dt::decodeDateTime(c.realArg(0)));
}

void decodeDateWeek(NativeCall& c) {
    const dt::DateWeek w = dt::decodeDateWeek(c.realArg(0));
    c.setInt(1, w.year);
    c.setInt(2, w.weekOfYear);
    c.setInt(3, w.dayOfWeek);
}

void decodeDateDay(NativeCall& c) {
    const dt::DateDay d = dt::decodeDateDay(c.realArg(0));
    c.setInt(1, d.year);
    c.setInt(2, d.dayOfYear);
}

void tryEncodeDateTime(NativeCall& c) {
    giveTry(c, 7,
            dt::tryEncodeDateTime(word(c, 0), word(c, 1), word(c, 2), word(c, 3), word(c, 4), word(c, 5),
                                  word(c, 6)));
}

// Declared as (AYear, AWeekOfYear; out AValue; ADayOfWeek).
void tryEncodeDateWeek(NativeCall& c) {
    giveTry(c, 2, dt::tryEncodeDateWeek(word(c, 0), word(c, 1), word(c, 3)));
}

void tryEncodeDateDay(NativeCall& c) {
    giveTry(c, 2, dt::tryEncodeDateDay(word(c, 0), word(c, 1)));
}

void tryRecodeDateTime(NativeCall& c) {
    giveTry(c, 8,
            dt::tryRecodeDateTime(c.realArg(0), word(c, 1), word(c, 2), word(c, 3), word(c, 4), word(c, 5),
                                  word(c, 6), word(c, 7)));
}

} // namespace

std::vector<NamedNative> dateTimeBindings() {
    return {
        {"DateOf", plain<dt::dateOf>()},
        {"TimeOf", plain<dt::timeOf>()},
        {"IsInLeapYear", plain<dt::isInLeapYear>()},
        {"IsPM", plain<dt::isPM>()},
        {"IsValidDate", plain<dt::isValidDate>()},
        {"IsValidTime", plain<dt::isValidTime>()},
        {"IsTimeNextDay", plain<dt::isTimeNextDay>()},
        {"IsValidDateTime", plain<dt::isValidDateTime>()},
        {"IsValidDateDay", plain<dt::isValidDateDay>()},
        {"IsValidDateWeek", plain<dt::isValidDateWeek>()},
        {"WeeksInYear", plain<dt::weeksInYear>()},
        {"WeeksInAYear", plain<dt::weeksInAYear>()},
        {"DaysInYear", plain<dt::daysInYear>()},
        {"DaysInAYear", plain<dt::daysInAYear>()},
        {"DaysInMonth", plain<dt::daysInMonth>()},
        {"DaysInAMonth", plain<dt::daysInAMonth>()},
        {"YearOf", plain<dt::yearOf>()},
        {"MonthOf", plain<dt::monthOf>()},
        {"WeekOf", plain<dt::weekOf>()},
        {"DayOf", plain<dt::dayOf>()},
        {"HourOf", plain<dt::hourOf>()},
        {"MinuteOf", plain<dt::minuteOf>()},
        {"SecondOf", plain<dt::secondOf>()},
        {"MilliSecondOf", plain<dt::milliSecondOf>()},
        {"StartOfTheYear", plain<dt::startOfTheYear>()},
        {"EndOfTheYear", plain<dt::endOfTheYear>()},
        {"StartOfAYear", plain<dt::startOfAYear>()},
        {"EndOfAYear", plain<dt::endOfAYear>()},
        {"StartOfTheMonth", plain<dt::startOfTheMonth>()},
        {"EndOfTheMonth", plain<dt::endOfTheMonth>()},
        {"StartOfAMonth", plain<dt::startOfAMonth>()},
        {"EndOfAMonth", plain<dt::endOfAMonth>()},
        {"StartOfTheWeek", plain<dt::startOfTheWeek>()},
        {"EndOfTheWeek", plain<dt::endOfTheWeek>()},
        {"StartOfAWeek", plain<dt::startOfAWeek>()},
        {"EndOfAWeek", plain<dt::endOfAWeek>()},
        {"StartOfTheDay", plain<dt::startOfTheDay>()},
        {"EndOfTheDay", plain<dt::endOfTheDay>()},
        {"MonthOfTheYear", plain<dt::monthOfTheYear>()},
        {"WeekOfTheYear", plain<dt::weekOfTheYear>()},
        {"DayOfTheYear", plain<dt::dayOfTheYear>()},
        {"HourOfTheYear", plain<dt::hourOfTheYear>()},
        {"MinuteOfTheYear", plain<dt::minuteOfTheYear>()},
        {"SecondOfTheYear", plain<dt::secondOfTheYear>()},
        {"MilliSecondOfTheYear", plain<dt::milliSecondOfTheYear>()},
        {"WeekOfTheMonth", plain<dt::weekOfTheMonth>()},
        {"DayOfTheMonth", plain<dt::dayOfTheMonth>()},
        {"HourOfTheMonth", plain<dt::hourOfTheMonth>()},
        {"MinuteOfTheMonth", plain<dt::minuteOfTheMonth>()},
        {"SecondOfTheMonth", plain<dt::secondOfTheMonth>()},
        {"MilliSecondOfTheMonth", plain<dt::milliSecondOfTheMonth>()},
        {"DayOfTheWeek", plain<dt::dayOfTheWeek>()},
        {"HourOfTheWeek", plain<dt::hourOfTheWeek>()},
        {"MinuteOfTheWeek", plain<dt::minuteOfTheWeek>()},
        {"SecondOfTheWeek", plain<dt::secondOfTheWeek>()},
        {"MilliSecondOfTheWeek", plain<dt::milliSecondOfTheWeek>()},
        {"HourOfTheDay", plain<dt::hourOfTheDay>()},
        {"MinuteOfTheDay", plain<dt::minuteOfTheDay>()},
        {"SecondOfTheDay", plain<dt::secondOfTheDay>()},
        {"MilliSecondOfTheDay", plain<dt::milliSecondOfTheDay>()},
        {"MinuteOfTheHour", plain<dt::minuteOfTheHour>()},
        {"SecondOfTheHour", plain<dt::secondOfTheHour>()},
        {"MilliSecondOfTheHour", plain<dt::milliSecondOfTheHour>()},
        {"SecondOfTheMinute", plain<dt::secondOfTheMinute>()},
        {"MilliSecondOfTheMinute", plain<dt::milliSecondOfTheMinute>()},
        {"MilliSecondOfTheSecond", plain<dt::milliSecondOfTheSecond>()},
        {"WithinPastYears", plain<dt::withinPastYears>()},
        {"WithinPastMonths", plain<dt::withinPastMonths>()},
        {"WithinPastWeeks", plain<dt::withinPastWeeks>()},
        {"WithinPastDays", plain<dt::withinPastDays>()},
        {"WithinPastHours", plain<dt::withinPastHours>()},
        {"WithinPastMinutes", plain<dt::withinPastMinutes>()},
        {"WithinPastSeconds", plain<dt::withinPastSeconds>()},
        {"WithinPastMilliSeconds", plain<dt::withinPastMilliSeconds>()},
        {"YearsBetween", plain<dt::yearsBetween>()},
        {"MonthsBetween", plain<dt::monthsBetween>()},
        {"WeeksBetween", plain<dt::weeksBetween>()},
        {"DaysBetween", plain<dt::daysBetween>()},
        {"HoursBetween", plain<dt::hoursBetween>()},
        {"MinutesBetween", plain<dt::minutesBetween>()},
        {"SecondsBetween", plain<dt::secondsBetween>()},
        {"MilliSecondsBetween", plain<dt::milliSecondsBetween>()},
        {"YearSpan", plain<dt::yearSpan>()},
        {"MonthSpan", plain<dt::monthSpan>()},
        {"WeekSpan", plain<dt::weekSpan>()},
        {"DaySpan", plain<dt::daySpan>()},
        {"HourSpan", plain<dt::hourSpan>()},
        {"MinuteSpan", plain<dt::minuteSpan>()},
        {"SecondSpan", plain<dt::secondSpan>()},
        {"MilliSecondSpan", plain<dt::milliSecondSpan>()},
        {"IncYear", plain<dt::incYear>()},
        {"IncWeek", plain<dt::incWeek>()},
        {"IncDay", plain<dt::incDay>()},
        {"IncHour", plain<dt::incHour>()},
        {"IncMinute", plain<dt::incMinute>()},
        {"IncSecond", plain<dt::incSecond>()},
        {"IncMilliSecond", plain<dt::incMilliSecond>()},
        {"EncodeDateTime", plain<dt::encodeDateTime>()},
        {"DecodeDateTime", decodeDateTime},
        {"EncodeDateWeek", plain<dt::encodeDateWeek>()},
        {"DecodeDateWeek", decodeDateWeek},
        {"EncodeDateDay", plain<dt::encodeDateDay>()},
        {"DecodeDateDay", decodeDateDay},
        {"TryEncodeDateTime", tryEncodeDateTime},
        {"TryEncodeDateWeek", tryEncodeDateWeek},
        {"TryEncodeDateDay", tryEncodeDateDay},
        {"RecodeYear", plain<dt::recodeYear>()},
        {"RecodeMonth", plain<dt::recodeMonth>()},
        {"RecodeDay", plain<dt::recodeDay>()},
        {"RecodeHour", plain<dt::recodeHour>()},
        {"RecodeMinute", plain<dt::recodeMinute>()},
        {"RecodeSecond", plain<dt::recodeSecond>()},
        {"RecodeMilliSecond", plain<dt::recodeMilliSecond>()},
        {"RecodeDate", plain<dt::recodeDate>()},
        {"RecodeTime", plain<dt::recodeTime>()},
        {"RecodeDateTime", plain<dt::recodeDateTime>()},
        {"TryRecodeDateTime", tryRecodeDateTime},
        {"SameDateTime", plain<dt::sameDateTime>()},
        {"DateTimeToJulianDate", plain<dt::dateTimeToJulianDate>()},
        {"JulianDateToDateTime", plain<dt::julianDateToDateTime>()},
        {"DateTimeToModifiedJulianDate", plain<dt::dateTimeToModifiedJulianDate>()},
        {"ModifiedJulianDateToDateTime", plain<dt::modifiedJulianDateToDateTime>()},
    };
}

} // namespace novrix::library
