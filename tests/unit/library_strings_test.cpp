// The string set: Delphi 7's StrUtils routines as the script vocabulary sees them. Unless a row says
// otherwise, the expected values were printed by small fpc -Mdelphi programs (Free Pascal 3.2.2,
// StrUtils). Rows marked "Delphi" are where Free Pascal's StrUtils answers differently; they hold
// Delphi 7's result, derived by hand from its definitions (given beside them).
#include "engine/engine.h"
#include "engine/runtime/script_error.h"
#include "library/catalogue.h"
#include "library/named_native.h"
#include "standard_set_run.h"
#include "library/std_strings.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace su = novrix::library::strutils;
using novrix::rt::ExcClass;
using novrix::rt::ScriptError;
using Values = std::vector<std::string_view>;

void expectError(const char* call, const std::function<void()>& run, ExcClass cls, const char* message) {
    try {
        run();
        ADD_FAILURE() << call << " raised nothing";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.cls, cls) << call;
        EXPECT_STREQ(e.what(), message) << call;
    }
}

TEST(LibraryStrings, SearchingAndComparing) {
    using Fn = bool (*)(std::string_view, std::string_view);
    struct Case {
        const char* name;
        Fn fn;
        std::string_view a, b;
        bool expected;
    } const cases[] = {
        {"AnsiContainsText", su::ansiContainsText, "Hello World", "WORLD", true},
        {"AnsiContainsText", su::ansiContainsText, "Hello", "xyz", false},
        {"AnsiContainsText", su::ansiContainsText, "Hello", "", false},
        {"AnsiContainsText", su::ansiContainsText, "", "a", false},
        {"AnsiContainsStr", su::ansiContainsStr, "Hello World", "World", true},
        {"AnsiContainsStr", su::ansiContainsStr, "Hello World", "world", false},
        {"AnsiContainsStr", su::ansiContainsStr, "abc", "", false},
        {"AnsiStartsText", su::ansiStartsText, "hel", "Hello", true},
        {"AnsiStartsText", su::ansiStartsText, "Hello!", "Hello", false},
        {"AnsiStartsText", su::ansiStartsText, "", "Hello", true},
        {"AnsiStartsText", su::ansiStartsText, "lo", "Hello", false},
        {"AnsiStartsStr", su::ansiStartsStr, "Hel", "Hello", true},
        {"AnsiStartsStr", su::ansiStartsStr, "hel", "Hello", false},
        {"AnsiStartsStr", su::ansiStartsStr, "", "Hello", true},
        {"AnsiStartsStr", su::ansiStartsStr, "Hello!", "Hello", false},
        {"AnsiEndsText", su::ansiEndsText, "LLO", "Hello", true},
        {"AnsiEndsText", su::ansiEndsText, "xHello", "Hello", false},
        {"AnsiEndsText", su::ansiEndsText, "Hel", "Hello", false},
        {"AnsiEndsStr", su::ansiEndsStr, "llo", "Hello", true},
        {"AnsiEndsStr", su::ansiEndsStr, "LLO", "Hello", false},
        {"AnsiEndsStr", su::ansiEndsStr, "Hello", "Hello", true},
        {"AnsiResemblesText", su::ansiResemblesText, "Knight", "Night", false},
        {"AnsiResemblesText", su::ansiResemblesText, "Catherine", "Kathryn", false},
        {"AnsiResemblesText", su::ansiResemblesText, "Robert", "Rupert", true},
        // Delphi: the Ends routines answer False for an empty sub-text (Free Pascal: True).
        {"AnsiEndsText", su::ansiEndsText, "", "Hello", false},
        {"AnsiEndsStr", su::ansiEndsStr, "", "Hello", false},
        // Delphi: AnsiPos and AnsiStrComp compare up to the first #0.
        {"AnsiContainsStr", su::ansiContainsStr, std::string_view("ab\0cd", 5), "cd", false},
        {"AnsiEndsStr", su::ansiEndsStr, "c", std::string_view("ab\0c", 4), true},
        // Letters beyond ASCII are compared as they are.
        {"AnsiStartsText", su::ansiStartsText, "\xC3\xA4", "\xC3\x84x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fn(c.a, c.b), c.expected) << c.name << "('" << c.a << "', '" << c.b << "')";
}

TEST(LibraryStrings, ReplacingAndPickingFromLists) {
    EXPECT_EQ(su::ansiReplaceText("One two ONE three one", "one", "1"), "1 two 1 three 1");
    EXPECT_EQ(su::ansiReplaceText("aaa", "a", "bb"), "bbbbbb");
    EXPECT_EQ(su::ansiReplaceText("abc", "", "x"), "abc");
    EXPECT_EQ(su::ansiReplaceStr("One two ONE three one", "one", "1"), "One two ONE three 1");
    EXPECT_EQ(su::ansiReplaceStr("abcabc", "bc", ""), "aa");

    const Values greek{"Alpha", "BETA", "beta"};
    EXPECT_EQ(su::ansiIndexText("beta", greek), 1);
    EXPECT_EQ(su::ansiIndexText("x", Values{"a", "b"}), -1);
    EXPECT_EQ(su::ansiIndexText("", Values{"a", ""}), 1);
    EXPECT_EQ(su::ansiIndexText("a", Values{}), -1);
    EXPECT_TRUE(su::ansiMatchText("GAMMA", Values{"alpha", "gamma"}));
    EXPECT_FALSE(su::ansiMatchText("x", Values{"y"}));
    EXPECT_EQ(su::ansiIndexStr("beta", greek), 2);
    EXPECT_EQ(su::ansiIndexStr("x", Values{"a", "b"}), -1);
    EXPECT_FALSE(su::ansiMatchStr("GAMMA", Values{"alpha", "gamma"}));
    EXPECT_TRUE(su::ansiMatchStr("gamma", Values{"alpha", "gamma"}));
}

TEST(LibraryStrings, CuttingAndBuilding) {
    struct Case {
        const char* call;
        std::string actual;
        const char* expected;
    } const cases[] = {
        {"DupeString('ab', 3)", su::dupeString("ab", 3), "ababab"},
        {"DupeString('ab', 0)", su::dupeString("ab", 0), ""},
        {"DupeString('ab', -2)", su::dupeString("ab", -2), ""},
        {"DupeString('', 5)", su::dupeString("", 5), ""},
        {"ReverseString('Hello')", su::reverseString("Hello"), "olleH"},
        {"ReverseString('')", su::reverseString(""), ""},
        {"LeftStr('Hello', 3)", su::leftStr("Hello", 3), "Hel"},
        {"LeftStr('Hello', 10)", su::leftStr("Hello", 10), "Hello"},
        {"LeftStr('Hello', -1)", su::leftStr("Hello", -1), ""},
        {"RightStr('Hello', 3)", su::rightStr("Hello", 3), "llo"},
        {"RightStr('Hello', 10)", su::rightStr("Hello", 10), "Hello"},
        {"RightStr('Hello', 0)", su::rightStr("Hello", 0), ""},
        {"RightStr('Hello', -1)", su::rightStr("Hello", -1), ""},
        {"MidStr('Hello', 2, 3)", su::midStr("Hello", 2, 3), "ell"},
        {"MidStr('Hello', 4, 10)", su::midStr("Hello", 4, 10), "lo"},
        {"MidStr('Hello', 6, 1)", su::midStr("Hello", 6, 1), ""},
        {"MidStr('Hello', 2, -1)", su::midStr("Hello", 2, -1), ""},
        {"MidStr('Hello', 0, 2)", su::midStr("Hello", 0, 2), "He"},
        {"MidStr('Hello', -1, 3)", su::midStr("Hello", -1, 3), "Hel"},
        {"StuffString('Hello World', 7, 5, 'There')", su::stuffString("Hello World", 7, 5, "There"),
         "Hello There"},
        {"StuffString('abcdef', 3, 0, 'XY')", su::stuffString("abcdef", 3, 0, "XY"), "abXYcdef"},
        {"StuffString('abcdef', 2, 100, 'Z')", su::stuffString("abcdef", 2, 100, "Z"), "aZ"},
        // Delphi (Free Pascal 3.2.2 leaves the tail of StuffString's result unset): Copy(AText, 1,
        // AStart - 1) + ASubText + Copy(AText, AStart + ALength, MaxInt) in Cardinal arithmetic.
        {"StuffString('abcdef', 0, 2, 'X')", su::stuffString("abcdef", 0, 2, "X"), "Xbcdef"},
        {"StuffString('abc', 10, 1, 'X')", su::stuffString("abc", 10, 1, "X"), "abcX"},
        {"StuffString('abcdef', 3, $FFFFFFFF, 'X')", su::stuffString("abcdef", 3, 0xFFFFFFFFu, "X"),
         "abXbcdef"},
        // Delphi: the 32-bit size 2 * 2^30 wraps to a negative length.
        {"DupeString('ab', 1073741824)", su::dupeString("ab", 1073741824), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.call;
    expectError(
        "DupeString('abcde', 1000000000)", [] { su::dupeString("abcde", 1000000000); },
        ExcClass::EOutOfMemory, "Out of memory");
}

TEST(LibraryStrings, SearchBufFindsFromTheSelection) {
    const std::string_view text = "The cat sat on the mat";
    const int32_t len = int32_t(text.size());
    constexpr su::SearchOptions kDown{true, false, false};
    constexpr su::SearchOptions kDownCase{true, true, false};
    constexpr su::SearchOptions kDownWord{true, false, true};
    constexpr su::SearchOptions kUp{false, false, false};
    constexpr su::SearchOptions kUpWord{false, false, true};
    struct Case {
        const char* what;
        std::string_view buf;
        int32_t bufLen, selStart, selLength;
        const char* search;
        su::SearchOptions options;
        int64_t expected; // offset of the match, -1 for nil
    } const cases[] = {
        {"first match", text, len, 0, 0, "at", kDown, 5},
        {"after the selection", text, len, 5, 2, "at", kDown, 9},
        {"case ignored", text, len, 0, 0, "THE", kDown, 0},
        {"case kept", text, len, 0, 0, "THE", kDownCase, -1},
        {"case kept, later", text, len, 1, 0, "the", kDownCase, 15},
        {"whole word", "concatenate the cat", 19, 0, 0, "cat", kDownWord, 16},
        {"absent", text, len, 0, 0, "dog", kDown, -1},
        // Delphi (Free Pascal's SearchBuf is a different algorithm): backward from SelStart.
        {"backward from the end", text, len, len, 0, "at", kUp, 20},
        {"backward before position 20", text, len, 20, 0, "at", kUp, 9},
        {"backward whole word", "a cat concat", 12, 9, 0, "cat", kUpWord, 2},
        // Delphi: the first position is taken without looking for the start of a word.
        {"whole word at the first position", "xcat cat", 8, 1, 0, "cat", kDownWord, 1},
        {"empty buffer", text, 0, 0, 0, "at", kDown, -1},
        {"BufLen ends the search", text, 7, 0, 0, "at", kDown, 5},
        {"BufLen shorter than a match", text, 6, 0, 0, "cat", kDown, -1},
        {"selection past the end", text, len, 30, 0, "at", kDown, -1},
        // Delphi: forward, an empty string never fits (SelStart + SearchCount passes BufLen).
        {"empty string forward", text, len, 0, 0, "", kDown, -1},
    };
    for (const Case& c : cases) {
        std::optional<int64_t> at =
            su::searchBuf(c.buf, c.bufLen, c.selStart, c.selLength, c.search, c.options);
        EXPECT_EQ(at.value_or(-1), c.expected) << c.what;
    }
    // Delphi: backward, it compares the first character of the empty string through a nil pointer.
    expectError(
        "SearchBuf(.., '', [])", [&] { su::searchBuf(text, len, 5, 0, "", kUp); }, ExcClass::Exception,
        "Access violation");
}

TEST(LibraryStrings, SoundexCodes) {
    struct Case {
        const char* text;
        int32_t length;
        const char* expected;
    } const cases[] = {
        {"Robert", 4, "R163"},
        {"Rupert", 4, "R163"},
        {"Tymczak", 4, "T522"},
        {"Ashcraft", 4, "A261"}, // H does not separate the two S and C twos
        {"Lee", 4, "L000"},
        {"Washington", 6, "W25235"},
        {"honeyman", 4, "H555"},
        {"Tyler", 4, "T460"},
        // Delphi: the first letter's own digit is the one to skip (Free Pascal: P123).
        {"Pfister", 4, "P236"},
        // Delphi: an empty text has an empty code (Free Pascal: '0000').
        {"", 4, ""},
        // Delphi: the length is checked for equality after each digit, so 1 never stops it (Free Pascal:
        // 'A').
        {"Ab", 1, "A1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(su::soundex(c.text, c.length), c.expected) << c.text << ", " << c.length;
}

TEST(LibraryStrings, SoundexNumbersRoundTrip) {
    EXPECT_EQ(su::soundexInt("Robert", 4), 195772);
    EXPECT_EQ(su::soundexInt("Lee", 4), 126130);
    EXPECT_EQ(su::soundexInt("Washington", 8), 608585741);
    EXPECT_EQ(su::soundexInt("Robert", 1), 154);
    EXPECT_EQ(su::decodeSoundexInt(195772), "R163");
    EXPECT_EQ(su::decodeSoundexInt(608585741), "W2523500");
    EXPECT_EQ(su::decodeSoundexInt(su::soundexInt("Washington", 3)), "W25");
    EXPECT_EQ(su::soundexWord("Robert"), 21752);
    EXPECT_EQ(su::soundexWord("Lee"), 14014);
    EXPECT_EQ(su::decodeSoundexWord(21752), "R163");
    EXPECT_EQ(su::decodeSoundexWord(0), "A000");
    EXPECT_EQ(su::decodeSoundexWord(65535), "t1131");
    // Delphi: 'Zzzz' codes as Z000 (Free Pascal: Z200, 31948).
    EXPECT_EQ(su::soundexWord("Zzzz"), 31850);
    // Delphi: a two-character code decodes to its letter only (Free Pascal: 'R1').
    EXPECT_EQ(su::soundexInt("Robert", 2), 3989);
    EXPECT_EQ(su::decodeSoundexInt(3989), "R");
    // Delphi: the empty code is read through a nil string.
    expectError(
        "SoundexInt('', 4)", [] { su::soundexInt("", 4); }, ExcClass::Exception, "Access violation");
    expectError(
        "SoundexWord('')", [] { su::soundexWord(""); }, ExcClass::Exception, "Access violation");
}

TEST(LibraryStrings, SoundexComparisons) {
    EXPECT_TRUE(su::soundexSimilar("Robert", "Rupert", 4));
    EXPECT_FALSE(su::soundexSimilar("Robert", "Rubin", 4));
    EXPECT_TRUE(su::soundexSimilar("Robert", "Rubin", 2));
    EXPECT_EQ(su::soundexCompare("Robert", "Rupert", 4), 0);
    EXPECT_EQ(su::soundexCompare("Adams", "Baker", 4), -1);
    EXPECT_EQ(su::soundexCompare("Baker", "Adams", 4), 1);
    EXPECT_TRUE(su::soundexProc("Smith", "Smyth"));
    EXPECT_FALSE(su::soundexProc("Smith", "Jones"));
}

// The bindings cover the whole set, in its order, and a script reaches each kind of parameter through
// the registered declarations: open arrays of string, Cardinal and Word arguments, the search options
// set and the PChar result of SearchBuf (nil being the empty PChar).
TEST(LibraryStrings, ScriptCallsTheRegisteredSet) {
    novrix::library::test::expectBindingsInOrder(novrix::library::stringBindings(),
                                                 novrix::library::stringBindingNames());
    novrix::library::test::StandardSetRun run(novrix::library::registerStringDeclarations, novrix::library::registerStringBindings,
                                              novrix::library::stringBindings());
    novrix::engine::Engine& e = run.engine;
    const std::string& out = run.out;
    const size_t& bound = run.bound;
    const char* script = R"(
var p: PChar; buf: string;
begin
  WriteLn(AnsiIndexText('beta', ['Alpha', 'BETA', 'beta']), ' ', AnsiMatchStr('gamma', ['alpha', 'gamma']));
  WriteLn(StuffString('Hello World', 7, 5, 'There'), '|', MidStr('Hello', 2, 3), '|', RightStr('Hello', 3));
  WriteLn(Soundex('Robert', 4), ' ', SoundexWord('Robert'), ' ', DecodeSoundexWord(21752), ' ', SoundexInt('Lee', 4));
  buf := 'The cat sat on the mat';
  p := SearchBuf(buf, Length(buf), 5, 2, 'AT', [soDown]);
  WriteLn(p);
  p := SearchBuf(buf, Length(buf), 0, 0, 'THE', [soDown, soMatchCase]);
  if p = nil then WriteLn('nil');
  WriteLn(SearchBuf(buf, Length(buf), Length(buf), 0, 'the', []));
  WriteLn(DupeString('ab', 3), ' ', ReverseString('Hello'), ' ', AnsiReplaceText('One one', 'ONE', '1'));
  WriteLn(SoundexInt('', 4));
end.
)";
    ASSERT_TRUE(e.compile(script)) << (e.messageLines().empty() ? "" : e.messageLines()[0]);
    EXPECT_EQ(bound, 28u);
    EXPECT_FALSE(e.execute());
    // Values as in the tables above (from fpc, the backward search by Delphi's definition).
    EXPECT_EQ(out, "1 TRUE\n"
                   "Hello There|ell|llo\n"
                   "R163 21752 R163 126130\n"
                   "at on the mat\n"
                   "nil\n"
                   "the mat\n"
                   "ababab olleH 1 1\n");
    EXPECT_EQ(e.runtimeError().text, "Access violation");
}

} // namespace
