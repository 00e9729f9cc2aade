// The help listing: declaration formatting, the order and uniqueness of its lists, the filters, the fixed
// frame around the lists, and a listing built from a real compile.
#include "engine/engine.h"
#include "host/help_listing.h"
#include "library/catalogue.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using novrix::engine::CompileTables;
using novrix::engine::Engine;
using novrix::host::buildHelpListing;
using novrix::host::buildHelpListingLines;
using novrix::host::compareListingText;
using novrix::host::formatDeclaration;
using novrix::host::HelpListing;
using novrix::host::listingEntry;

namespace {

using Param = CompileTables::Param;
using Routine = CompileTables::Routine;

Routine routine(std::string name, std::vector<Param> params, std::string resultType = "") {
    Routine r;
    r.name = std::move(name);
    r.isFunction = !resultType.empty();
    r.params = std::move(params);
    r.resultType = std::move(resultType);
    return r;
}

// The frame every listing has: the introduction before the lists, the printer-port table after them.
const std::vector<std::string> kIntro = {"In addition to standard pascal syntax you are allowed to use",
                                         "the following list of types, constants, functions and procedures.",
                                         ""};
const std::vector<std::string> kPortTable = {
    "If you you use the direct port i/o functions to read some bits in",
    "from a printer port, then the following table might be of some use:",
    "",
    "Bit Pin Name",
    "3   15  Error",
    "4   13  Select In",
    "5   12  Paper Empty",
    "6   10  Acknowledge",
    "7   11  Busy"};

std::vector<std::string> framed(const std::vector<std::string>& lists) {
    std::vector<std::string> all = kIntro;
    all.insert(all.end(), lists.begin(), lists.end());
    all.insert(all.end(), kPortTable.begin(), kPortTable.end());
    return all;
}

// The entries under `heading`, up to the empty line that closes the list.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& heading) {
    auto at = std::find(lines.begin(), lines.end(), heading);
    if (at == lines.end())
        return {"<no heading " + heading + ">"};
    auto end = std::find(at + 1, lines.end(), std::string());
    return {at + 1, end};
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    EXPECT_EQ(start, text.size()) << "the last line has no line end";
    return lines;
}

} // namespace

TEST(HostHelpListing, FormatDeclarationShowsNamesAndTypesWithoutModes) {
    struct Case {
        Routine routine;
        const char* kind;
        const char* paramText;
        const char* entry;
    };
    const std::vector<Case> cases = {
        {routine("NOVRIX_Randomize", {}), "Procedure", "", "Procedure NOVRIX_Randomize"},
        {routine("NOVRIX_FileReadEof", {}, "Boolean"), "Function", ":Boolean",
         "Function NOVRIX_FileReadEof:Boolean"},
        {routine("Hypot", {{"X", "const", "Extended", ""}, {"Y", "const", "Extended", ""}}, "Extended"),
         "Function", "(X:Extended;Y:Extended):Extended", "Function Hypot(X:Extended;Y:Extended):Extended"},
        // var, const and out are all dropped
        {routine("SinCos", {{"Theta", "const", "Extended", ""},
                            {"Sin", "var", "Extended", ""},
                            {"Cos", "out", "Extended", ""}}),
         "Procedure", "(Theta:Extended;Sin:Extended;Cos:Extended)",
         "Procedure SinCos(Theta:Extended;Sin:Extended;Cos:Extended)"},
        // an untyped parameter has no ":"; a default value is not shown
        {routine("Fill", {{"Buf", "var", "", ""}, {"Count", "", "Integer", "10"}}), "Procedure",
         "(Buf;Count:Integer)", "Procedure Fill(Buf;Count:Integer)"},
        {routine("Touch", {{"Data", "var", "", ""}}), "Procedure", "(Data)", "Procedure Touch(Data)"},
        // type names as the compiler gives them, letter case and blanks kept
        {routine("Mean", {{"Data", "const", "array of Double", ""}}, "Extended"), "Function",
         "(Data:array of Double):Extended", "Function Mean(Data:array of Double):Extended"},
        {routine("NOVRIX_ScreenGotoXY", {{"x", "", "integer", ""}, {"y", "", "integer", ""}}), "Procedure",
         "(x:integer;y:integer)", "Procedure NOVRIX_ScreenGotoXY(x:integer;y:integer)"},
    };
    for (const Case& c : cases) {
        auto d = formatDeclaration(c.routine);
        EXPECT_EQ(d.kind, c.kind) << c.entry;
        EXPECT_EQ(d.paramText, c.paramText) << c.entry;
        EXPECT_EQ(listingEntry(c.routine), c.entry);
    }
}

TEST(HostHelpListing, OrderIgnoresCaseAndPutsPunctuationBeforeDigitsBeforeLetters) {
    struct Case {
        const char* a;
        const char* b;
        int sign; // of compare(a, b)
    };
    const std::vector<Case> cases = {
        {"Function Log10(X:Extended):Extended", "Function Log2(X:Extended):Extended", -1},
        {"Function Log2(X:Extended):Extended", "Function LogN(Base:Extended;X:Extended):Extended", -1},
        {"Function max(A:Extended):Extended", "Function MinValue(Data:array of Double):Double", -1},
        {"Function Foo:Integer", "Function Foo2:Integer", -1},     // ':' before a digit
        {"Function Foo(A:Byte):Byte", "Function FooBar:Byte", -1}, // '(' before a letter
        {"Type A_B", "Type AB", -1},                               // '_' before a letter
        {"Type A_B", "Type A0", -1},                               // and before a digit
        {"Type Word", "Type Word32", -1},                          // a prefix first
        {"Function Z:Byte", "Procedure A", -1},                    // the kind word decides first
        {"Const ApproxDaysPerYear", "Const APPROXDAYSPERYEAR", 0},
        {"Type b", "Type A", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareListingText(c.a, c.b), c.sign) << c.a << " <> " << c.b;
        EXPECT_EQ(compareListingText(c.b, c.a), -c.sign) << c.b << " <> " << c.a;
    }
}

TEST(HostHelpListing, SmallTablesGiveTheCompleteListing) {
    CompileTables t;
    t.builtinTypes = {"Word", "Byte", "!OPENARRAYOFDOUBLE", "_Raw", "Int64", "Integer"};
    t.types = {
        {"TDateTime", "Double"}, {"tdatetime", "Double"}, {"Byte", "Byte"}, {"TMode", "(mdOff, mdOn)"}};
    t.constants = {{"MaxDouble", "Extended", 1.7e308},
                   {"ApproxDaysPerYear", "Extended", 365.2425},
                   {"ApproxDaysPerYear", "Extended", 365.25},
                   {"approxDaysPerMonth", "Extended", 30.4375},
                   {"_Secret", "Integer", int64_t(1)}};
    t.routines = {
        routine("Log2", {{"X", "const", "Extended", ""}}, "Extended"),
        routine("LogN", {{"Base", "const", "Extended", ""}, {"X", "const", "Extended", ""}}, "Extended"),
        routine("Log10", {{"X", "const", "Extended", ""}}, "Extended"),
        routine("Log2", {{"X", "const", "Extended", ""}}, "Extended"),
        routine("max", {{"A", "const", "Extended", ""}, {"B", "const", "Extended", ""}}, "Extended"),
        routine("SinCos", {{"Theta", "const", "Extended", ""},
                           {"Sin", "var", "Extended", ""},
                           {"Cos", "var", "Extended", ""}}),
        routine("_Private", {}, "Integer"),
        routine("Weird", {{"A", "const", "!OPENARRAYOFDOUBLE", ""}}, "Integer"),
        routine("Apply", {{"F", "", "TFunctionRef", ""}}),
        routine("NOVRIX_Randomize", {}),
        routine("NOVRIX_BusGetEoi", {}, "Boolean"),
        routine("NOVRIX_BusGetEoi", {}, "Integer"),
        routine("NOVRIX_TimeNow", {}, "TDateTime"),
        routine("Release", {{"H", "", "TNOVRIXHandle", ""}}),
    };
    const std::vector<std::string> expected = framed({
        "Types:",
        "Type Byte", // the builtin and the registered Byte are one entry
        "Type Int64",
        "Type Integer",   // "Int64" before "Integer": digits before letters
        "Type TDateTime", // "tdatetime" registered later is the same entry ignoring case: dropped
        "Type TMode",     // "!OPENARRAYOFDOUBLE" and "_Raw" are internal names: left out
        "Type Word",
        "",
        "Constants:",
        "Const _Secret",            // constants are not filtered; '_' sorts before the letters
        "Const approxDaysPerMonth", // case ignored in the order
        "Const ApproxDaysPerYear",  // registered twice, listed once
        "Const MaxDouble",
        "",
        "General functions:",
        "Function Log10(X:Extended):Extended", // Log2 registered twice, listed once
        "Function Log2(X:Extended):Extended",
        "Function LogN(Base:Extended;X:Extended):Extended",
        "Function max(A:Extended;B:Extended):Extended", // _Private and Weird (a "!" type) left out
        "Procedure Apply(F:TFunctionRef)",              // contains the word "Function", so it stands here too
        "",
        "General procedures:",
        "Procedure Apply(F:TFunctionRef)", // ...and, as a procedure, here
        "Procedure SinCos(Theta:Extended;Sin:Extended;Cos:Extended)",
        "",
        "NOVRIX specific functions and procedures:",
        "Function NOVRIX_BusGetEoi:Boolean", // the two declarations differ, so both stay
        "Function NOVRIX_BusGetEoi:Integer",
        "Function NOVRIX_TimeNow:TDateTime", // every Function before every Procedure
        "Procedure NOVRIX_Randomize",
        "Procedure Release(H:TNOVRIXHandle)", // "NOVRIX" anywhere, here in a type name
        "",
    });
    EXPECT_EQ(buildHelpListingLines(t), expected);
    EXPECT_EQ(splitLines(buildHelpListing(t)), expected);
}

TEST(HostHelpListing, EmptyTablesStillGiveEveryHeadingAndTheFrame) {
    const std::vector<std::string> expected =
        framed({"Types:", "", "Constants:", "", "General functions:", "", "General procedures:", "",
                "NOVRIX specific functions and procedures:", ""});
    EXPECT_EQ(buildHelpListingLines(CompileTables{}), expected);
    EXPECT_EQ(splitLines(buildHelpListing(CompileTables{})), expected);
}

TEST(HostHelpListing, BuiltFromTheFirstCompileOnlyAndWithoutTheScriptsOwnRoutines) {
    Engine e;
    HelpListing listing;
    e.onCompile = [](Engine& en) {
        en.addType("TDateTime", "Double");
        en.addType("TStringSeachOption", "( soDown, soMatchCase, soWholeWord )");
        en.addConstant("ApproxDaysPerYear", "Extended", 365.2425);
        en.addConstant("ApproxDaysPerYear", "Extended", 365.25);
        en.addConstant("DaysPerWeek", "LongInt", int64_t(7));
        en.addDeclaration("Function DateOf( const AValue : TDateTime) : TDateTime");
        en.addDeclaration("Procedure DecodeDateDay( const AValue : TDateTime; out AYear, ADayOfYear : Word)");
        en.addDeclaration(
            "Function AnsiIndexText( const AText : string; const AValues : array of string) : Integer");
        en.addDeclaration("function _Helper(A: Integer): Integer;");
        en.addDeclaration("function NOVRIX_KbdReadLn:variant");
        en.addDeclaration("procedure NOVRIX_ScreenGotoXY(x,y:integer);");
        en.addDeclaration("function NOVRIX_BusGetEoi:Boolean;");
        en.addDeclaration("function NOVRIX_BusGetEoi:Integer;");
    };
    e.onBeforeCleanUp = [&listing](Engine& en) {
        // Only the registrations here; the engine's own routines have a test of their own.
        auto tables = en.tables();
        tables.builtinRoutines.clear();
        listing.buildOnce(tables);
        return true;
    };
    ASSERT_TRUE(listing.pending());
    ASSERT_TRUE(e.compile("procedure MyOwnProc; begin end;\n"
                          "function MyOwnFunc: Integer; begin Result := 1; end;\n"
                          "begin MyOwnProc; end."))
        << e.messageLines().front();
    EXPECT_FALSE(listing.pending());
    const std::string first = listing.text();
    auto lines = splitLines(first);

    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), kIntro);
    EXPECT_EQ(std::vector<std::string>(lines.end() - kPortTable.size(), lines.end()), kPortTable);

    auto types = section(lines, "Types:");
    EXPECT_EQ(types.size(), e.tables().builtinTypes.size() + 2);
    for (const char* t : {"Type Integer", "Type String", "Type TDateTime", "Type TStringSeachOption"})
        EXPECT_NE(std::find(types.begin(), types.end(), t), types.end()) << t;
    EXPECT_TRUE(std::is_sorted(types.begin(), types.end(),
                               [](const auto& a, const auto& b) { return compareListingText(a, b) < 0; }));

    EXPECT_EQ(section(lines, "Constants:"),
              (std::vector<std::string>{"Const ApproxDaysPerYear", "Const DaysPerWeek"}));
    EXPECT_EQ(
        section(lines, "General functions:"),
        (std::vector<std::string>{"Function AnsiIndexText(AText:string;AValues:array of string):Integer",
                                  "Function DateOf(AValue:TDateTime):TDateTime"}));
    EXPECT_EQ(
        section(lines, "General procedures:"),
        (std::vector<std::string>{"Procedure DecodeDateDay(AValue:TDateTime;AYear:Word;ADayOfYear:Word)"}));
    EXPECT_EQ(
        section(lines, "NOVRIX specific functions and procedures:"),
        (std::vector<std::string>{"Function NOVRIX_BusGetEoi:Boolean", "Function NOVRIX_BusGetEoi:Integer",
                                  "Function NOVRIX_KbdReadLn:variant",
                                  "Procedure NOVRIX_ScreenGotoXY(x:integer;y:integer)"}));
    EXPECT_EQ(first.find("MyOwn"), std::string::npos);
    EXPECT_EQ(first.find("_Helper"), std::string::npos);

    // A later compile, with other routines of the script's own and a wider catalogue, changes nothing.
    e.onCompile = [](Engine& en) { en.addDeclaration("procedure Extra;"); };
    ASSERT_TRUE(e.compile("procedure Another(X: Integer); begin end;\nbegin Another(2); end."));
    EXPECT_FALSE(listing.buildOnce(e.tables()));
    EXPECT_EQ(listing.text(), first);
}

TEST(HostHelpListing, TheWholeCatalogueFillsEachListAsItsRulesSay) {
    Engine e;
    e.onCompile = [](Engine& en) { novrix::library::registerCatalogue(en, {}); };
    ASSERT_TRUE(e.compile("begin end."));
    auto tables = e.tables();
    tables.builtinRoutines.clear();
    auto lines = buildHelpListingLines(tables);

    // TDateTime and the four string set types beside the compiler's own.
    auto types = section(lines, "Types:");
    EXPECT_EQ(types.size(), e.tables().builtinTypes.size() + 5);
    // 10 date and time plus 11 math constants; ApproxDaysPerMonth and ApproxDaysPerYear come twice.
    EXPECT_EQ(section(lines, "Constants:").size(), 19u);
    // Date and time: 126 declarations, 3 of them procedures (StartOfADay2 and EndOfADay2 come twice, but
    // with different parameters); strings: 28 functions; math: 59, 3 of them procedures.
    auto functions = section(lines, "General functions:");
    auto procedures = section(lines, "General procedures:");
    EXPECT_EQ(functions.size(), 123u + 28u + 56u);
    EXPECT_EQ(procedures,
              (std::vector<std::string>{
                  "Procedure DecodeDateDay(AValue:TDateTime;AYear:Word;ADayOfYear:Word)",
                  "Procedure DecodeDateTime(AValue:TDateTime;AYear:Word;AMonth:Word;ADay:Word;AHour:Word;"
                  "AMinute:Word;ASecond:Word;AMilliSecond:Word)",
                  "Procedure DecodeDateWeek(AValue:TDateTime;AYear:Word;AWeekOfYear:Word;ADayOfWeek:Word)",
                  "Procedure Frexp(X:Extended;Mantissa:Extended;Exponent:Integer)",
                  "Procedure SinCos(Theta:Extended;Sin:Extended;Cos:Extended)",
                  "Procedure SumsAndSquares(Data:array of Double;Sum:Extended;SumOfSquares:Extended)"}));
    for (const char* f : {"Function StartOfADay2(AYear:Word;AMonth:Word;ADay:Word):TDateTime",
                          "Function StartOfADay2(AYear:Word;ADayOfYear:Word):TDateTime",
                          "Function Log10(X:Extended):Extended"})
        EXPECT_NE(std::find(functions.begin(), functions.end(), f), functions.end()) << f;

    // All 110 rows, NOVRIX_BusGetEoi with both results; every Function before every Procedure.
    auto system = section(lines, "NOVRIX specific functions and procedures:");
    ASSERT_EQ(system.size(), 110u);
    auto firstProcedure = std::find_if(system.begin(), system.end(),
                                       [](const std::string& s) { return s.rfind("Procedure ", 0) == 0; });
    EXPECT_TRUE(std::all_of(system.begin(), firstProcedure,
                            [](const std::string& s) { return s.rfind("Function NOVRIX_", 0) == 0; }));
    EXPECT_TRUE(std::all_of(firstProcedure, system.end(),
                            [](const std::string& s) { return s.rfind("Procedure NOVRIX_", 0) == 0; }));
    for (const char* f :
         {"Function NOVRIX_BusGetEoi:Boolean", "Function NOVRIX_BusGetEoi:Integer",
          "Function NOVRIX_KbdReadLn:variant", "Procedure NOVRIX_ScreenGotoXY(x:integer;y:integer)",
          "Function NOVRIX_DDEClientGetValue(Name:String;Item:String;Answer:String):Boolean"})
        EXPECT_NE(std::find(system.begin(), system.end(), f), system.end()) << f;

    EXPECT_EQ(buildHelpListing(e.tables()).find("UserFileName"), std::string::npos)
        << "variables are not listed";
    EXPECT_EQ(lines.back(), "7   11  Busy");
}

TEST(HostHelpListing, TheEnginesOwnRoutinesAreListedBesideTheRegisteredOnes) {
    Engine e;
    e.onCompile = [](Engine& en) { en.addDeclaration("procedure NOVRIX_ScreenClear;"); };
    ASSERT_TRUE(e.compile("begin end."));
    auto lines = buildHelpListingLines(e.tables());
    auto functions = section(lines, "General functions:");
    auto procedures = section(lines, "General procedures:");
    for (const char* f : {"Function IntToStr(Value:Int64):String", "Function Copy(S;Index:Integer;Count:Integer):String",
                          "Function Pi:Extended"})
        EXPECT_NE(std::find(functions.begin(), functions.end(), f), functions.end()) << f;
    for (const char* p : {"Procedure WriteLn(Values)", "Procedure Halt", "Procedure Inc(X;N:Integer)"})
        EXPECT_NE(std::find(procedures.begin(), procedures.end(), p), procedures.end()) << p;
    EXPECT_EQ(section(lines, "NOVRIX specific functions and procedures:"),
              (std::vector<std::string>{"Procedure NOVRIX_ScreenClear"}));
}
