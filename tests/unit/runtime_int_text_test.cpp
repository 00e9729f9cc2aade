// IntToStr, IntToHex, Val and StrToInt. Codes and values come from Free Pascal (fpc -Mdelphi) where it
// agrees with Delphi; rows marked "Delphi" follow Delphi 7's _ValLong/_ValInt64 where Free Pascal differs.
#include "engine/runtime/int_text.h"
#include "engine/runtime/script_error.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace novrix::rt {
namespace {

struct ValCase {
    const char* text;
    int code;
    int64_t value; // checked only when code is 0: Delphi leaves a partial value otherwise
};

void checkVal(void (*val)(std::string_view, int64_t&, int&), const ValCase& c) {
    int64_t v = -1;
    int code = -1;
    val(c.text, v, code);
    EXPECT_EQ(code, c.code) << '"' << c.text << '"';
    if (c.code == 0) {
        EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
}

TEST(RuntimeVal, IntegerSyntaxBothWidthsAgree) {
    const ValCase cases[] = {
        {"0", 0, 0},   {"-1", 0, -1},   {"+5", 0, 5},    {" 42", 0, 42},  {"  -7", 0, -7}, {"00012", 0, 12},
        {"-0", 0, 0},  {"$FF", 0, 255}, {"$ff", 0, 255}, {"0x1A", 0, 26}, {"x1A", 0, 26},  {"", 1, 0},
        {" ", 2, 0},   {"-", 2, 0},     {"+", 2, 0},     {"a", 1, 0},     {"42 ", 3, 0},   {"12a", 3, 0},
        {"1 2", 2, 0}, {"1.5", 2, 0},   {"1e3", 2, 0},   {"0xG", 3, 0},   {"$G", 2, 0},    {"0012x", 5, 0},
    };
    for (const ValCase& c : cases) {
        checkVal(valInt, c);
        checkVal(valInt64, c);
    }
}

TEST(RuntimeVal, IntegerRange) {
    const ValCase cases[] = {
        {"2147483647", 0, 2147483647},
        {"-2147483648", 0, -2147483648LL},
        {"$FFFFFFFF", 0, -1}, // hex fills the 32 bits
        // Delphi reports overflow (Free Pascal wraps and answers 0): the position of the digit that no
        // longer fits, or length+1 when the last digit pushed it over.
        {"2147483648", 11, 0},
        {"-2147483649", 12, 0},
        {"99999999999", 10, 0},
        {"$100000000", 10, 0},
        // Delphi 7: no sign before hex, and "$" alone counts one past its end (Free Pascal: 0 and 2).
        {"-$10", 2, 0},
        {"+$10", 2, 0},
        {"-0x10", 3, 0},
        {"$", 3, 0},
        {"0x", 4, 0},
    };
    for (const ValCase& c : cases)
        checkVal(valInt, c);
}

TEST(RuntimeVal, Int64Range) {
    const ValCase cases[] = {
        {"2147483648", 0, 2147483648LL},
        {"9223372036854775807", 0, INT64_MAX},
        {"-9223372036854775808", 0, INT64_MIN},
        {"$7FFFFFFFFFFFFFFF", 0, INT64_MAX},
        {"$FFFFFFFFFFFFFFFF", 0, -1},
        {"-$10", 0, -16}, // the Int64 flavour takes a sign before hex
        {"+$10", 0, 16},
        {"$", 2, 0},
        {"0x", 3, 0},
        {"9223372036854775808", 19, 0},
        {"-9223372036854775809", 20, 0},
        {"$10000000000000000", 18, 0},
    };
    for (const ValCase& c : cases)
        checkVal(valInt64, c);
}

TEST(RuntimeVal, EmbeddedNulEndsTheText) {
    // Delphi reads the string as a C string.
    int64_t v = 0;
    int code = 0;
    valInt(std::string("12\0ab", 5), v, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(v, 12);
}

TEST(RuntimeStrToInt, ConvertsOrRaisesDelphisMessage) {
    EXPECT_EQ(strToInt("-123"), -123);
    EXPECT_EQ(strToInt("$7fffffff"), 2147483647);
    EXPECT_EQ(strToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(strToIntDef("12a", -777), -777);
    EXPECT_EQ(strToIntDef("2147483648", -777), -777); // out of Integer range
    EXPECT_EQ(strToInt64Def("2147483648", -777), 2147483648LL);
    int64_t out = 5;
    EXPECT_FALSE(tryStrToInt64("", out));
    EXPECT_EQ(out, 5);
    EXPECT_TRUE(tryStrToInt("0x10", out));
    EXPECT_EQ(out, 16);
    for (const char* bad : {"abc", "", "3000000000", " 1 "}) {
        try {
            strToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, ExcClass::EConvertError);
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
    EXPECT_THROW(strToInt64("9223372036854775808"), ScriptError);
}

TEST(RuntimeIntToStr, DecimalAndHex) {
    EXPECT_EQ(intToStr(0), "0");
    EXPECT_EQ(intToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(intToStr(INT64_MIN), "-9223372036854775808");
    const struct {
        int32_t value;
        int digits;
        const char* expected;
    } cases32[] = {{255, 2, "FF"},
                   {255, 0, "FF"},
                   {-1, 2, "FFFFFFFF"},
                   {-1, 10, "00FFFFFFFF"},
                   {0, 0, "0"},
                   {0, 4, "0000"},
                   {4096, 2, "1000"},
                   {INT32_MIN, 8, "80000000"},
                   {305419896, 12, "000012345678"}};
    for (const auto& c : cases32)
        EXPECT_EQ(intToHex32(c.value, c.digits), c.expected) << c.value;
    EXPECT_EQ(intToHex(-1, 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(intToHex(-1, 20), "0000FFFFFFFFFFFFFFFF");
    EXPECT_EQ(intToHex(int64_t{1} << 40, 4), "10000000000");
    EXPECT_EQ(intToHex(INT64_MIN, 1), "8000000000000000");
    EXPECT_EQ(intToHex(255, 40), "FF"); // Delphi: more digits than its 32-character buffer means none
}

} // namespace
} // namespace novrix::rt
