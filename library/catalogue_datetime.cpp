// The date and time set: the type TDateTime, its declarations and constants, in registration order.
#include "library/catalogue.h"

#include <array>

namespace novrix::library {

namespace {

constexpr CatalogueType kDateTimeType{"TDateTime", "Double"};

// StartOfADay2 and EndOfADay2 are declared twice each and never bound: the later declarations (two Word
// parameters) hide the earlier ones, and a script that calls either cannot be loaded for running.
constexpr std::array<CatalogueDeclaration, 126> kDeclarations{{
    {"DateOf", "Function DateOf( const AValue : TDateTime) : TDateTime"},
    {"TimeOf", "Function TimeOf( const AValue : TDateTime) : TDateTime"},
    {"IsInLeapYear", "Function IsInLeapYear( const AValue : TDateTime) : Boolean"},
    {"IsPM", "Function IsPM( const AValue : TDateTime) : Boolean"},
    {"IsValidDate", "Function IsValidDate( const AYear, AMonth, ADay : Word) : Boolean"},
    {"IsValidTime", "Function IsValidTime( const AHour, AMinute, ASecond, AMilliSecond : Word) : Boolean"},
    {"IsTimeNextDay",
     "Function IsTimeNextDay( const AHour, AMinute, ASecond, AMilliSecond : Word) : Boolean"},
    {"IsValidDateTime", "Function IsValidDateTime( const AYear, AMonth, ADay, AHour, AMinute, ASecond, "
                        "AMilliSecond : Word) : Boolean"},
    {"IsValidDateDay", "Function IsValidDateDay( const AYear, ADayOfYear : Word) : Boolean"},
    {"IsValidDateWeek", "Function IsValidDateWeek( const AYear, AWeekOfYear, ADayOfWeek : Word) : Boolean"},
    {"WeeksInYear", "Function WeeksInYear( const AValue : TDateTime) : Word"},
    {"WeeksInAYear", "Function WeeksInAYear( const AYear : Word) : Word"},
    {"DaysInYear", "Function DaysInYear( const AValue : TDateTime) : Word"},
    {"DaysInAYear", "Function DaysInAYear( const AYear : Word) : Word"},
    {"DaysInMonth", "Function DaysInMonth( const AValue : TDateTime) : Word"},
    {"DaysInAMonth", "Function DaysInAMonth( const AYear, AMonth : Word) : Word"},
    {"YearOf", "Function YearOf( const AValue : TDateTime) : Word"},
    {"MonthOf", "Function MonthOf( const AValue : TDateTime) : Word"},
    {"WeekOf", "Function WeekOf( const AValue : TDateTime) : Word"},
    {"DayOf", "Function DayOf( const AValue : TDateTime) : Word"},
    {"HourOf", "Function HourOf( const AValue : TDateTime) : Word"},
    {"MinuteOf", "Function MinuteOf( const AValue : TDateTime) : Word"},
    {"SecondOf", "Function SecondOf( const AValue : TDateTime) : Word"},
    {"MilliSecondOf", "Function MilliSecondOf( const AValue : TDateTime) : Word"},
    {"StartOfTheYear", "Function StartOfTheYear( const AValue : TDateTime) : TDateTime"},
    {"EndOfTheYear", "Function EndOfTheYear( const AValue : TDateTime) : TDateTime"},
    {"StartOfAYear", "Function StartOfAYear( const AYear : Word) : TDateTime"},
    {"EndOfAYear", "Function EndOfAYear( const AYear : Word) : TDateTime"},
    {"StartOfTheMonth", "Function StartOfTheMonth( const AValue : TDateTime) : TDateTime"},
    {"EndOfTheMonth", "Function EndOfTheMonth( const AValue : TDateTime) : TDateTime"},
    {"StartOfAMonth", "Function StartOfAMonth( const AYear, AMonth : Word) : TDateTime"},
    {"EndOfAMonth", "Function EndOfAMonth( const AYear, AMonth : Word) : TDateTime"},
    {"StartOfTheWeek", "Function StartOfTheWeek( const AValue : TDateTime) : TDateTime"},
    {"EndOfTheWeek", "Function EndOfTheWeek( const AValue : TDateTime) : TDateTime"},
    {"StartOfAWeek",
     "Function StartOfAWeek( const AYear, AWeekOfYear : Word; const ADayOfWeek : Word) : TDateTime"},
    {"EndOfAWeek",
     "Function EndOfAWeek( const AYear, AWeekOfYear : Word; const ADayOfWeek : Word) : TDateTime"},
    {"StartOfTheDay", "Function StartOfTheDay( const AValue : TDateTime) : TDateTime"},
    {"EndOfTheDay", "Function EndOfTheDay( const AValue : TDateTime) : TDateTime"},
    {"StartOfADay2", "Function StartOfADay2( const AYear, AMonth, ADay : Word) : TDateTime;", false},
    {"EndOfADay2", "Function EndOfADay2( const AYear, AMonth, ADay : Word) : TDateTime;", false},
    {"StartOfADay2", "Function StartOfADay2( const AYear, ADayOfYear : Word) : TDateTime;", false},
    {"EndOfADay2", "Function EndOfADay2( const AYear, ADayOfYear : Word) : TDateTime;", false},
    {"MonthOfTheYear", "Function MonthOfTheYear( const AValue : TDateTime) : Word"},
    {"WeekOfTheYear", "Function WeekOfTheYear( const AValue : TDateTime) : Word"},
    {"DayOfTheYear", "Function DayOfTheYear( const AValue : TDateTime) : Word"},
    {"HourOfTheYear", "Function HourOfTheYear( const AValue : TDateTime) : Word"},
    {"MinuteOfTheYear", "Function MinuteOfTheYear( const AValue : TDateTime) : LongWord"},
    {"SecondOfTheYear", "Function SecondOfTheYear( const AValue : TDateTime) : LongWord"},
    {"MilliSecondOfTheYear", "Function MilliSecondOfTheYear( const AValue : TDateTime) : Int64"},
    {"WeekOfTheMonth", "Function WeekOfTheMonth( const AValue : TDateTime) : Word"},
    {"DayOfTheMonth", "Function DayOfTheMonth( const AValue : TDateTime) : Word"},
    {"HourOfTheMonth", "Function HourOfTheMonth( const AValue : TDateTime) : Word"},
    {"MinuteOfTheMonth", "Function MinuteOfTheMonth( const AValue : TDateTime) : Word"},
    {"SecondOfTheMonth", "Function SecondOfTheMonth( const AValue : TDateTime) : LongWord"},
    {"MilliSecondOfTheMonth", "Function MilliSecondOfTheMonth( const AValue : TDateTime) : LongWord"},
    {"DayOfTheWeek", "Function DayOfTheWeek( const AValue : TDateTime) : Word"},
    {"HourOfTheWeek", "Function HourOfTheWeek( const AValue : TDateTime) : Word"},
    {"MinuteOfTheWeek", "Function MinuteOfTheWeek( const AValue : TDateTime) : Word"},
    {"SecondOfTheWeek", "Function SecondOfTheWeek( const AValue : TDateTime) : LongWord"},
    {"MilliSecondOfTheWeek", "Function MilliSecondOfTheWeek( const AValue : TDateTime) : LongWord"},
    {"HourOfTheDay", "Function HourOfTheDay( const AValue : TDateTime) : Word"},
    {"MinuteOfTheDay", "Function MinuteOfTheDay( const AValue : TDateTime) : Word"},
    {"SecondOfTheDay", "Function SecondOfTheDay( const AValue : TDateTime) : LongWord"},
    {"MilliSecondOfTheDay", "Function MilliSecondOfTheDay( const AValue : TDateTime) : LongWord"},
    {"MinuteOfTheHour", "Function MinuteOfTheHour( const AValue : TDateTime) : Word"},
    {"SecondOfTheHour", "Function SecondOfTheHour( const AValue : TDateTime) : Word"},
    {"MilliSecondOfTheHour", "Function MilliSecondOfTheHour( const AValue : TDateTime) : LongWord"},
    {"SecondOfTheMinute", "Function SecondOfTheMinute( const AValue : TDateTime) : Word"},
    {"MilliSecondOfTheMinute", "Function MilliSecondOfTheMinute( const AValue : TDateTime) : LongWord"},
    {"MilliSecondOfTheSecond", "Function MilliSecondOfTheSecond( const AValue : TDateTime) : Word"},
    {"WithinPastYears",
     "Function WithinPastYears( const ANow, AThen : TDateTime; const AYears : Integer) : Boolean"},
    {"WithinPastMonths",
     "Function WithinPastMonths( const ANow, AThen : TDateTime; const AMonths : Integer) : Boolean"},
    {"WithinPastWeeks",
     "Function WithinPastWeeks( const ANow, AThen : TDateTime; const AWeeks : Integer) : Boolean"},
    {"WithinPastDays",
     "Function WithinPastDays( const ANow, AThen : TDateTime; const ADays : Integer) : Boolean"},
    {"WithinPastHours",
     "Function WithinPastHours( const ANow, AThen : TDateTime; const AHours : Int64) : Boolean"},
    {"WithinPastMinutes",
     "Function WithinPastMinutes( const ANow, AThen : TDateTime; const AMinutes : Int64) : Boolean"},
    {"WithinPastSeconds",
     "Function WithinPastSeconds( const ANow, AThen : TDateTime; const ASeconds : Int64) : Boolean"},
    {"WithinPastMilliSeconds", "Function WithinPastMilliSeconds( const ANow, AThen : TDateTime; const "
                               "AMilliSeconds : Int64) : Boolean"},
    {"YearsBetween", "Function YearsBetween( const ANow, AThen : TDateTime) : Integer"},
    {"MonthsBetween", "Function MonthsBetween( const ANow, AThen : TDateTime) : Integer"},
    {"WeeksBetween", "Function WeeksBetween( const ANow, AThen : TDateTime) : Integer"},
    {"DaysBetween", "Function DaysBetween( const ANow, AThen : TDateTime) : Integer"},
    {"HoursBetween", "Function HoursBetween( const ANow, AThen : TDateTime) : Int64"},
    {"MinutesBetween", "Function MinutesBetween( const ANow, AThen : TDateTime) : Int64"},
    {"SecondsBetween", "Function SecondsBetween( const ANow, AThen : TDateTime) : Int64"},
    {"MilliSecondsBetween", "Function MilliSecondsBetween( const ANow, AThen : TDateTime) : Int64"},
    {"YearSpan", "Function YearSpan( const ANow, AThen : TDateTime) : Double"},
    {"MonthSpan", "Function MonthSpan( const ANow, AThen : TDateTime) : Double"},
    {"WeekSpan", "Function WeekSpan( const ANow, AThen : TDateTime) : Double"},
    {"DaySpan", "Function DaySpan( const ANow, AThen : TDateTime) : Double"},
    {"HourSpan", "Function HourSpan( const ANow, AThen : TDateTime) : Double"},
    {"MinuteSpan", "Function MinuteSpan( const ANow, AThen : TDateTime) : Double"},
    {"SecondSpan", "Function SecondSpan( const ANow, AThen : TDateTime) : Double"},
    {"MilliSecondSpan", "Function MilliSecondSpan( const ANow, AThen : TDateTime) : Double"},
    {"IncYear", "Function IncYear( const AValue : TDateTime; ANumberOfYears : Integer) : TDateTime"},
    {"IncWeek", "Function IncWeek( const AValue : TDateTime; ANumberOfWeeks : Integer) : TDateTime"},
    {"IncDay", "Function IncDay( const AValue : TDateTime; ANumberOfDays : Integer) : TDateTime"},
    {"IncHour", "Function IncHour( const AValue : TDateTime; ANumberOfHours : Int64) : TDateTime"},
    {"IncMinute", "Function IncMinute( const AValue : TDateTime; ANumberOfMinutes : Int64) : TDateTime"},
    {"IncSecond", "Function IncSecond( const AValue : TDateTime; ANumberOfSeconds : Int64) : TDateTime"},
    {"IncMilliSecond",
     "Function IncMilliSecond( const AValue : TDateTime; ANumberOfMilliSeconds : Int64) : TDateTime"},
    {"EncodeDateTime", "Function EncodeDateTime( const AYear, AMonth, ADay, AHour, AMinute, ASecond, "
                       "AMilliSecond : Word) : TDateTime"},
    {"DecodeDateTime", "Procedure DecodeDateTime( const AValue : TDateTime; out AYear, AMonth, ADay, AHour, "
                       "AMinute, ASecond, AMilliSecond : Word)"},
    {"EncodeDateWeek",
     "Function EncodeDateWeek( const AYear, AWeekOfYear : Word; const ADayOfWeek : Word) : TDateTime"},
    {"DecodeDateWeek",
     "Procedure DecodeDateWeek( const AValue : TDateTime; out AYear, AWeekOfYear, ADayOfWeek : Word)"},
    {"EncodeDateDay", "Function EncodeDateDay( const AYear, ADayOfYear : Word) : TDateTime"},
    {"DecodeDateDay", "Procedure DecodeDateDay( const AValue : TDateTime; out AYear, ADayOfYear : Word)"},
    {"TryEncodeDateTime", "Function TryEncodeDateTime( const AYear, AMonth, ADay, AHour, AMinute, ASecond, "
                          "AMilliSecond : Word; out AValue : TDateTime) : Boolean"},
    {"TryEncodeDateWeek", "Function TryEncodeDateWeek( const AYear, AWeekOfYear : Word; out AValue : "
                          "TDateTime; const ADayOfWeek : Word) : Boolean"},
    {"TryEncodeDateDay",
     "Function TryEncodeDateDay( const AYear, ADayOfYear : Word; out AValue : TDateTime) : Boolean"},
    {"RecodeYear", "Function RecodeYear( const AValue : TDateTime; const AYear : Word) : TDateTime"},
    {"RecodeMonth", "Function RecodeMonth( const AValue : TDateTime; const AMonth : Word) : TDateTime"},
    {"RecodeDay", "Function RecodeDay( const AValue : TDateTime; const ADay : Word) : TDateTime"},
    {"RecodeHour", "Function RecodeHour( const AValue : TDateTime; const AHour : Word) : TDateTime"},
    {"RecodeMinute", "Function RecodeMinute( const AValue : TDateTime; const AMinute : Word) : TDateTime"},
    {"RecodeSecond", "Function RecodeSecond( const AValue : TDateTime; const ASecond : Word) : TDateTime"},
    {"RecodeMilliSecond",
     "Function RecodeMilliSecond( const AValue : TDateTime; const AMilliSecond : Word) : TDateTime"},
    {"RecodeDate",
     "Function RecodeDate( const AValue : TDateTime; const AYear, AMonth, ADay : Word) : TDateTime"},
    {"RecodeTime", "Function RecodeTime( const AValue : TDateTime; const AHour, AMinute, ASecond, "
                   "AMilliSecond : Word) : TDateTime"},
    {"RecodeDateTime", "Function RecodeDateTime( const AValue : TDateTime; const AYear, AMonth, ADay, AHour, "
                       "AMinute, ASecond, AMilliSecond : Word) : TDateTime"},
    {"TryRecodeDateTime", "Function TryRecodeDateTime( const AValue : TDateTime; const AYear, AMonth, ADay, "
                          "AHour, AMinute, ASecond, AMilliSecond : Word; out AResult : TDateTime) : Boolean"},
    {"SameDateTime", "Function SameDateTime( const A, B : TDateTime) : Boolean"},
    {"DateTimeToJulianDate", "Function DateTimeToJulianDate( const AValue : TDateTime) : Double"},
    {"JulianDateToDateTime", "Function JulianDateToDateTime( const AValue : Double) : TDateTime"},
    {"DateTimeToModifiedJulianDate",
     "Function DateTimeToModifiedJulianDate( const AValue : TDateTime) : Double"},
    {"ModifiedJulianDateToDateTime",
     "Function ModifiedJulianDateToDateTime( const AValue : Double) : TDateTime"},
}};

// ApproxDaysPerMonth and ApproxDaysPerYear are registered twice; the second registrations hide the first.
constexpr std::array<CatalogueConstant, 10> kConstants{{
    {"DaysPerWeek", "LongInt", int64_t{7}, "7"},
    {"WeeksPerFortnight", "LongInt", int64_t{2}, "2"},
    {"MonthsPerYear", "LongInt", int64_t{12}, "12"},
    {"YearsPerDecade", "LongInt", int64_t{10}, "10"},
    {"YearsPerCentury", "LongInt", int64_t{100}, "100"},
    {"YearsPerMillennium", "LongInt", int64_t{1000}, "1000"},
    {"ApproxDaysPerMonth", "Extended", 30.436875, "30.436875"},
    {"ApproxDaysPerYear", "Extended", 365.2425, "365.2425"},
    {"ApproxDaysPerMonth", "Extended", 30.4375, "30.4375"},
    {"ApproxDaysPerYear", "Extended", 365.25, "365.25"},
}};

} // namespace

const CatalogueType& dateTimeType() {
    return kDateTimeType;
}
std::span<const CatalogueDeclaration> dateTimeDeclarations() {
    return kDeclarations;
}
std::span<const CatalogueConstant> dateTimeConstants() {
    return kConstants;
}

std::vector<std::string_view> dateTimeBindingNames() {
    std::vector<std::string_view> names;
    for (const CatalogueDeclaration& d : kDeclarations)
        if (d.bound)
            names.push_back(d.name);
    return names;
}

} // namespace novrix::library
