// The date and time set through the engine: the declarations registered as the catalogue registers them,
// the implementations bound by name inside OnCompile, and a script calling them.
#include "engine/engine.h"
#include "engine/runtime/format_settings.h"
#include "library/named_native.h"

#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

using novrix::rt::FormatSettings;

namespace {

// The binding order of the set.
// clang-format off
const char* const kBindingOrder[] = {
    "DateOf", "TimeOf", "IsInLeapYear", "IsPM", "IsValidDate", "IsValidTime", "IsTimeNextDay",
    "IsValidDateTime", "IsValidDateDay", "IsValidDateWeek", "WeeksInYear", "WeeksInAYear", "DaysInYear",
    "DaysInAYear", "DaysInMonth", "DaysInAMonth", "YearOf", "MonthOf", "WeekOf", "DayOf", "HourOf",
    "MinuteOf", "SecondOf", "MilliSecondOf", "StartOfTheYear", "EndOfTheYear", "StartOfAYear", "EndOfAYear",
    "StartOfTheMonth", "EndOfTheMonth", "StartOfAMonth", "EndOfAMonth", "StartOfTheWeek", "EndOfTheWeek",
    "StartOfAWeek", "EndOfAWeek", "StartOfTheDay", "EndOfTheDay", "MonthOfTheYear", "WeekOfTheYear",
    "DayOfTheYear", "HourOfTheYear", "MinuteOfTheYear", "SecondOfTheYear", "MilliSecondOfTheYear",
    "WeekOfTheMonth", "DayOfTheMonth", "HourOfTheMonth", "MinuteOfTheMonth", "SecondOfTheMonth",
    "MilliSecondOfTheMonth", "DayOfTheWeek", "HourOfTheWeek", "MinuteOfTheWeek", "SecondOfTheWeek",
    "MilliSecondOfTheWeek", "HourOfTheDay", "MinuteOfTheDay", "SecondOfTheDay", "MilliSecondOfTheDay",
    "MinuteOfTheHour", "SecondOfTheHour", "MilliSecondOfTheHour", "SecondOfTheMinute",
    "MilliSecondOfTheMinute", "MilliSecondOfTheSecond", "WithinPastYears", "WithinPastMonths",
    "WithinPastWeeks", "WithinPastDays", "WithinPastHours", "WithinPastMinutes", "WithinPastSeconds",
    "WithinPastMilliSeconds", "YearsBetween", "MonthsBetween", "WeeksBetween", "DaysBetween", "HoursBetween",
    "MinutesBetween", "SecondsBetween", "MilliSecondsBetween", "YearSpan", "MonthSpan", "WeekSpan", "DaySpan",
    "HourSpan", "MinuteSpan", "SecondSpan", "MilliSecondSpan", "IncYear", "IncWeek", "IncDay", "IncHour",
    "IncMinute", "IncSecond", "IncMilliSecond", "EncodeDateTime", "DecodeDateTime", "EncodeDateWeek",
    "DecodeDateWeek", "EncodeDateDay", "DecodeDateDay", "TryEncodeDateTime", "TryEncodeDateWeek",
    "TryEncodeDateDay", "RecodeYear", "RecodeMonth", "RecodeDay", "RecodeHour", "RecodeMinute",
    "RecodeSecond", "RecodeMilliSecond", "RecodeDate", "RecodeTime", "RecodeDateTime", "TryRecodeDateTime",
    "SameDateTime", "DateTimeToJulianDate", "JulianDateToDateTime", "DateTimeToModifiedJulianDate",
    "ModifiedJulianDateToDateTime"};
// clang-format on

// Parameter lists and results, grouped as they are declared.
struct DeclarationGroup {
    std::string params;
    const char* result; // nullptr for a procedure
    std::vector<std::string> names;
};

std::vector<DeclarationGroup> declarationGroups() {
    const std::string value = "const AValue : TDateTime";
    const std::string nowThen = "const ANow, AThen : TDateTime";
    const std::string fields = "AYear, AMonth, ADay, AHour, AMinute, ASecond, AMilliSecond : Word";
    std::vector<DeclarationGroup> g = {
        {value,
         "TDateTime",
         {"DateOf", "TimeOf", "StartOfTheYear", "EndOfTheYear", "StartOfTheMonth", "EndOfTheMonth",
          "StartOfTheWeek", "EndOfTheWeek", "StartOfTheDay", "EndOfTheDay"}},
        {value, "Boolean", {"IsInLeapYear", "IsPM"}},
        {"const AYear, AMonth, ADay : Word", "Boolean", {"IsValidDate"}},
        {"const AHour, AMinute, ASecond, AMilliSecond : Word", "Boolean", {"IsValidTime", "IsTimeNextDay"}},
        {"const " + fields, "Boolean", {"IsValidDateTime"}},
        {"const AYear, ADayOfYear : Word", "Boolean", {"IsValidDateDay"}},
        {"const AYear, AWeekOfYear, ADayOfWeek : Word", "Boolean", {"IsValidDateWeek"}},
        // clang-format off
        {value, "Word",
         {"WeeksInYear", "DaysInYear", "DaysInMonth", "YearOf", "MonthOf", "WeekOf", "DayOf", "HourOf",
          "MinuteOf", "SecondOf", "MilliSecondOf", "MonthOfTheYear", "WeekOfTheYear", "DayOfTheYear",
          "HourOfTheYear", "WeekOfTheMonth", "DayOfTheMonth", "HourOfTheMonth", "MinuteOfTheMonth",
          "DayOfTheWeek", "HourOfTheWeek", "MinuteOfTheWeek", "HourOfTheDay", "MinuteOfTheDay",
          "MinuteOfTheHour", "SecondOfTheHour", "SecondOfTheMinute", "MilliSecondOfTheSecond"}},
        // clang-format on
        {value,
         "LongWord",
         {"MinuteOfTheYear", "SecondOfTheYear", "SecondOfTheMonth", "MilliSecondOfTheMonth",
          "SecondOfTheWeek", "MilliSecondOfTheWeek", "SecondOfTheDay", "MilliSecondOfTheDay",
          "MilliSecondOfTheHour", "MilliSecondOfTheMinute"}},
        {value, "Int64", {"MilliSecondOfTheYear"}},
        {"const AYear : Word", "Word", {"WeeksInAYear", "DaysInAYear"}},
        {"const AYear, AMonth : Word", "Word", {"DaysInAMonth"}},
        {"const AYear : Word", "TDateTime", {"StartOfAYear", "EndOfAYear"}},
        {"const AYear, AMonth : Word", "TDateTime", {"StartOfAMonth", "EndOfAMonth"}},
        {"const AYear, AWeekOfYear : Word; const ADayOfWeek : Word",
         "TDateTime",
         {"StartOfAWeek", "EndOfAWeek", "EncodeDateWeek"}},
        {nowThen, "Integer", {"YearsBetween", "MonthsBetween", "WeeksBetween", "DaysBetween"}},
        {nowThen, "Int64", {"HoursBetween", "MinutesBetween", "SecondsBetween", "MilliSecondsBetween"}},
        {nowThen,
         "Double",
         {"YearSpan", "MonthSpan", "WeekSpan", "DaySpan", "HourSpan", "MinuteSpan", "SecondSpan",
          "MilliSecondSpan"}},
        {"const " + fields, "TDateTime", {"EncodeDateTime"}},
        {value + "; out " + fields, nullptr, {"DecodeDateTime"}},
        {value + "; out AYear, AWeekOfYear, ADayOfWeek : Word", nullptr, {"DecodeDateWeek"}},
        {"const AYear, ADayOfYear : Word", "TDateTime", {"EncodeDateDay"}},
        {value + "; out AYear, ADayOfYear : Word", nullptr, {"DecodeDateDay"}},
        {"const " + fields + "; out AValue : TDateTime", "Boolean", {"TryEncodeDateTime"}},
        {"const AYear, AWeekOfYear : Word; out AValue : TDateTime; const ADayOfWeek : Word",
         "Boolean",
         {"TryEncodeDateWeek"}},
        {"const AYear, ADayOfYear : Word; out AValue : TDateTime", "Boolean", {"TryEncodeDateDay"}},
        {value + "; const AYear, AMonth, ADay : Word", "TDateTime", {"RecodeDate"}},
        {value + "; const AHour, AMinute, ASecond, AMilliSecond : Word", "TDateTime", {"RecodeTime"}},
        {value + "; const " + fields, "TDateTime", {"RecodeDateTime"}},
        {value + "; const " + fields + "; out AResult : TDateTime", "Boolean", {"TryRecodeDateTime"}},
        {"const A, B : TDateTime", "Boolean", {"SameDateTime"}},
        {value, "Double", {"DateTimeToJulianDate", "DateTimeToModifiedJulianDate"}},
        {"const AValue : Double", "TDateTime", {"JulianDateToDateTime", "ModifiedJulianDateToDateTime"}},
    };
    // The last parameter is named after the unit (WithinPast... and Inc...) or the field (Recode...).
    const struct {
        std::string plural, single, type;
    } units[] = {{"Years", "Year", "Integer"},   {"Months", "", "Integer"},
                 {"Weeks", "Week", "Integer"},   {"Days", "Day", "Integer"},
                 {"Hours", "Hour", "Int64"},     {"Minutes", "Minute", "Int64"},
                 {"Seconds", "Second", "Int64"}, {"MilliSeconds", "MilliSecond", "Int64"}};
    for (const auto& u : units) {
        g.push_back(
            {nowThen + "; const A" + u.plural + " : " + u.type, "Boolean", {"WithinPast" + u.plural}});
        if (!u.single.empty())
            g.push_back({value + "; ANumberOf" + u.plural + " : " + u.type, "TDateTime", {"Inc" + u.single}});
    }
    for (const std::string field : {"Year", "Month", "Day", "Hour", "Minute", "Second", "MilliSecond"})
        g.push_back({value + "; const A" + field + " : Word", "TDateTime", {"Recode" + field}});
    return g;
}

// "Function Name( params) : Result" or "Procedure Name( params)".
std::vector<std::string> declarationTexts() {
    std::vector<std::string> texts;
    for (const auto& g : declarationGroups()) {
        for (const auto& name : g.names) {
            std::string text =
                std::string(g.result ? "Function " : "Procedure ") + name + "( " + g.params + ")";
            if (g.result)
                text += std::string(" : ") + g.result;
            texts.push_back(text);
        }
    }
    return texts;
}

struct ScriptRun {
    bool compiled = false;
    bool ok = false;
    std::string out;
    std::string error;
};

ScriptRun runWithDateTimeSet(const std::string& script) {
    novrix::engine::Engine e;
    size_t bound = 0;
    e.onCompile = [&](novrix::engine::Engine& en) {
        en.addType("TDateTime", "Double");
        for (const auto& text : declarationTexts())
            en.addDeclaration(text);
        bound = 0;
        for (auto& b : novrix::library::dateTimeBindings())
            bound += en.bindNative(b.name, b.fn) ? 1 : 0;
    };
    ScriptRun r;
    e.setOutput([&r](std::string_view s) { r.out.append(s); });
    r.compiled = e.compile(script);
    EXPECT_EQ(bound, 122u);
    for (const auto& line : e.messageLines())
        r.out += line + "\n";
    if (r.compiled)
        r.ok = e.execute();
    r.error = e.runtimeError().text;
    return r;
}

TEST(LibraryDateTime, BindingsFollowTheDeclaredOrderAndEveryDeclarationIsBound) {
    std::vector<std::string> names;
    for (const auto& b : novrix::library::dateTimeBindings()) {
        names.push_back(b.name);
        EXPECT_TRUE(bool(b.fn)) << b.name;
    }
    EXPECT_EQ(names, std::vector<std::string>(std::begin(kBindingOrder), std::end(kBindingOrder)));
    EXPECT_EQ(declarationTexts().size(), 122u);
}

TEST(LibraryDateTime, ScriptCallsReadArgumentsAndWriteResultsAndOutParameters) {
    const ScriptRun r = runWithDateTimeSet(R"(
var
  d, t: TDateTime;
  y, m, dd, h, n, s, z: Word;
  ok: Boolean;
begin
  d := EncodeDateTime(2024, 2, 29, 13, 45, 30, 250);
  WriteLn(YearOf(d), ' ', WeekOf(d), ' ', DayOfTheWeek(d), ' ', MilliSecondOfTheYear(d), ' ', MilliSecondOfTheMonth(d));
  WriteLn(IsPM(d), ' ', IsInLeapYear(d), ' ', IsValidDate(2023, 2, 29), ' ', IsTimeNextDay(24, 0, 0, 0));
  DecodeDateTime(IncYear(d, 1), y, m, dd, h, n, s, z);
  WriteLn(y, '-', m, '-', dd, ' ', h, ':', n, ':', s, '.', z);
  DecodeDateWeek(EncodeDateTime(2021, 1, 3, 0, 0, 0, 0), y, m, dd);
  WriteLn(y, ' W', m, ' D', dd);
  DecodeDateDay(EndOfAMonth(2024, 12), y, dd);
  WriteLn(y, ' ', dd);
  ok := TryEncodeDateWeek(2020, 53, t, 4);
  WriteLn(ok, ' ', t:0:1);
  t := 7;
  ok := TryEncodeDateDay(2023, 366, t);
  WriteLn(ok, ' ', t:0:1);
  ok := TryRecodeDateTime(d, 65535, 65535, 65535, 0, 0, 0, 0, t);
  WriteLn(ok, ' ', t:0:1, ' ', SameDateTime(t, DateOf(d)), ' ', SameDateTime(d, IncMilliSecond(d, 1)));
  WriteLn(DaysBetween(d, IncDay(d, -3)), ' ', YearsBetween(EncodeDateTime(2023, 3, 1, 0, 0, 0, 0), EncodeDateTime(2022, 3, 1, 0, 0, 0, 0)),
    ' ', MinutesBetween(d, IncHour(d, 2)), ' ', MinuteSpan(d, IncSecond(d, -90)):0:1, ' ', WithinPastDays(d, IncWeek(d, -1), 6));
  WriteLn(RecodeDate(d, 2000, 1, 1):0:6, ' ', DateTimeToJulianDate(EncodeDateTime(2000, 1, 1, 12, 0, 0, 0)):0:1);
  try
    d := RecodeMonth(EncodeDateTime(2024, 1, 31, 0, 0, 0, 0), 2);
  except
    on E: EConvertError do WriteLn(E.ClassName, ': ', E.Message);
  end;
  WriteLn(EncodeDateWeek(2021, 53, 1));
end.
)");
    ASSERT_TRUE(r.compiled) << r.out;
    EXPECT_FALSE(r.ok);
    // The conversion error is worded with the separators of the run's locale settings.
    const FormatSettings fs = FormatSettings::fromLocale();
    const std::string separators = fs.dateSeparator + std::string("2") + fs.dateSeparator + "31 0" +
                                   fs.timeSeparator + "0" + fs.timeSeparator + "0" + fs.decimalSeparator +
                                   "0";
    EXPECT_EQ(r.out, "2024 9 4 5147130250 2468730250\n"
                     "TRUE TRUE FALSE TRUE\n"
                     "2025-2-28 13:45:30.250\n"
                     "2020 W53 D7\n"
                     "2024 366\n"
                     "TRUE 44196.0\n"
                     "FALSE 7.0\n"
                     "TRUE 45351.0 TRUE FALSE\n"
                     "3 0 120 1.5 FALSE\n"
                     "36526.573267 2451545.0\n"
                     "EConvertError: '2024" +
                         separators + "' is not a valid date and time\n");
    EXPECT_EQ(r.error, "(2021, 53, 1) is not a valid DateWeek triplet");
}

} // namespace
