// The catalogue: every text registers verbatim, the seven steps register what and in which order they
// should, scripts compile and run against it, and duplicate names resolve to the later registration.
#include "engine/engine.h"
#include "library/catalogue.h"

#include <bit>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <regex>

namespace {

using novrix::engine::Engine;
using novrix::engine::NativeCall;
using novrix::engine::NativeFn;
using novrix::engine::NativeKind;
namespace lib = novrix::library;

// Records each call as "Name(arg, arg, ...)", the arguments as the binding reads them.
class CallLog {
public:
    NativeFn recorder(std::string name) {
        return [this, name = std::move(name)](NativeCall& c) {
            std::string line = name + "(";
            for (size_t k = 0; k < c.argCount(); ++k) {
                if (k)
                    line += ", ";
                line += argText(c, k);
            }
            calls.push_back(line + ")");
        };
    }

    std::vector<lib::NamedNative> fakes(const std::vector<std::string_view>& names) {
        std::vector<lib::NamedNative> out;
        for (std::string_view n : names)
            out.push_back({std::string(n), recorder(std::string(n))});
        return out;
    }

    lib::CatalogueBindings allFakes() {
        lib::CatalogueBindings b;
        b.dateTime = fakes(lib::dateTimeBindingNames());
        b.strings = fakes(lib::stringBindingNames());
        b.math = fakes(lib::mathBindingNames());
        b.novrix = [this](const lib::NovrixFunction& f) { return recorder(std::string(f.name)); };
        return b;
    }

    std::vector<std::string> calls;

private:
    static std::string argText(NativeCall& c, size_t k) {
        const auto& p = c.signature().params[k];
        char buf[64];
        switch (p.kind) {
        case NativeKind::Real:
            std::snprintf(buf, sizeof buf, "%g", c.realArg(k));
            return buf;
        case NativeKind::String:
            return "'" + std::string(c.strArg(k)) + "'";
        case NativeKind::OpenArray:
            return "[" + std::to_string(c.arrayLength(k)) + "]";
        case NativeKind::Variant:
            return "<" + c.variantArg(k).s + ">";
        default:
            return std::to_string(c.intArg(k));
        }
    }
};

struct ScriptRun {
    bool compiled = false;
    bool ran = false;
    std::string out;
    std::string error;
};

ScriptRun compileAndRun(Engine& e, const std::string& script) {
    ScriptRun r;
    e.setOutput([&r](std::string_view s) { r.out.append(s); });
    r.compiled = e.compile(script);
    if (!r.compiled) {
        for (const std::string& line : e.messageLines())
            r.error += line + "\n";
        return r;
    }
    r.ran = e.execute();
    r.error = e.runtimeError().text;
    return r;
}

std::string_view textOf(std::span<const lib::CatalogueDeclaration> table, std::string_view name) {
    for (const auto& d : table)
        if (d.name == name)
            return d.text;
    return "(missing)";
}

std::vector<std::string> names(const std::vector<std::string_view>& v) {
    return {v.begin(), v.end()};
}

template <class T>
std::vector<std::string> slice(const std::vector<T>& v, size_t from, size_t count) {
    std::vector<std::string> out;
    for (size_t k = from; k < from + count && k < v.size(); ++k)
        out.emplace_back(v[k].name);
    return out;
}

// ---------------------------------------------------------------------------------------------------------

TEST(LibraryCatalogue, WholeCatalogueRegistersVerbatimInOrder) {
    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    Engine e;
    e.onCompile = [&](Engine& en) { lib::registerCatalogue(en, b); };
    bool ok = false;
    ASSERT_NO_THROW(ok = e.compile("begin end.")) << "a declaration text did not parse";
    ASSERT_TRUE(ok);

    // The routines as the engine's front end parsed them: every text kept verbatim, every name parsed
    // as the table says, in registration order (date/time, strings, math, NOVRIX_).
    std::vector<std::pair<std::string_view, std::string_view>> expected;
    for (const auto& d : lib::dateTimeDeclarations())
        expected.emplace_back(d.name, d.text);
    for (const auto& s : lib::stringEntries())
        if (s.kind == lib::CatalogueEntry::Kind::Declaration)
            expected.emplace_back(s.name, s.text);
    for (const auto& d : lib::mathDeclarations())
        expected.emplace_back(d.name, d.text);
    for (const auto& f : lib::novrixFunctions())
        expected.emplace_back(f.name, f.text);
    const auto& routines = e.tables().routines;
    ASSERT_EQ(routines.size(), 126u + 28u + 59u + 110u);
    ASSERT_EQ(expected.size(), routines.size());
    for (size_t k = 0; k < routines.size(); ++k) {
        EXPECT_EQ(routines[k].declText, expected[k].second) << k;
        EXPECT_EQ(routines[k].name, expected[k].first) << k;
    }

    std::vector<std::string> types;
    for (const auto& t : e.tables().types)
        types.push_back(t.name);
    EXPECT_EQ(types, (std::vector<std::string>{"TDateTime", "TStringSeachOption", "TStringSearchOptions",
                                               "TSoundexLength", "TSoundexIntLength"}));

    const auto& constants = e.tables().constants;
    ASSERT_EQ(constants.size(), 10u + 11u);
    EXPECT_EQ(constants[0].name, "DaysPerWeek");
    EXPECT_EQ(constants[9].name, "ApproxDaysPerYear");
    EXPECT_EQ(constants[10].name, "MinSingle");
    EXPECT_EQ(constants[20].name, "NegInfinity");

    // Registration is repeated on every compile; nothing accumulates.
    ASSERT_TRUE(e.compile("begin end."));
    EXPECT_EQ(e.tables().routines.size(), routines.size());
    EXPECT_EQ(e.tables().constants.size(), 21u);
}

TEST(LibraryCatalogue, EachStepRegistersItsCountInItsOrder) {
    struct Step {
        const char* what;
        std::function<void(Engine&)> reg;
        size_t routines, constants, types;
        std::vector<std::string> firstRoutines, lastRoutines;
    };
    const std::vector<Step> steps = {
        {"1 date and time",
         lib::registerDateTimeDeclarations,
         126,
         10,
         1,
         {"DateOf", "TimeOf", "IsInLeapYear"},
         {"JulianDateToDateTime", "DateTimeToModifiedJulianDate", "ModifiedJulianDateToDateTime"}},
        {"3 strings",
         lib::registerStringDeclarations,
         28,
         0,
         4,
         {"AnsiResemblesText", "AnsiContainsText", "AnsiStartsText"},
         {"SoundexSimilar", "SoundexCompare", "SoundexProc"}},
        {"5 math",
         lib::registerMathDeclarations,
         59,
         11,
         0,
         {"ArcCos", "ArcSin", "ArcTan2"},
         {"MinValue", "Min", "MaxValue", "Max"}},
        {"7 NOVRIX_",
         [](Engine& en) { lib::registerNovrixFunctions(en, {}); },
         110,
         0,
         0,
         {"NOVRIX_Random", "NOVRIX_Randomize", "NOVRIX_DDEServerCreateItem"},
         {"NOVRIX_Sound", "NOVRIX_ProfiLabOut", "NOVRIX_ProfiLabIn"}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        Engine e;
        e.onCompile = s.reg;
        ASSERT_TRUE(e.compile("begin end."));
        const auto& r = e.tables().routines;
        EXPECT_EQ(r.size(), s.routines);
        EXPECT_EQ(e.tables().constants.size(), s.constants);
        EXPECT_EQ(e.tables().types.size(), s.types);
        EXPECT_EQ(slice(r, 0, s.firstRoutines.size()), s.firstRoutines);
        EXPECT_EQ(slice(r, r.size() - s.lastRoutines.size(), s.lastRoutines.size()), s.lastRoutines);
    }

    // Around the declared-only names of the date and time set (positions 39 to 42).
    EXPECT_EQ(
        slice(std::vector(lib::dateTimeDeclarations().begin(), lib::dateTimeDeclarations().end()), 36, 8),
        (std::vector<std::string>{"StartOfTheDay", "EndOfTheDay", "StartOfADay2", "EndOfADay2",
                                  "StartOfADay2", "EndOfADay2", "MonthOfTheYear", "WeekOfTheYear"}));

    // The binding steps name 122, 28 and 59 routines, the date and time set skipping the declared-only ones.
    auto dt = names(lib::dateTimeBindingNames());
    ASSERT_EQ(dt.size(), 122u);
    EXPECT_EQ(std::vector(dt.begin() + 35, dt.begin() + 40),
              (std::vector<std::string>{"EndOfAWeek", "StartOfTheDay", "EndOfTheDay", "MonthOfTheYear",
                                        "WeekOfTheYear"}));
    EXPECT_EQ(dt.back(), "ModifiedJulianDateToDateTime");
    auto str = names(lib::stringBindingNames());
    ASSERT_EQ(str.size(), 28u);
    EXPECT_EQ(std::vector(str.begin() + 18, str.begin() + 22),
              (std::vector<std::string>{"MidStr", "SearchBuf", "Soundex", "SoundexInt"}));
    auto math = names(lib::mathBindingNames());
    ASSERT_EQ(math.size(), 59u);
    EXPECT_EQ(math.front(), "ArcCos");
    EXPECT_EQ(math.back(), "Max");

    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    Engine e;
    size_t bound[3] = {};
    e.onCompile = [&](Engine& en) {
        lib::registerDateTimeDeclarations(en);
        bound[0] = lib::registerDateTimeBindings(en, b.dateTime);
        lib::registerStringDeclarations(en);
        bound[1] = lib::registerStringBindings(en, b.strings);
        lib::registerMathDeclarations(en);
        bound[2] = lib::registerMathBindings(en, b.math);
    };
    ASSERT_TRUE(e.compile("begin end."));
    EXPECT_EQ(bound[0], 122u);
    EXPECT_EQ(bound[1], 28u);
    EXPECT_EQ(bound[2], 59u);
}

TEST(LibraryCatalogue, StringStepInterleavesTypesWhereTheyAreFirstUsed) {
    std::vector<std::string> order;
    for (const auto& s : lib::stringEntries())
        order.push_back((s.kind == lib::CatalogueEntry::Kind::Type ? "type " : "") + std::string(s.name));
    ASSERT_EQ(order.size(), 32u);
    EXPECT_EQ(std::vector(order.begin() + 18, order.begin() + 27),
              (std::vector<std::string>{"MidStr", "type TStringSeachOption", "type TStringSearchOptions",
                                        "SearchBuf", "type TSoundexLength", "Soundex",
                                        "type TSoundexIntLength", "SoundexInt", "DecodeSoundexInt"}));
    EXPECT_EQ(lib::stringEntries()[19].text, "( soDown, soMatchCase, soWholeWord )");
    EXPECT_EQ(lib::stringEntries()[20].text, "set of TStringSeachOption");
}

// The standard sets' texts follow one layout: "Function Name( params) : Result", blanks on both sides of
// every colon; only the four declared-only texts end in a semicolon.
TEST(LibraryCatalogue, StandardSetTextsFollowTheirLayout) {
    const std::regex layout(R"(^(Function|Procedure) (\w+)\( ([^()]*)\)( : (\w+))?(;?)$)");
    auto check = [&](std::string_view name, std::string_view text, bool declaredOnly) {
        std::string t(text);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(t, m, layout)) << t;
        EXPECT_EQ(m[2].str(), name) << t;
        EXPECT_EQ(m[1].str() == "Function", m[4].matched) << t;
        EXPECT_EQ(m[6].str() == ";", declaredOnly) << t;
        for (size_t k = t.find(':'); k != std::string::npos; k = t.find(':', k + 1)) {
            EXPECT_TRUE(k > 0 && t[k - 1] == ' ' && t[k + 1] == ' ') << t;
        }
        EXPECT_EQ(t.find("  "), std::string::npos) << t;
    };
    for (const auto& d : lib::dateTimeDeclarations())
        check(d.name, d.text, !d.bound);
    for (const auto& d : lib::mathDeclarations())
        check(d.name, d.text, false);
    for (const auto& s : lib::stringEntries())
        if (s.kind == lib::CatalogueEntry::Kind::Declaration)
            check(s.name, s.text, false);

    // Texts given as they must read, character for character.
    const auto dt = lib::dateTimeDeclarations();
    EXPECT_EQ(dt[0].text, "Function DateOf( const AValue : TDateTime) : TDateTime");
    EXPECT_EQ(textOf(dt, "DecodeDateTime"),
              "Procedure DecodeDateTime( const AValue : TDateTime; out AYear, AMonth, ADay, "
              "AHour, AMinute, ASecond, AMilliSecond : Word)");
    EXPECT_EQ(dt[38].text, "Function StartOfADay2( const AYear, AMonth, ADay : Word) : TDateTime;");
    EXPECT_EQ(dt[41].text, "Function EndOfADay2( const AYear, ADayOfYear : Word) : TDateTime;");
    EXPECT_EQ(textOf(dt, "WithinPastHours"),
              "Function WithinPastHours( const ANow, AThen : TDateTime; const AHours : Int64) : Boolean");
    EXPECT_EQ(textOf(dt, "IncDay"),
              "Function IncDay( const AValue : TDateTime; ANumberOfDays : Integer) : TDateTime");
    EXPECT_EQ(textOf(dt, "TryEncodeDateWeek"),
              "Function TryEncodeDateWeek( const AYear, AWeekOfYear : Word; out AValue : "
              "TDateTime; const ADayOfWeek : Word) : Boolean");
    EXPECT_EQ(textOf(lib::mathDeclarations(), "SinCos"),
              "Procedure SinCos( const Theta : Extended; var Sin, Cos : Extended)");
    EXPECT_EQ(
        lib::stringEntries()[21].text,
        "Function SearchBuf( Buf : PChar; BufLen : Integer; SelStart, SelLength : Integer; SearchString : "
        "String; Options : TStringSearchOptions) : PChar");
}

TEST(LibraryCatalogue, NovrixRowsKeepTheirTextsAndGroups) {
    const auto f = lib::novrixFunctions();
    ASSERT_EQ(f.size(), 110u);
    for (size_t k = 0; k < f.size(); ++k) {
        EXPECT_EQ(f[k].row, int(k + 1));
        // The text declares the row's name (case and all).
        std::string t(f[k].text);
        EXPECT_TRUE(t.starts_with("function " + std::string(f[k].name)) ||
                    t.starts_with("procedure " + std::string(f[k].name)))
            << t;
        // Only rows 39 to 43 lack the trailing semicolon.
        EXPECT_EQ(t.ends_with(";"), f[k].row < 39 || f[k].row > 43) << t;
    }
    EXPECT_EQ(f[38].text, "function NOVRIX_KbdReadLn:variant");
    EXPECT_EQ(f[5].text,
              "function NOVRIX_DDEClientGetValue(Name:String;Item:String; Var Answer:String):Boolean;");
    EXPECT_EQ(f[55].text, "function NOVRIX_BusGetEoi:Boolean;");
    EXPECT_EQ(f[57].text, "function NOVRIX_BusGetEoi:Integer;");

    struct GroupCase {
        int row;
        lib::FunctionGroup group;
        std::string_view name;
    };
    for (const GroupCase& c : std::vector<GroupCase>{{1, lib::FunctionGroup::Utility, "Utility"},
                                                     {3, lib::FunctionGroup::Dde, "DDE"},
                                                     {7, lib::FunctionGroup::File, "File"},
                                                     {31, lib::FunctionGroup::Console, "Console"},
                                                     {41, lib::FunctionGroup::Console, "Console"},
                                                     {45, lib::FunctionGroup::Utility, "Utility"},
                                                     {46, lib::FunctionGroup::Bus, "Bus"},
                                                     {74, lib::FunctionGroup::Serial, "Serial"},
                                                     {90, lib::FunctionGroup::Modbus, "Modbus"},
                                                     {91, lib::FunctionGroup::DirectIo, "DirectIO"},
                                                     {93, lib::FunctionGroup::Network, "Network"},
                                                     {104, lib::FunctionGroup::DirectIo, "DirectIO"},
                                                     {105, lib::FunctionGroup::Extras, "Extras"},
                                                     {106, lib::FunctionGroup::Bus, "Bus"},
                                                     {110, lib::FunctionGroup::Extras, "Extras"}}) {
        EXPECT_EQ(f[size_t(c.row - 1)].group, c.group) << c.row;
        EXPECT_EQ(lib::groupName(f[size_t(c.row - 1)].group), c.name) << c.row;
    }
    // Every Bus row is a bus or device function, and every bus function is in the Bus group.
    for (const auto& r : f) {
        std::string_view n = r.name;
        bool busName = n.starts_with("NOVRIX_Bus") || n.starts_with("NOVRIX_Dev");
        EXPECT_EQ(busName, r.group == lib::FunctionGroup::Bus) << n;
    }
}

// ---------------------------------------------------------------------------------------------------------
// scripts against the registration

TEST(LibraryCatalogue, ScriptsCallEachSetThroughItsBindings) {
    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    Engine e;
    e.onCompile = [&](Engine& en) { lib::registerCatalogue(en, b); };
    ScriptRun r = compileAndRun(e, R"(
var
  t: TDateTime; d: Double;
  y, mo, dd, h, mi, s, ms: Word;
  sn, cs: Extended;
  ok: Boolean;
begin
  d := 45000.75;
  t := d;                { TDateTime and Double are interchangeable }
  d := DateOf(t);
  DecodeDateTime(t, y, mo, dd, h, mi, s, ms);
  ok := IsValidDate(2024, 2, 29);
  t := IncHour(t, 5000000000);
  ok := AnsiContainsText('Hello', 'ell');
  WriteLn(LeftStr('abc', 2) + '|');
  ok := AnsiMatchStr('b', ['a', 'b', 'c']);
  WriteLn(Soundex('Robert', 4) + '|');
  d := Max(1.5, 2.5);
  SinCos(0.5, sn, cs);
  d := Mean([1.0, 2.0, 4.0]);
  d := Power(2, 10);
  NOVRIX_ScreenWriteLn('x');
  NOVRIX_TimeSleep(0.25);
  ok := NOVRIX_KbdKeypressed;
  d := ApproxDaysPerYear + DaysPerWeek + Infinity;
end.
)");
    ASSERT_TRUE(r.compiled) << r.error;
    ASSERT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "|\n|\n"); // the fakes return empty strings
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "DateOf(45000.8)",
                             "DecodeDateTime(45000.8, 0, 0, 0, 0, 0, 0, 0)",
                             "IsValidDate(2024, 2, 29)",
                             "IncHour(45000.8, 5000000000)",
                             "AnsiContainsText('Hello', 'ell')",
                             "LeftStr('abc', 2)",
                             "AnsiMatchStr('b', [3])",
                             "Soundex('Robert', 4)",
                             "Max(1.5, 2.5)",
                             "SinCos(0.5, 0, 0)",
                             "Mean([3])",
                             "Power(2, 10)",
                             "NOVRIX_ScreenWriteLn(<x>)",
                             "NOVRIX_TimeSleep(0.25)",
                             "NOVRIX_KbdKeypressed()",
                         }));
}

// The three standard sets' own implementations bind under exactly the names of the binding orders.
TEST(LibraryCatalogue, StandardImplementationsCoverEveryBoundName) {
    const lib::CatalogueBindings b{lib::dateTimeBindings(), lib::stringBindings(), lib::mathBindings(), {}};
    auto implNames = [](const std::vector<lib::NamedNative>& v) {
        std::vector<std::string> out;
        for (const auto& n : v)
            out.push_back(n.name);
        return out;
    };
    EXPECT_EQ(implNames(b.dateTime), names(lib::dateTimeBindingNames()));
    EXPECT_EQ(implNames(b.strings), names(lib::stringBindingNames()));
    EXPECT_EQ(implNames(b.math), names(lib::mathBindingNames()));

    Engine e;
    size_t bound[3] = {};
    e.onCompile = [&](Engine& en) {
        lib::registerDateTimeDeclarations(en);
        bound[0] = lib::registerDateTimeBindings(en, b.dateTime);
        lib::registerStringDeclarations(en);
        bound[1] = lib::registerStringBindings(en, b.strings);
        lib::registerMathDeclarations(en);
        bound[2] = lib::registerMathBindings(en, b.math);
        lib::registerNovrixFunctions(en, {});
    };
    ScriptRun r = compileAndRun(
        e, "begin WriteLn(DaysInAMonth(2024, 2), ' ', LeftStr('abcdef', 3), ' ', Max(2.5, 1.5):0:1); end.");
    ASSERT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "29 abc 2.5\n");
    EXPECT_EQ(bound[0], 122u);
    EXPECT_EQ(bound[1], 28u);
    EXPECT_EQ(bound[2], 59u);
}

TEST(LibraryCatalogue, StartOfADay2CompilesAgainstTheLaterDeclarationButCannotBeLoaded) {
    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    // Even an implementation offered under the name is not bound.
    b.dateTime.push_back({"StartOfADay2", log.recorder("StartOfADay2")});
    b.dateTime.push_back({"EndOfADay2", log.recorder("EndOfADay2")});
    Engine e;
    e.onCompile = [&](Engine& en) { lib::registerCatalogue(en, b); };

    for (const char* name : {"StartOfADay2", "EndOfADay2"}) {
        SCOPED_TRACE(name);
        ScriptRun r =
            compileAndRun(e, "var t: TDateTime; begin t := " + std::string(name) + "(2024, 60); end.");
        ASSERT_TRUE(r.compiled) << r.error;
        EXPECT_FALSE(r.ran);
        EXPECT_NE(r.error.find(name), std::string::npos) << r.error;

        // The three-Word declaration is hidden by the two-Word one.
        r = compileAndRun(e, "var t: TDateTime; begin t := " + std::string(name) + "(2024, 2, 29); end.");
        EXPECT_FALSE(r.compiled);
    }
    EXPECT_TRUE(log.calls.empty());

    // A script that does not use them runs.
    ScriptRun r = compileAndRun(e, "begin WriteLn(DaysPerWeek); end.");
    EXPECT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "7\n");
}

TEST(LibraryCatalogue, StandardNameWithoutImplementationStaysUnbound) {
    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    std::erase_if(b.math, [](const lib::NamedNative& n) { return n.name == "Hypot"; });
    // Names are matched without regard to case; names outside the binding order are ignored.
    for (auto& n : b.strings)
        if (n.name == "ReverseString")
            n.name = "REVERSESTRING";
    b.strings.push_back({"NoSuchRoutine", log.recorder("NoSuchRoutine")});
    Engine e;
    size_t stringsBound = 0, mathBound = 0;
    e.onCompile = [&](Engine& en) {
        lib::registerDateTimeDeclarations(en);
        lib::registerDateTimeBindings(en, b.dateTime);
        lib::registerStringDeclarations(en);
        stringsBound = lib::registerStringBindings(en, b.strings);
        lib::registerMathDeclarations(en);
        mathBound = lib::registerMathBindings(en, b.math);
        lib::registerNovrixFunctions(en, b.novrix);
    };
    ScriptRun r = compileAndRun(e, "begin WriteLn(ReverseString('ab') + '.'); end.");
    EXPECT_TRUE(r.ran) << r.error;
    EXPECT_EQ(log.calls, std::vector<std::string>{"ReverseString('ab')"});
    EXPECT_EQ(stringsBound, 28u);
    EXPECT_EQ(mathBound, 58u);

    r = compileAndRun(e, "var x: Extended; begin x := Hypot(3, 4); end.");
    ASSERT_TRUE(r.compiled) << r.error;
    EXPECT_FALSE(r.ran);
    EXPECT_NE(r.error.find("Hypot"), std::string::npos) << r.error;
}

TEST(LibraryCatalogue, NovrixFunctionWithoutImplementationRaisesNotImplemented) {
    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    b.novrix = [&log](const lib::NovrixFunction& f) -> NativeFn {
        if (f.name == "NOVRIX_ScreenClear")
            return log.recorder("NOVRIX_ScreenClear");
        return {};
    };
    Engine e;
    e.onCompile = [&](Engine& en) { lib::registerCatalogue(en, b); };

    ScriptRun r = compileAndRun(e, "begin NOVRIX_ScreenClear; NOVRIX_BusIFC; WriteLn('after'); end.");
    ASSERT_TRUE(r.compiled) << r.error;
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.error, "not implemented: NOVRIX_BusIFC");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(log.calls, std::vector<std::string>{"NOVRIX_ScreenClear()"});

    // A script may catch it like any other run-time error.
    r = compileAndRun(e,
                      "var s: String; begin try s := NOVRIX_KbdReadLn; except WriteLn('caught'); end; end.");
    EXPECT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "caught\n");

    // With no lookup at all every NOVRIX_ function raises.
    b.novrix = nullptr;
    r = compileAndRun(e, "var x: Double; begin x := NOVRIX_Random(10); end.");
    EXPECT_EQ(r.error, "not implemented: NOVRIX_Random");
    EXPECT_EQ(lib::notImplementedMessage("NOVRIX_Xxx"), "not implemented: NOVRIX_Xxx");
}

TEST(LibraryCatalogue, LaterRegistrationsOfAName) {
    CallLog log;
    lib::CatalogueBindings b = log.allFakes();
    b.novrix = [&log](const lib::NovrixFunction& f) -> NativeFn {
        if (f.row == 56)
            return [&log](NativeCall& c) {
                log.calls.push_back("row 56");
                c.returnBool(true);
            };
        if (f.row == 58)
            return [&log](NativeCall& c) {
                log.calls.push_back("row 58");
                c.returnInt(42);
            };
        return {};
    };
    Engine e;
    e.onCompile = [&](Engine& en) { lib::registerCatalogue(en, b); };

    ScriptRun r = compileAndRun(e, "begin WriteLn(ApproxDaysPerMonth:0:6, ' ', ApproxDaysPerYear:0:6); end.");
    ASSERT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "30.437500 365.250000\n");

    r = compileAndRun(e, "var i: Integer; begin i := NOVRIX_BusGetEoi; WriteLn(i + 1); end.");
    ASSERT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "43\n");
    EXPECT_EQ(log.calls, std::vector<std::string>{"row 58"});

    // The Boolean declaration of row 56 is out of sight.
    r = compileAndRun(e, "var ok: Boolean; begin ok := NOVRIX_BusGetEoi; end.");
    EXPECT_FALSE(r.compiled);
}

TEST(LibraryCatalogue, ConstantValues) {
    std::vector<double> seen;
    Engine e;
    e.onCompile = [&](Engine& en) {
        lib::registerCatalogue(en, {});
        en.addDeclaration("procedure Probe(const X : Extended);",
                          [&seen](NativeCall& c) { seen.push_back(c.realArg(0)); });
    };
    const std::vector<std::string> constantNames = {"DaysPerWeek",
                                                    "WeeksPerFortnight",
                                                    "MonthsPerYear",
                                                    "YearsPerDecade",
                                                    "YearsPerCentury",
                                                    "YearsPerMillennium",
                                                    "ApproxDaysPerMonth",
                                                    "ApproxDaysPerYear",
                                                    "MinSingle",
                                                    "MaxSingle",
                                                    "MinDouble",
                                                    "MaxDouble",
                                                    "MinExtended",
                                                    "MaxExtended",
                                                    "MinComp",
                                                    "MaxComp",
                                                    "NaN",
                                                    "Infinity",
                                                    "NegInfinity"};
    std::string script = "begin\n";
    for (const std::string& n : constantNames)
        script += "  Probe(" + n + ");\n";
    ScriptRun r = compileAndRun(e, script + "end.\n");
    ASSERT_TRUE(r.ran) << r.error;
    ASSERT_EQ(seen.size(), constantNames.size());

    const std::vector<double> exact = {
        7, 2, 12, 10, 100, 1000, 30.4375, 365.25, 1.5e-45, 3.4e38, 4.9406564584124654e-324, 1.7e308};
    for (size_t k = 0; k < exact.size(); ++k)
        EXPECT_EQ(seen[k], exact[k]) << constantNames[k];
    EXPECT_EQ(seen[12], std::numeric_limits<double>::denorm_min());    // MinExtended, below the double range
    EXPECT_EQ(seen[13], std::numeric_limits<double>::max());           // MaxExtended, above it
    EXPECT_EQ(seen[14], -9223372036854775808.0);                       // MinComp
    EXPECT_EQ(seen[15], 9223372036854775808.0);                        // MaxComp
    EXPECT_EQ(std::bit_cast<uint64_t>(seen[16]), 0xFFF8000000000000u); // NaN: negative, quiet
    EXPECT_EQ(seen[17], std::numeric_limits<double>::infinity());
    EXPECT_EQ(seen[18], -std::numeric_limits<double>::infinity());

    // The hidden first registrations still carry their own values.
    const auto dtc = lib::dateTimeConstants();
    EXPECT_EQ(std::get<double>(dtc[6].value), 30.436875);
    EXPECT_EQ(std::get<double>(dtc[7].value), 365.2425);
    EXPECT_EQ(dtc[0].typeName, "LongInt");
    EXPECT_EQ(std::get<int64_t>(dtc[0].value), 7);
    for (const auto& c : lib::mathConstants())
        EXPECT_EQ(c.typeName, "Extended") << c.name;
}

TEST(LibraryCatalogue, UserFileNameIsTheHostsSetting) {
    std::string setting = "/home/u/UserFileName.Txt";
    Engine e;
    e.onCompile = [](Engine& en) { lib::registerCatalogue(en, {}); };
    e.onExecute = [&setting](Engine& en) { ASSERT_TRUE(en.bindVariable("UserFilename", &setting)); };
    ScriptRun r = compileAndRun(e, "begin WriteLn(UserFileName); UserFileName := 'other.txt'; end.");
    ASSERT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.out, "/home/u/UserFileName.Txt\n");
    EXPECT_EQ(setting, "other.txt");
    EXPECT_EQ(lib::userFileNameVariable().typeName, "String");
}

} // namespace
