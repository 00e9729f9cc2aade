// SysUtils.Format. Expected texts come from Free Pascal (fpc -Mdelphi) where it agrees with Delphi;
// error texts and the rows marked "Delphi" follow Delphi 7's FormatBuf.
#include "engine/runtime/format.h"
#include "engine/runtime/script_error.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace novrix::rt {
namespace {

using Args = std::vector<FormatArg>;
const FormatSettings kInvariant = FormatSettings::invariant();

std::string fmt(const char* f, const Args& args) {
    return format(f, args, kInvariant);
}

struct Case {
    const char* format;
    Args args;
    const char* expected;
};

TEST(RuntimeFormat, IntegerConversions) {
    const Case cases[] = {
        {"%d", {FormatArg::integer(42)}, "42"},
        {"%d", {FormatArg::int64(1099511627776)}, "1099511627776"},
        {"%5d|%-5d|", {FormatArg::integer(42), FormatArg::integer(-42)}, "   42|-42  |"},
        {"%.5d", {FormatArg::integer(-42)}, "-00042"}, // precision counts digits, the sign goes in front
        {"%5.3d", {FormatArg::integer(42)}, "  042"},
        {"%x", {FormatArg::integer(42)}, "2A"},
        {"%.8x", {FormatArg::integer(42)}, "0000002A"},
        {"%X", {FormatArg::integer(-42)}, "FFFFFFD6"}, // an Integer shows 32 bits
        {"%x", {FormatArg::int64(-5)}, "FFFFFFFFFFFFFFFB"},
        {"%u", {FormatArg::integer(-1)}, "4294967295"},
        {"%D", {FormatArg::integer(-1)}, "-1"}, // the type letter is case-insensitive
        {"%d %d", {FormatArg::integer(3), FormatArg::integer(7)}, "3 7"},
        {"%.20d", {FormatArg::integer(5)}, "5"}, // Delphi: more than 16 digits of precision means none
        {"%.20d", {FormatArg::int64(5)}, "00000000000000000005"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fmt(c.format, c.args), c.expected) << c.format;
}

TEST(RuntimeFormat, StringsIndexesAndStars) {
    const Case cases[] = {
        {"%s", {FormatArg::string("hello")}, "hello"},
        {"%5s|%-5s|", {FormatArg::character('Z'), FormatArg::string("ab")}, "    Z|ab   |"},
        {"%.2s", {FormatArg::string("hello")}, "he"},
        {"%.0s", {FormatArg::character('Z')}, "Z"}, // Delphi: a Char ignores the precision
        {"%0:s %0:s", {FormatArg::string("ab")}, "ab ab"},
        {"%1:s %0:s %s",
         {FormatArg::string("a"), FormatArg::string("b")},
         "b a b"}, // continues after the index
        {"%0:-4s|", {FormatArg::string("x")}, "x   |"},
        {"%*d", {FormatArg::integer(4), FormatArg::integer(7)}, "   7"},
        {"%.*d", {FormatArg::integer(3), FormatArg::integer(7)}, "007"},
        {"%*.*f", {FormatArg::integer(8), FormatArg::integer(1), FormatArg::real(2.25)}, "     2.3"},
        // Delphi: '*' on an argument that is not an Integer counts as 0.
        {"%*d", {FormatArg::string("ab"), FormatArg::integer(9)}, "9"},
        {"100%%", {}, "100%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fmt(c.format, c.args), c.expected) << c.format;
    // The format is a counted string: a NUL in it is copied like any other character.
    EXPECT_EQ(format(std::string("a\0%s", 4), {FormatArg::string("c")}, kInvariant), std::string("a\0c", 3));
}

TEST(RuntimeFormat, RealConversions) {
    const Case cases[] = {
        {"%f", {FormatArg::real(2.5)}, "2.50"},
        {"%.0f", {FormatArg::real(2.5)}, "3"},
        {"%.3f", {FormatArg::real(-1.0 / 3)}, "-0.333"},
        {"%10.2f|%-10.2f|", {FormatArg::real(1.5), FormatArg::real(1.5)}, "      1.50|1.50      |"},
        {"%n", {FormatArg::real(1234567.891)}, "1,234,567.89"},
        {"%.1n", {FormatArg::real(-1234567.891)}, "-1,234,567.9"},
        {"%m", {FormatArg::real(-1234.5)}, "-$1,234.50"},
        {"%.3g", {FormatArg::real(123.456)}, "123"},
        {"%.3e", {FormatArg::real(123.456)}, "1.23E+002"},
        {"%.18f", {FormatArg::real(0.1)}, "0.100000000000000006"}, // 18 significant digits of the double
        // Delphi's own forms where Free Pascal differs:
        {"%e", {FormatArg::real(1.5)}, "1.50000000000000E+000"}, // 15 digits (Free Pascal: 17)
        {"%g", {FormatArg::real(1e15)}, "1E015"},                // %g writes at least 3 exponent digits
        {"%g", {FormatArg::real(0.1)}, "0.1"},
        {"%.20f", {FormatArg::real(0.1)}, "0.10"},        // a precision past 18 falls back to the default 2
        {"%.0e", {FormatArg::real(123.456)}, "1.2E+002"}, // at least 2 digits
        {"%f", {FormatArg::real(1e21)}, "1E21"},          // more than 18 integer digits: general form
        {"%.17e", {FormatArg::real(1.0 / 3)}, "3.3333333333333332E-001"}, // rounded again from 18 digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(fmt(c.format, c.args), c.expected) << c.format;
}

TEST(RuntimeFormat, UsesTheSettings) {
    FormatSettings fs = kInvariant;
    fs.decimalSeparator = ',';
    fs.thousandSeparator = '.';
    fs.currencyString = "EUR";
    fs.currencyFormat = 3;
    fs.negCurrFormat = 8;
    fs.currencyDecimals = 1;
    EXPECT_EQ(format("%n|%m|%m|%.2m",
                     {FormatArg::real(1234.5), FormatArg::real(1234.56), FormatArg::real(-2.0),
                      FormatArg::real(2.0)},
                     fs),
              "1.234,50|1.234,6 EUR|-2,0 EUR|2,00 EUR");
}

TEST(RuntimeFormat, AFormatEndingInsideASpecifierStopsSilently) {
    // Delphi stops output there without an error (Free Pascal raises for "%5" and "%-").
    EXPECT_EQ(fmt("abc%", {FormatArg::integer(1)}), "abc");
    EXPECT_EQ(fmt("x%5", {FormatArg::integer(1)}), "x");
    EXPECT_EQ(fmt("x%-", {FormatArg::integer(1)}), "x");
    EXPECT_EQ(fmt("x%.", {FormatArg::integer(1)}), "x");
    EXPECT_EQ(fmt("x%1:", {FormatArg::integer(1)}), "x");
}

void expectConvertError(const char* format, const Args& args, const std::string& message) {
    try {
        fmt(format, args);
        ADD_FAILURE() << format << ": no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.cls, ExcClass::EConvertError) << format;
        EXPECT_EQ(e.what(), message) << format;
    }
}

TEST(RuntimeFormat, MismatchesRaiseDelphisMessages) {
    // Delphi names only the offending specifier, cut to 31 characters.
    expectConvertError("%d", {FormatArg::string("x")}, "Format '%d' invalid or incompatible with argument");
    expectConvertError("Value: %5.2d!", {FormatArg::real(1.5)},
                       "Format '%5.2d' invalid or incompatible with argument");
    expectConvertError("%s", {FormatArg::integer(1)}, "Format '%s' invalid or incompatible with argument");
    expectConvertError("%f", {FormatArg::integer(1)}, "Format '%f' invalid or incompatible with argument");
    expectConvertError("%s", {FormatArg::boolean(true)}, "Format '%s' invalid or incompatible with argument");
    expectConvertError("%d", {FormatArg::character('c')},
                       "Format '%d' invalid or incompatible with argument");
    expectConvertError("%z", {FormatArg::integer(1)}, "Format '%z' invalid or incompatible with argument");
    expectConvertError("%p", {FormatArg::integer(1)}, "Format '%p' invalid or incompatible with argument");
    expectConvertError("%d %d", {FormatArg::integer(1)}, "No argument for format '%d'");
    expectConvertError("%2:d", {FormatArg::integer(1)}, "No argument for format '%2:d'");
    expectConvertError("%9:12345678901234567890123456789012345d", {FormatArg::integer(1)},
                       "No argument for format '%9:1234567890123456789012345678'");
}

TEST(RuntimeFormat, AnAbsurdWidthRunsOutOfMemoryInsteadOfAllocatingIt) {
    try {
        fmt("%2000000000d", {FormatArg::integer(1)});
        FAIL() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.cls, ExcClass::EOutOfMemory);
    }
    EXPECT_EQ(fmt("%1000d", {FormatArg::integer(1)}).size(), 1000u);
}

} // namespace
} // namespace novrix::rt
