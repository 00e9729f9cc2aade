// Write/Str formatting of reals, integers, strings and Booleans.
// Expected texts of the fixed form come from Free Pascal (fpc -Mdelphi, WriteStr(s, x:w:d)) where it
// agrees with Delphi; the rows marked "Delphi" follow Delphi 7's System._Str2Ext where Free Pascal differs.
#include "engine/runtime/text_write.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace novrix::rt {
namespace {

struct FixedCase {
    double value;
    int width;
    int decimals;
    const char* expected;
};

TEST(RuntimeWriteReal, FixedFormAgreesWithFreePascal) {
    const FixedCase cases[] = {
        {-1.5, 0, 0, "-2"},
        {-1.5, 0, 2, "-1.50"},
        {-1.5, 8, 3, "  -1.500"},
        {-1.5, 1, 15, "-1.500000000000000"},
        {0.1, 0, 0, "0"},
        {0.1, 8, 3, "   0.100"},
        {0.1, 0, 17, "0.10000000000000001"},
        {0.1, 0, 20, "0.10000000000000001000"}, // small values carry 17 decimals, then zeros
        {2.5, 0, 0, "3"},                       // halves away from zero, not to even
        {0.5, 0, 0, "1"},
        {0.125, 0, 2, "0.13"},
        {-99.5, 0, 0, "-100"},
        {99.5, 1, 15, "99.500000000000000"},
        {9.99, 0, 0, "10"},
        {9.99, 0, 2, "9.99"},
        {1234567.891, 0, 0, "1234568"},
        {1234567.891, 8, 3, "1234567.891"}, // a width that is too small is ignored
        {1e-20, 0, 2, "0.00"},
        {0.0, 12, 4, "      0.0000"},
        {-0.001, 0, 2, "-0.00"}, // the sign survives rounding to zero
        {-0.001, 0, 0, "-0"},
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(writeReal(c.value, c.width, c.decimals), c.expected)
            << c.value << ':' << c.width << ':' << c.decimals;
}

TEST(RuntimeWriteReal, FixedFormRoundsTheBinaryValueNotItsShortText) {
    // Delphi rounds the exact binary value: 1.005 is 1.00499999999999989..., 2.675 is 2.67499999999999982...
    // Free Pascal prints "1.01", "2.68" and "10.00" here because it rounds a shortened text first.
    const FixedCase cases[] = {
        {1.005, 0, 2, "1.00"},
        {2.675, 0, 2, "2.67"},
        {9.995, 0, 2, "9.99"},
        {1.005, 0, 17, "1.00499999999999989"},
        {123.456, 0, 17, "123.45600000000000300"}, // 18 significant digits, then zeros
        {-0.0, 0, 2, "-0.00"},                     // Delphi keeps the sign bit of -0
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(writeReal(c.value, c.width, c.decimals), c.expected)
            << c.value << ':' << c.width << ':' << c.decimals;
}

TEST(RuntimeWriteReal, WithoutWidthIsDelphisTwentyThreeCharacterForm) {
    // Delphi: 15 significant digits and a four-digit exponent. Free Pascal writes a Double as
    // " 1.5000000000000000E+000" (17 digits, three-digit exponent).
    EXPECT_EQ(writeReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(writeReal(-1.5), "-1.50000000000000E+0000");
    EXPECT_EQ(writeReal(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(writeReal(0.1), " 1.00000000000000E-0001");
    EXPECT_EQ(writeReal(1e300), " 1.00000000000000E+0300");
    EXPECT_EQ(writeReal(2.0 / 3), " 6.66666666666667E-0001");
    EXPECT_EQ(writeReal(9.999999999999999), " 1.00000000000000E+0001"); // rounding carries into the exponent
    EXPECT_EQ(writeReal(1.5).size(), 23u);
}

TEST(RuntimeWriteReal, WidthSelectsTheNumberOfDigits) {
    // Delphi: width - 8 significant digits, at least 2 and at most 18, blanks in front beyond that.
    const FixedCase cases[] = {
        {1.5, 0, -1, " 1.5E+0000"},        {1.5, 10, -1, " 1.5E+0000"},
        {2.0 / 3, 10, -1, " 6.7E-0001"},   {1.0 / 3, 15, -1, " 3.333333E-0001"},
        {-1.0, 15, -1, "-1.000000E+0000"}, {0.5, 30, -1, "     5.00000000000000000E-0001"},
        {5e-324, 0, -1, " 4.9E-0324"},
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(writeReal(c.value, c.width), c.expected) << c.value << ':' << c.width;
    // A negative decimal count and very large magnitudes also choose the exponent form.
    EXPECT_EQ(writeReal(1.5, 10, -1), " 1.5E+0000");
    EXPECT_EQ(writeReal(1e300, 12, 4), " 1.000E+0300");
    // 1E35 is still fixed: its 18 significant digits (the double is 9.99999999999999969E34), then zeros.
    EXPECT_EQ(writeReal(1e35, 0, 0), "99999999999999996900000000000000000");
    EXPECT_EQ(writeReal(1e36, 0, 0), " 1.0E+0036");
}

TEST(RuntimeWriteReal, NanAndInfinitiesAreRightAligned) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(writeReal(std::numeric_limits<double>::quiet_NaN()), "                    Nan");
    EXPECT_EQ(writeReal(inf), "                   +Inf");
    EXPECT_EQ(writeReal(-inf, 6), "  -Inf");
    EXPECT_EQ(writeReal(inf, 0, 2), "+Inf");
}

TEST(RuntimeWriteReal, WidthIsLimitedToAShortString) {
    EXPECT_EQ(writeReal(1.5, 1000).size(), 255u);
    EXPECT_EQ(writeReal(1.5, 300, 2).size(), 255u);
    EXPECT_EQ(strReal(1.5, 6, 2), "  1.50");
}

TEST(RuntimeWrite, IntegersStringsAndBooleansAlignRight) {
    EXPECT_EQ(writeInt(42, 5), "   42");
    EXPECT_EQ(writeInt(-42, 0), "-42");
    EXPECT_EQ(writeInt(123456, 3), "123456");
    EXPECT_EQ(writeInt(INT64_MIN, 0), "-9223372036854775808");
    EXPECT_EQ(writeStr("ab", 4), "  ab");
    EXPECT_EQ(writeStr("abcdef", 2), "abcdef");
    EXPECT_EQ(writeStr(std::string("a\0b", 3), 4), std::string(" a\0b", 4));
    EXPECT_EQ(writeBool(true, 0), "TRUE");
    EXPECT_EQ(writeBool(false, 7), "  FALSE");
}

} // namespace
} // namespace novrix::rt
