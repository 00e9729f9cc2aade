// StrToFloat and Val for reals. Results come from Free Pascal (fpc -Mdelphi) where it agrees with Delphi;
// rows marked "Delphi" follow Delphi 7's TextToFloat/_ValExt where Free Pascal differs.
#include "engine/runtime/float_parse.h"
#include "engine/runtime/script_error.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace novrix::rt {
namespace {

const FormatSettings kInvariant = FormatSettings::invariant();

TEST(RuntimeStrToFloat, AcceptsDelphisSyntax) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"0", 0.0},
        {"-1.5", -1.5},
        {".5", 0.5},
        {"5.", 5.0},
        {".", 0.0},
        {"-.", 0.0},
        {"1e3", 1000.0},
        {"1E3", 1000.0},
        {"1e+", 1.0},
        {"1e-2", 0.01},
        {" 1.5 ", 1.5},
        {"  -12.5e-1  ", -1.25},
        {"0.1", 0.1},
        {"1e-400", 0.0},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"1e", 1.0}, // Delphi: an exponent without digits is 0 (Free Pascal rejects it)
    };
    for (const auto& c : cases)
        EXPECT_EQ(strToFloat(c.text, kInvariant), c.expected) << c.text;
    // Correctly rounded, so the text of a double reads back as the same double.
    EXPECT_EQ(strToFloat("0.30000000000000004", kInvariant), 0.1 + 0.2);
    EXPECT_EQ(strToFloat("2.2250738585072014e-308", kInvariant), 2.2250738585072014e-308);
}

TEST(RuntimeStrToFloat, RejectsWhatDelphiRejects) {
    // Delphi skips spaces only, has no hex, INF or NAN, needs a digit before an exponent ("e5"; Free
    // Pascal reads it as 0) and stops reading an exponent at 500, leaving "1e5000" with a digit over.
    for (const char* bad : {"", " ", "+", "-", "1.2.3", "1.5 x", "1,5", "1_000", "0x10", "$10", "\t1", "e5",
                            "inf", "nan", "1e5000"}) {
        try {
            strToFloat(bad, kInvariant);
            ADD_FAILURE() << bad;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, ExcClass::EConvertError);
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    EXPECT_EQ(strToFloatDef("x", -7.5, kInvariant), -7.5);
    double out = 3;
    EXPECT_FALSE(tryStrToFloat("x", out, kInvariant));
    EXPECT_EQ(out, 3);
}

TEST(RuntimeStrToFloat, TooLargeForADoubleOverflows) {
    // Fits Delphi's Extended, so Delphi raises when storing it into a Double (Free Pascal gives +Inf).
    for (const char* big : {"2e308", "1e499", "-1e4932"}) {
        try {
            strToFloat(big, kInvariant);
            ADD_FAILURE() << big;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, ExcClass::EOverflow) << big;
        }
    }
}

TEST(RuntimeStrToFloat, UsesTheDecimalSeparator) {
    FormatSettings fs = kInvariant;
    fs.decimalSeparator = ',';
    EXPECT_EQ(strToFloat("-1,25", fs), -1.25);
    EXPECT_THROW(strToFloat("1.25", fs), ScriptError);
}

TEST(RuntimeValReal, CodesAndValues) {
    const struct {
        const char* text;
        int code;
        double value; // checked when code is 0
    } cases[] = {
        {"0", 0, 0.0},      {"-1.5", 0, -1.5}, {".5", 0, 0.5},          {"5.", 0, 5.0},  {".", 0, 0.0},
        {"1E3", 0, 1000.0}, {"1e-2", 0, 0.01}, {"e5", 0, 0.0},          {"0.1", 0, 0.1}, {"1e", 3, 0},
        {" 1.5 ", 5, 0},    {"1.5 x", 4, 0},   {"1,5", 2, 0},           {"", 1, 0},      {" ", 2, 0},
        {"+", 2, 0},        {"1.2.3", 4, 0},   {"  -12.5e-1  ", 11, 0}, {"0x10", 2, 0},  {"$10", 1, 0},
        {"1_000", 2, 0},    {"1e+", 4, 0}, // Delphi: the exponent needs a digit (Free Pascal accepts "1e+" as
                                           // 1)
    };
    for (const auto& c : cases) {
        double v = -1;
        int code = -1;
        valReal(c.text, v, code);
        EXPECT_EQ(code, c.code) << c.text;
        if (c.code == 0) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    double v = 0;
    int code = 0;
    EXPECT_THROW(valReal("1e400", v, code), ScriptError);
}

} // namespace
} // namespace novrix::rt
