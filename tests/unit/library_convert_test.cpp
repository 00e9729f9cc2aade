// The conversion and string functions: fields of answers, Val's integer and real rules with their
// partial results, fixed, exponential and MJD texts with a decimal point in any locale, the numeric
// core of an answer, hex texts, removal of sub-texts; and the script adapters run through the engine.
#include "engine/engine.h"
#include "engine/runtime/date_time.h"
#include "library/catalogue.h"
#include "library/convert.h"
#include "library/convert_bindings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>

namespace {

namespace cv = novrix::library::convert;
using novrix::engine::NativeVariant;
using Tag = novrix::engine::NativeVariant::Tag;
using novrix::rt::FormatSettings;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

FormatSettings pointLocale() {
    return FormatSettings::invariant();
}

FormatSettings commaLocale() {
    FormatSettings fs;
    fs.decimalSeparator = ',';
    fs.thousandSeparator = '.';
    return fs;
}

NativeVariant real(double d) {
    NativeVariant v;
    v.tag = Tag::Real;
    v.d = d;
    return v;
}
NativeVariant integer(int64_t i) {
    NativeVariant v;
    v.tag = Tag::Integer;
    v.i = i;
    return v;
}
NativeVariant text(std::string s) {
    NativeVariant v;
    v.tag = Tag::String;
    v.s = std::move(s);
    return v;
}
NativeVariant boolean(bool b) {
    NativeVariant v;
    v.tag = Tag::Boolean;
    v.i = b ? 1 : 0;
    return v;
}
NativeVariant ofTag(Tag t) {
    NativeVariant v;
    v.tag = t;
    return v;
}

// ---------------------------------------------------------------------------------------------------------

TEST(LibraryConvert, NthArgumentCountsFieldsFromOne) {
    struct Case {
        int32_t n;
        std::string text;
        char delimiter;
        std::string expected;
    };
    const Case cases[] = {
        {1, "a,,b", ',', "a"},  {2, "a,,b", ',', ""},
        {3, "a,,b", ',', "b"},  {4, "a,,b", ',', ""},
        {0, "a,,b", ',', ""},   {-1, "a,,b", ',', ""},
        {1, "abc", ',', "abc"}, {2, "abc", ',', ""},
        {1, "", ',', ""},       {2, "a,", ',', ""},
        {3, "a,", ',', ""},     {1, ",b", ',', ""},
        {2, ",b", ',', "b"},    {3, "1;2;3", ';', "3"},
        {2, "1;2;3", ',', ""},  {2, "+1.5E+00\t-2.0E+00\r\n", '\t', "-2.0E+00\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::nthArgument(c.n, c.text, c.delimiter), c.expected) << c.n << " of '" << c.text << "'";
}

TEST(LibraryConvert, IntNumberFollowsValWithPartialResults) {
    struct Case {
        std::string text;
        int32_t expected;
    };
    const int32_t kMax = std::numeric_limits<int32_t>::max();
    const int32_t kMin = std::numeric_limits<int32_t>::min();
    const Case cases[] = {
        {"42", 42},
        {"  -7", -7},
        {"$1F", 31},
        {"0x1f", 31},
        {"x1F", 31},
        {"X1f", 31},
        {"0X1F", 31},
        {"12 V", 12},
        {"-5\r\n", 5}, // a partial result has no sign
        {"abc", 0},
        {"", 0},
        {"+5", 5},
        {" +12", 12},
        {"007", 7},
        {"0", 0},
        {"1 2", 1},
        {"- 5", 0},
        {"\t5", 0},  // only code 32 is a blank
        {"-$1F", 0}, // no sign before hex digits
        {"$", 0},
        {"$1G", 1},
        {"$FFFFFFFF", -1}, // eight hex digits are a 32-bit pattern
        {"$123456789", 0x12345678},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        // Beyond the Integer range a decimal number saturates.
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"99999999999", kMax},
        {"99999999999 V", kMax},
        {"-99999999999 V", kMax},
        {std::string("12\0 34", 6), 12}, // the text ends at a NUL
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::toIntNumber(c.text), c.expected) << "'" << c.text << "'";
}

TEST(LibraryConvert, FloatNumberFollowsValWithPartialResults) {
    struct Case {
        std::string text;
        double expected;
    };
    const Case cases[] = {
        {"1.5", 1.5},
        {"-2.5E-3", -0.0025},
        {"1.5 V", 15}, // all mantissa digits, unscaled
        {"1.234E+00\r\n", 1234},
        {"-12.5e1 ", 125},
        {"abc", 0},
        {"", 0},
        {"  3.25", 3.25},
        {"+", 0},
        {"-", 0},
        {"1E", 1},  // an exponent needs a digit
        {"1,5", 1}, // always a decimal point
        {".5", 0.5},
        {"5.", 5},
        {"1.5E+3", 1500},
        {"0.1", 0.1},
        {"123456789012345678", 123456789012345678.0},
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1e-400", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::toFloatNumber(c.text), c.expected) << "'" << c.text << "'";
}

TEST(LibraryConvert, FixedFormatRoundsToDecimalsAndEighteenDigits) {
    struct Case {
        double x;
        int32_t digits;
        std::string expected;
    };
    const Case cases[] = {
        {3.14159, 2, "3.14"},
        {2, 0, "2"},
        {0.1, 18, "0.100000000000000006"}, // the double nearest to 0.1, to 18 significant digits
        {0.1, -1, "0.100000000000000006"},
        {0.1, 19, "0.100000000000000006"},
        {2.5, 0, "3"}, // halves away from zero
        {-2.5, 0, "-3"},
        {0.125, 2, "0.13"},
        {999.9996, 3, "1000.000"},
        {123456789.123456789, 12, "123456789.123456791000"},
        {0.000123, 5, "0.00012"},
        {1e-20, 5, "0.00000"},
        {-0.001, 2, "0.00"}, // rounds to zero: no sign
        {-1234.5678, 1, "-1234.6"},
        {12345678.0, 2, "12345678.00"}, // no thousands separators
        {1e20, 2, "1E20"},              // more than 18 integer digits
        {kInf, 2, "INF"},
        {-kInf, 2, "-INF"},
        {kNaN, 2, "NAN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::toFixed(c.x, c.digits), c.expected) << c.x << " with " << c.digits;
}

TEST(LibraryConvert, ExponentialFormatAlwaysShowsTheSign) {
    struct Case {
        double x;
        int32_t total;
        int32_t exponent;
        std::string expected;
    };
    const int32_t kMin = std::numeric_limits<int32_t>::min();
    const Case cases[] = {
        {12.5, 5, 2, "+1.250E+01"},
        {-0.000123, 4, 3, "-1.23E-004"},
        {0, 3, 1, "+0.0E+0"},
        {1, 3, 4, "+1.0E+0"}, // an exponent length above 3 counts as 0
        {-1, 3, 2, "-1.0E+00"},
        {-0.0, 3, 1, "+0.0E+0"},
        {9.99, 2, 0, "+1.0E+1"}, // at least 2 significant digits
        {12345, kMin, 0, "+1.2E+4"},
        {12345, 3, -1, "+1.2E+4"},
        {1.0 / 3, 25, 0, "+3.33333333333333315E-1"}, // at most 18
        {1e-300, 5, 3, "+1.000E-300"},
        {1e100, 3, 1, "+1.0E+100"},
        {kInf, 5, 2, "+INF"},
        {-kInf, 5, 2, "-INF"},
        {kNaN, 5, 2, "NAN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::toExponential(c.x, c.total, c.exponent), c.expected)
            << c.x << " with (" << c.total << ", " << c.exponent << ")";
}

TEST(LibraryConvert, NumbersForInstrumentsCarryAPointInADecimalCommaLocale) {
    // The text of the value follows the locale; the fixed and exponential texts never do.
    const FormatSettings comma = commaLocale();
    EXPECT_EQ(cv::generalText(real(2.5), comma), "2,5");
    const auto x = cv::realValue(text("2,5"), comma);
    ASSERT_TRUE(x.has_value());
    EXPECT_EQ(cv::toFixed(*x, 2), "2.50");
    EXPECT_EQ(cv::toExponential(*x, 4, 2), "+2.50E+00");
    EXPECT_EQ(cv::stripToNumber(cv::generalText(real(-0.5), comma)), "-0.5");
}

TEST(LibraryConvert, GeneralTextOfVariants) {
    struct Case {
        NativeVariant v;
        FormatSettings locale;
        std::string expected;
    };
    const Case cases[] = {
        {real(0.5), pointLocale(), "0.5"}, // not the 23-character console form
        {real(0.5), commaLocale(), "0,5"},      {real(1.0 / 3), pointLocale(), "0.333333333333333"},
        {real(1e20), pointLocale(), "1E20"},    {real(-1.5e-7), pointLocale(), "-1.5E-7"},
        {integer(-42), pointLocale(), "-42"},   {text("abc"), pointLocale(), "abc"},
        {boolean(true), pointLocale(), "True"}, {boolean(false), pointLocale(), "False"},
        {ofTag(Tag::Empty), pointLocale(), ""}, {ofTag(Tag::Null), pointLocale(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::generalText(c.v, c.locale), c.expected);
}

TEST(LibraryConvert, RealValueOfVariants) {
    struct Case {
        NativeVariant v;
        FormatSettings locale;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {ofTag(Tag::Empty), pointLocale(), 0.0},
        {ofTag(Tag::Null), pointLocale(), std::nullopt},
        {integer(7), pointLocale(), 7.0},
        {real(2.5), pointLocale(), 2.5},
        {boolean(true), pointLocale(), -1.0},
        {text(" 2.5 "), pointLocale(), 2.5},
        {text("2,5"), commaLocale(), 2.5},
        {text("2.5"), commaLocale(), 2.5}, // what stripToNumber and toFixed write reads back
        {text("2,5"), pointLocale(), std::nullopt},
        {text("abc"), pointLocale(), std::nullopt},
        {text("1.5\r\n"), pointLocale(), std::nullopt},
        {text("1e400"), pointLocale(), kInf},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::realValue(c.v, c.locale), c.expected) << "'" << c.v.s << "'";
}

TEST(LibraryConvert, StripToNumberKeepsTheNumericCore) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"DCV +1,234E-03\r\n", "+1.234E-03"},
        {"abc", ""},
        {"V=-5V", "-5"},
        {"", ""},
        {"12", "12"},
        {"E5", "5"},
        {"+", ""},
        {"--5", "--5"},
        {"1.5 V 2", "1.5 V 2"},
        {"NDCV-000.1234E+0\n", "-000.1234E+0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::stripToNumber(c.text), c.expected) << "'" << c.text << "'";
}

TEST(LibraryConvert, MjdHasTwelveDecimals) {
    struct Case {
        double dateTime;
        std::string expected;
    };
    const Case cases[] = {
        {45658.5, "60676.500000000000"}, // 2025-01-01 12:00
        {0, "15018.000000000000"},
        {45658.123456789, "60676.123456788999"},
        // Extended precision: a double sum would round the last bit of the time of day away.
        {60000 + std::ldexp(1.0, -37), "75018.000000000007"},
        // Seven integer digits leave eleven decimals of the 18 significant digits.
        {2958465.999, "2973483.998999999840"},
        // Before 1899-12-30 the fraction counts forward from the start of the day.
        {-1.25, "15017.250000000000"},
        {-0.25, "15018.250000000000"},
        {-15018, "0.000000000000"},
        {-15018.5, "0.500000000000"},
        {-15019.25, "-0.750000000000"},
        {1e300, "1.00000000000000005E300"}, // the general form, 18 digits
        {kNaN, "NAN"},
        {kInf, "INF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::toMjd(c.dateTime), c.expected) << c.dateTime;
}

TEST(LibraryConvert, MjdAgreesWithTheJulianDayNumberOfTheCalendarDate) {
    // The Julian Day Number of the proleptic Gregorian date (Fliegel and Van Flandern; / truncates):
    // the MJD of a day's start is JDN - 2400001.
    auto jdn = [](int64_t y, int64_t m, int64_t d) {
        return (1461 * (y + 4800 + (m - 14) / 12)) / 4 + (367 * (m - 2 - 12 * ((m - 14) / 12))) / 12 -
               (3 * ((y + 4900 + (m - 14) / 12) / 100)) / 4 + d - 32075;
    };
    const double first = novrix::rt::encodeDate(1, 1, 1);
    const double last = novrix::rt::encodeDate(9999, 12, 31);
    for (double day = first; day <= last; day += 97) {
        int y = 0, m = 0, d = 0;
        novrix::rt::decodeDate(day, y, m, d);
        const int64_t mjd = jdn(y, m, d) - 2400001;
        // A quarter day after the day's start, counting forward also for negative TDateTimes.
        const double dateTime = day >= 0 ? day + 0.25 : day - 0.25;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.12f", static_cast<double>(mjd) + 0.25);
        ASSERT_EQ(cv::toMjd(dateTime), expected) << y << "-" << m << "-" << d;
    }
}

TEST(LibraryConvert, DecimalCommaAndPoint) {
    EXPECT_EQ(cv::toDecimalComma("1.5;2.25;3"), "1,5;2,25;3");
    EXPECT_EQ(cv::toDecimalPoint("1,5;2,25;3"), "1.5;2.25;3");
    EXPECT_EQ(cv::toDecimalComma(""), "");
    EXPECT_EQ(cv::toDecimalPoint("..,,"), "....");
}

TEST(LibraryConvert, HexToIntAcceptsBareHexDigitsUpTo7FFFFFFF) {
    struct Case {
        std::string hex;
        std::string expected;
    };
    const Case cases[] = {
        {"FF", "255"},
        {"7fffffff", "2147483647"},
        {"80000000", "-1"},
        {"", "-1"},
        {"1G", "-1"},
        {"0", "0"},
        {"00000000FF", "255"},
        {"07FFFFFFF", "2147483647"},
        {"0FFFFFFFF", "-1"},
        {"FFFFFFFF", "-1"},
        {"123456789", "-1"},
        {"$FF", "-1"},
        {"0xFF", "-1"},
        {"xFF", "-1"},
        {" FF", "-1"},
        {"FF ", "-1"},
        {"-1", "-1"},
        {"+1", "-1"},
        {std::string("F\0F", 3), "-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::hexToInt(c.hex), c.expected) << "'" << c.hex << "'";
}

TEST(LibraryConvert, RemoveDeletesOccurrencesFormedByDeletion) {
    struct Case {
        std::string what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"ab", "aabb", ""}, {"ab", "xaabbx", "xx"}, {"a", "banana", "bnn"},     {"aba", "ababa", "ba"},
        {"", "abc", "abc"}, {"abc", "ab", "ab"},    {"\r\n", "1.5\r\n", "1.5"}, {"  ", "a     b", "a b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cv::removeAll(c.what, c.text), c.expected) << "'" << c.what << "' from '" << c.text << "'";
}

TEST(LibraryConvert, RemoveEqualsDeletingTheFirstOccurrenceAgainAndAgain) {
    auto literally = [](const std::string& what, std::string text) {
        for (size_t at; (at = text.find(what)) != std::string::npos;)
            text.erase(at, what.size());
        return text;
    };
    std::mt19937 gen(12345);
    auto randomText = [&gen](size_t maxLength) {
        std::string s(gen() % (maxLength + 1), ' ');
        for (char& c : s)
            c = "ab"[gen() % 2];
        return s;
    };
    for (int k = 0; k < 20000; ++k) {
        const std::string what = randomText(4);
        if (what.empty())
            continue;
        const std::string text = randomText(16);
        ASSERT_EQ(cv::removeAll(what, text), literally(what, text))
            << "'" << what << "' from '" << text << "'";
    }
}

// --- the adapters, through the engine -------------------------------------------------------------------

TEST(LibraryConvert, BindingsCoverTheUtilityRowsOfTheCatalogue) {
    novrix::library::ScriptContext ctx;
    std::set<std::string> bound;
    for (const auto& b : novrix::library::conversionBindings(ctx)) {
        EXPECT_TRUE(b.fn) << b.name;
        EXPECT_TRUE(bound.insert(b.name).second) << "bound twice: " << b.name;
    }
    std::set<std::string> utility;
    for (const auto& f : novrix::library::novrixFunctions())
        if (f.group == novrix::library::FunctionGroup::Utility)
            utility.emplace(f.name);
    EXPECT_EQ(bound, utility);
}

TEST(LibraryConvert, ScriptCallsTheConversionFunctions) {
    using novrix::engine::Engine;
    novrix::library::ScriptContext ctx;
    ctx.locale = commaLocale();
    const auto bindings = novrix::library::conversionBindings(ctx);
    auto fn = [&bindings](std::string_view name) {
        for (const auto& b : bindings)
            if (b.name == name)
                return b.fn;
        ADD_FAILURE() << "no binding " << name;
        return novrix::engine::NativeFn{};
    };
    Engine e;
    e.onCompile = [&](Engine& en) {
        en.addType("TDateTime", "Double");
        en.addDeclaration("function NOVRIX_Random(Which:integer):Extended;", fn("NOVRIX_Random"));
        en.addDeclaration(
            "function NOVRIX_StringNthArgument(N:Integer; Var Worin:String; Delimiter:Char):String;",
            fn("NOVRIX_StringNthArgument"));
        en.addDeclaration("function NOVRIX_ConvertToIntNumber(Which:String):Integer;",
                          fn("NOVRIX_ConvertToIntNumber"));
        en.addDeclaration("function NOVRIX_ConvertToFloatNumber(Which:String):Double;",
                          fn("NOVRIX_ConvertToFloatNumber"));
        en.addDeclaration("procedure NOVRIX_ConvertAddToString(var Where: String;What:Variant);",
                          fn("NOVRIX_ConvertAddToString"));
        en.addDeclaration("function NOVRIX_ConvertToFixed(V:Variant;digits:Integer):String;",
                          fn("NOVRIX_ConvertToFixed"));
        en.addDeclaration(
            "function "
            "NOVRIX_ConvertToExponential(V:Variant;TotalLength:Integer;ExponentLength:Integer):String;",
            fn("NOVRIX_ConvertToExponential"));
        en.addDeclaration("function NOVRIX_ConvertStripToNumber(V:Variant):String;",
                          fn("NOVRIX_ConvertStripToNumber"));
        en.addDeclaration("function NOVRIX_ConvertToMJD(What:Variant):String;", fn("NOVRIX_ConvertToMJD"));
        en.addDeclaration("procedure NOVRIX_ConvertRemove(What:String; Var FromWhere:String);",
                          fn("NOVRIX_ConvertRemove"));
        en.addDeclaration("function NOVRIX_ConvertHextoInt(HexString:String):String;",
                          fn("NOVRIX_ConvertHextoInt"));
        en.addDeclaration("function NOVRIX_TimeNow:TDateTime", fn("NOVRIX_TimeNow"));
        en.addDeclaration("procedure NOVRIX_TimeSleep(HowLong:double);", fn("NOVRIX_TimeSleep"));
    };
    const char* script = R"(
var s, w, answer: String;
begin
  w := 'a,,b';
  WriteLn(NOVRIX_StringNthArgument(3, w, ','));
  WriteLn(w);
  answer := 'DCV +1,234E-03' + #13#10;
  answer := NOVRIX_ConvertStripToNumber(answer);
  WriteLn(answer);
  WriteLn(NOVRIX_ConvertToFixed(NOVRIX_ConvertToFloatNumber(answer) * 1000, 2));
  WriteLn(NOVRIX_ConvertToFixed(answer, 4));
  WriteLn(NOVRIX_ConvertToExponential(-1, 3, 2));
  WriteLn(NOVRIX_ConvertToIntNumber('$1F') + 1);
  s := 'aabb';
  NOVRIX_ConvertRemove('ab', s);
  WriteLn('[' + s + ']');
  s := 'x=';
  NOVRIX_ConvertAddToString(s, 0.5);
  NOVRIX_ConvertAddToString(s, ';');
  NOVRIX_ConvertAddToString(s, 7);
  WriteLn(s);
  WriteLn(NOVRIX_ConvertToMJD(45658.5));
  WriteLn(NOVRIX_ConvertHextoInt('ff'));
  NOVRIX_TimeSleep(0.002);
  if NOVRIX_TimeNow > 45000 then WriteLn('clock');
  WriteLn(Round(NOVRIX_Random(100)), ' ', Round(NOVRIX_Random(100)), ' ', Round(NOVRIX_Random(100)));
end.
)";
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    ASSERT_TRUE(e.compile(script)) << testing::PrintToString(e.messageLines());
    ASSERT_TRUE(e.execute()) << e.runtimeError().text;
    EXPECT_EQ(out, "b\n"
                   "a,,b\n"
                   "+1.234E-03\n"
                   "1.23\n"
                   "0.0012\n"
                   "-1.0E+00\n"
                   "32\n"
                   "[]\n"
                   "x=0,5;7\n"
                   "60676.500000000000\n"
                   "255\n"
                   "clock\n"
                   "0 3 86\n");
    EXPECT_EQ(ctx.randSeed, 3698175007u);
}

} // namespace
