// String routines of SysUtils (results agree with Free Pascal, fpc -Mdelphi).
#include "engine/runtime/string_utils.h"

#include <gtest/gtest.h>
#include <string>

namespace novrix::rt {
namespace {

TEST(RuntimeStrings, CaseMappingIsAsciiOnly) {
    EXPECT_EQ(upperCase("MiXeD 123 \xe9\xc3\xa9"), "MIXED 123 \xe9\xc3\xa9");
    EXPECT_EQ(lowerCase("MiXeD 123 \xc9"), "mixed 123 \xc9");
    EXPECT_EQ(upperCase(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(RuntimeStrings, TrimRemovesControlCharactersAndSpaces) {
    EXPECT_EQ(trim(" \t\x01 abc \n\x7f \r\n"), "abc \n\x7f");
    EXPECT_EQ(trimLeft("  a b  "), "a b  ");
    EXPECT_EQ(trimRight("  a b  "), "  a b");
    EXPECT_EQ(trim(std::string("\0x\0", 3)), "x");
    EXPECT_EQ(trim(" \xa0x\xa0 "), "\xa0x\xa0"); // bytes above 127 are not blanks
    EXPECT_EQ(trim("   "), "");
}

TEST(RuntimeStrings, CompareReturnsTheByteDifference) {
    const struct {
        const char* a;
        const char* b;
        int str;
        int text;
    } cases[] = {
        {"a", "b", -1, -1}, {"abc", "ab", 1, 1}, {"a", "c", -2, -2},     {"ABC", "abc", -32, 0},
        {"", "", 0, 0},     {"[", "a", -6, 26},  {"abc", "ABD", 32, -1}, {"\xe9", "e", 132, 164},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compareStr(c.a, c.b), c.str) << c.a << " " << c.b;
        EXPECT_EQ(compareText(c.a, c.b), c.text) << c.a << " " << c.b;
        EXPECT_EQ(sameText(c.a, c.b), c.text == 0) << c.a << " " << c.b;
    }
}

TEST(RuntimeStrings, QuotedStrDoublesQuotes) {
    EXPECT_EQ(quotedStr("it's"), "'it''s'");
    EXPECT_EQ(quotedStr(""), "''");
    EXPECT_EQ(quotedStr("''"), "''''''");
}

TEST(RuntimeStrings, StringReplace) {
    const struct {
        const char* s;
        const char* from;
        const char* to;
        bool all;
        bool ignoreCase;
        const char* expected;
    } cases[] = {
        {"hello world", "o", "0", true, false, "hell0 w0rld"},
        {"hello world", "o", "0", false, false, "hell0 world"},
        {"Hello", "h", "J", true, true, "Jello"},
        {"Hello", "h", "J", true, false, "Hello"},
        {"aaa", "aa", "b", true, false, "ba"},
        {"abc", "", "x", true, false, "abc"},
        {"ABCabc", "b", "-", true, true, "A-Ca-c"},
        {"abc", "abc", "", true, false, ""},
        {"a.b.c", ".", "..", true, false, "a..b..c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stringReplace(c.s, c.from, c.to, c.all, c.ignoreCase), c.expected) << c.s << " " << c.from;
}

TEST(RuntimeStrings, BoolToStr) {
    EXPECT_EQ(boolToStr(true, false), "-1");
    EXPECT_EQ(boolToStr(false, false), "0");
    EXPECT_EQ(boolToStr(true, true), "True");
    EXPECT_EQ(boolToStr(false, true), "False");
}

} // namespace
} // namespace novrix::rt
