// FloatToStr, FloatToStrF and FormatFloat. Expected texts come from Free Pascal (fpc -Mdelphi) where it
// agrees with Delphi; rows marked "Delphi" follow Delphi 7's FloatToText/FloatToTextFmt where it differs.
#include "engine/runtime/float_text.h"
#include "engine/runtime/script_error.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace novrix::rt {
namespace {

const FormatSettings kInvariant = FormatSettings::invariant();

TEST(RuntimeFloatToStr, GeneralFormWithFifteenDigits) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {-1.5, "-1.5"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.30000000000000004, "0.3"},
        {0.0001, "0.0001"},
        {1.5e-07, "1.5E-7"},
        {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {5e-324, "4.94065645841247E-324"},
        {1234567.891, "1234567.891"},
        {100.0, "100"},
        {0.999999, "0.999999"},
        // Delphi: below 1E-4 the decimal exponent is under -3, so scientific (Free Pascal: "0.00001").
        {1e-5, "1E-5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(floatToStr(c.value, kInvariant), c.expected) << c.value;
}

TEST(RuntimeFloatToStr, SpecialValuesAsDelphi7) {
    // Delphi 7 writes NAN/INF in capitals (Free Pascal: "Nan", "+Inf").
    EXPECT_EQ(floatToStr(std::numeric_limits<double>::quiet_NaN(), kInvariant), "NAN");
    EXPECT_EQ(floatToStr(std::numeric_limits<double>::infinity(), kInvariant), "INF");
    EXPECT_EQ(floatToStr(-std::numeric_limits<double>::infinity(), kInvariant), "-INF");
}

TEST(RuntimeFloatToStr, UsesTheDecimalSeparator) {
    FormatSettings fs = kInvariant;
    fs.decimalSeparator = ',';
    EXPECT_EQ(floatToStr(-2.5, fs), "-2,5");
    EXPECT_EQ(floatToStr(1.5e-7, fs), "1,5E-7");
}

TEST(RuntimeFloatToStrF, FormatsPrecisionAndDigits) {
    const struct {
        double value;
        FloatFormat format;
        int precision;
        int digits;
        const char* expected;
    } cases[] = {
        {1234567.891, FloatFormat::Fixed, 15, 0, "1234568"},
        {1234567.891, FloatFormat::Number, 7, 2, "1,234,568.00"},
        {1234567.891, FloatFormat::Number, 15, 0, "1,234,568"},
        {-1.5, FloatFormat::Fixed, 7, 2, "-1.50"},
        {0.125, FloatFormat::Fixed, 15, 2, "0.13"},
        {-0.001, FloatFormat::Fixed, 15, 2, "0.00"}, // rounds to zero, loses its sign
        {123.456, FloatFormat::General, 4, 0, "123.5"},
        {0.1, FloatFormat::Exponent, 7, 2, "1.000000E-01"},
        {12345.6789, FloatFormat::Exponent, 4, 0, "1.235E+4"},
        // Delphi: precision is clamped to 18 and limits the digits even in fixed form.
        {1.0 / 3, FloatFormat::Fixed, 2, 4, "0.3300"},
        // Delphi: more integer digits than the precision fall back to General, with `digits` as the
        // minimum exponent length (Free Pascal keeps the fixed form).
        {1e15, FloatFormat::Fixed, 15, 0, "1E15"},
        {123.456, FloatFormat::Number, 2, 4, "1.2E0002"},
        // Delphi always writes the exponent in ffExponent, even with zero minimum digits.
        {1.5, FloatFormat::Exponent, 15, 0, "1.50000000000000E+0"},
        {0.1, FloatFormat::Exponent, 18, 3, "1.00000000000000006E-001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(floatToStrF(c.value, c.format, c.precision, c.digits, kInvariant), c.expected)
            << c.value << " " << int(c.format) << " " << c.precision << " " << c.digits;
}

TEST(RuntimeFloatToStrF, CurrencyLayouts) {
    FormatSettings fs = kInvariant;
    fs.currencyString = "EUR";
    const struct {
        int format;
        int negFormat;
        double value;
        const char* expected;
    } cases[] = {
        {0, 1, 1234.5, "EUR1,234.50"},  {1, 1, 1234.5, "1,234.50EUR"},    {2, 1, 1234.5, "EUR 1,234.50"},
        {3, 1, 1234.5, "1,234.50 EUR"}, {0, 0, -1234.5, "(EUR1,234.50)"}, {0, 1, -1234.5, "-EUR1,234.50"},
        {0, 5, -2.0, "-2.00EUR"},       {0, 8, -2.0, "-2.00 EUR"},        {0, 15, -2.0, "(2.00 EUR)"},
        {0, 99, -2.0, "(2.00 EUR)"}, // out of range: the last layout, as Delphi clamps
    };
    for (const auto& c : cases) {
        fs.currencyFormat = c.format;
        fs.negCurrFormat = c.negFormat;
        EXPECT_EQ(floatToStrF(c.value, FloatFormat::Currency, 18, 2, fs), c.expected)
            << c.format << "/" << c.negFormat;
    }
}

TEST(RuntimeFormatFloat, AgreesWithFreePascal) {
    const struct {
        const char* format;
        double value;
        const char* expected;
    } cases[] = {
        {"0", 2.5, "3"},
        {"0.00", -1.5, "-1.50"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", -1234567.891, "-1,234,568"},
        {"#.###", 0.125, ".125"},
        {"0.0##", 2.0 / 3, "0.667"},
        {"0.0##", 1.5, "1.5"},
        {"000.000", 12.5, "012.500"},
        {"0.00E+00", 123.456, "1.23E+02"},
        {"#.##E-0", 0.0001, "1E-4"},
        {"0.00e+000", -12345.6789, "-1.23e+004"},
        {"0000.0E-0000", 0.05, "5000.0E-0005"},
        {"0.0;(0.0)", -2.5, "(2.5)"},
        {"0.0;-0.0;\"zero\"", 0.0, "zero"},
        {"\"$\"#,##0.00", 1234.5, "$1,234.50"},
        {"'x'0.0'y'", 7.0, "x7.0y"},
        {"#", 0.0, ""},
        {"", 1.0 / 3, "0.333333333333333"},
        {";", 2.5, "2.5"},
        {"#0.0#;;\"nil\"", 0.0, "nil"},
        {"0", 1e300, "1E300"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(c.format, c.value, kInvariant), c.expected) << c.format << " " << c.value;
}

TEST(RuntimeFormatFloat, DelphiSectionRulesForValuesThatRoundToZero) {
    // Delphi: a value that rounds to zero takes the third section (or the first), without a minus sign.
    // Free Pascal keeps the sign and the section of the unrounded value.
    EXPECT_EQ(formatFloat("0.0;-0.0;\"zero\"", 0.001, kInvariant), "zero");
    EXPECT_EQ(formatFloat("0.0;(0.0)", -0.001, kInvariant), "0.0");
    EXPECT_EQ(formatFloat("0.00", -0.001, kInvariant), "0.00");
    EXPECT_EQ(formatFloat("#.###", 1e-5, kInvariant), "");
    // An empty negative section means the first one, with a minus sign (Free Pascal drops the ".0").
    EXPECT_EQ(formatFloat("#0.0#;;\"nil\"", -1.0, kInvariant), "-1.0");
    // Up to 18 integer digits stay fixed (Free Pascal switches to scientific earlier).
    EXPECT_EQ(formatFloat("#,##0", 123456789012345678.0, kInvariant), "123,456,789,012,345,680");
    EXPECT_EQ(formatFloat("0", 1e21, kInvariant), "1E21");
}

TEST(RuntimeFormatFloat, SeparatorsComeFromTheSettings) {
    FormatSettings fs = kInvariant;
    fs.decimalSeparator = ',';
    fs.thousandSeparator = '.';
    EXPECT_EQ(formatFloat("#,##0.00", 1234567.891, fs), "1.234.567,89");
    fs.thousandSeparator = '\0'; // no grouping character: left out
    EXPECT_EQ(formatFloat("#,##0.00", 1234567.891, fs), "1234567,89");
}

TEST(RuntimeFormatFloat, RejectsOverlongFormats) {
    EXPECT_EQ(formatFloat(std::string(224, '0'), 1.0, kInvariant).size(), 224u);
    try {
        formatFloat(std::string(225, '0'), 1.0, kInvariant);
        FAIL() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.cls, ExcClass::EConvertError);
        EXPECT_STREQ(e.what(), "Format string too long");
    }
}

} // namespace
} // namespace novrix::rt
