// Syntax errors: the message and position of the first error, recovery to further independent errors,
// and the depth guard.
#include "parser_test_support.h"

#include <gtest/gtest.h>

namespace novrix::engine {
namespace {

using testing::errorLines;
using testing::FakeFiles;
using testing::parse;
using testing::treeProblems;

struct ErrorCase {
    const char* source;
    const char* firstError; // "row:col text"
};

class FirstErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FirstErrorTest, ReportsTheErrorAtTheTokenFoundInstead) {
    testing::Parsed p = parse(GetParam().source);
    const auto lines = errorLines(p.diags);
    ASSERT_FALSE(lines.empty()) << GetParam().source;
    EXPECT_EQ(lines[0], GetParam().firstError) << GetParam().source;
    EXPECT_EQ(treeProblems(p.program), std::vector<std::string>{}) << GetParam().source;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Messages, FirstErrorTest,
    ::testing::Values(
        // A missing `;` at the end of a line is reported at the first token of the next line.
        ErrorCase{"var x, y: Integer;\nbegin\n  x := 1\n  y := 2;\nend.", "4:3 ';' expected"},
        ErrorCase{"begin x := 1 y := 2 end.", "1:14 ';' expected"},
        ErrorCase{"const A = 1\nB = 2;\nbegin end.", "2:1 ';' expected"},
        ErrorCase{"program X\nbegin end.", "2:1 ';' expected"},
        ErrorCase{"begin end;", "1:10 '.' expected"},
        ErrorCase{"begin end", "1:10 Unexpected end of file"},
        ErrorCase{"var a Integer;\nbegin end.", "1:7 ':' expected"},
        ErrorCase{"begin case x of 1 a; end; end.", "1:19 ':' expected"},
        ErrorCase{"begin x = 1; end.", "1:9 ':=' expected"},
        ErrorCase{"begin for i = 1 to 2 do ; end.", "1:13 ':=' expected"},
        ErrorCase{"begin f(1; end.", "1:10 ')' expected"},
        ErrorCase{"begin x := (1 + 2; end.", "1:18 ')' expected"},
        ErrorCase{"begin x := a[1; end.", "1:15 ']' expected"},
        ErrorCase{"begin x := [1, 2; end.", "1:17 ']' expected"},
        ErrorCase{"const A 5;\nbegin end.", "1:9 '=' expected"},
        ErrorCase{"type T Integer;\nbegin end.", "1:8 '=' expected"},
        ErrorCase{"type T = 1;\nbegin end.", "1:11 '..' expected"},
        ErrorCase{"var x: Integer;\nx := 1;\nend.", "2:1 'BEGIN' expected"},
        ErrorCase{"procedure P;\nvar x: Integer;\n  x := 1;\nend;\nbegin end.", "3:3 'BEGIN' expected"},
        ErrorCase{"begin x := 1; ) end.", "1:15 'END' expected"},
        ErrorCase{"begin repeat x := 1; end.", "1:22 'UNTIL' expected"},
        ErrorCase{"begin try x := 1; end; end.", "1:19 'EXCEPT' expected"},
        ErrorCase{"begin if a b := 1; end.", "1:12 'THEN' expected"},
        ErrorCase{"begin while a b := 1; end.", "1:15 'DO' expected"},
        ErrorCase{"begin for i := 1 to 2 x; end.", "1:23 'DO' expected"},
        ErrorCase{"begin with a x; end.", "1:14 'DO' expected"},
        ErrorCase{"begin try except on E: Exception x; end; end.", "1:34 'DO' expected"},
        ErrorCase{"begin case x 1: ; end; end.", "1:14 'OF' expected"},
        ErrorCase{"type T = array[1..2] Integer;\nbegin end.", "1:22 'OF' expected"},
        ErrorCase{"begin for i := 1 too 10 do ; end.", "1:18 'TO' expected"},
        ErrorCase{"var 5: Integer;\nbegin end.", "1:5 Identifier expected"},
        ErrorCase{"procedure 1;\nbegin end.", "1:11 Identifier expected"},
        ErrorCase{"begin x := a.; end.", "1:14 Identifier expected"},
        ErrorCase{"begin for 1 := 1 to 2 do ; end.", "1:11 Identifier expected"},
        ErrorCase{"begin\n  x := 1;\n", "3:1 Unexpected end of file"},
        ErrorCase{"begin x := 1 +", "1:15 Unexpected end of file"},
        ErrorCase{"program", "1:8 Unexpected end of file"},
        ErrorCase{"", "1:1 Unexpected end of file"},
        ErrorCase{"begin x := 'abc; end.", "1:12 Unterminated string"},
        ErrorCase{"begin x := 1 ? 2; end.", "1:14 Invalid character '?'"},
        ErrorCase{"begin x := 99999999999999999999; end.", "1:12 Integer constant too large"},
        ErrorCase{"begin x := ; end.", "1:12 Syntax error"},
        ErrorCase{"begin x := 1 + * 2; end.", "1:16 Syntax error"},
        ErrorCase{"begin if a then x := 1; else x := 2; end.", "1:25 ';' not allowed before 'ELSE'"},
        ErrorCase{"begin { never closed\nend.", "1:7 Unexpected end of file"},
        ErrorCase{"{$I missing.inc}\nbegin end.", "1:1 File 'missing.inc' not found"},
        ErrorCase{"var a, b: Integer = 1;\nbegin end.", "1:19 ';' expected"},
        ErrorCase{"begin\n  x := 1 end\nend.", "3:1 '.' expected"}));
// clang-format on

// The complete list: each independent error once, nothing that follows from an earlier one.
struct RecoveryCase {
    const char* source;
    std::vector<std::string> errors;
};

class RecoveryTest : public ::testing::TestWithParam<RecoveryCase> {};

TEST_P(RecoveryTest, ReportsEachIndependentErrorOnce) {
    testing::Parsed p = parse(GetParam().source);
    EXPECT_EQ(errorLines(p.diags), GetParam().errors) << GetParam().source;
    EXPECT_EQ(treeProblems(p.program), std::vector<std::string>{});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Recovery, RecoveryTest,
    ::testing::Values(
        RecoveryCase{"program R;\n"
                     "var\n"
                     "  a Integer;\n"
                     "  b: Integer;\n"
                     "begin\n"
                     "  b := 1\n"
                     "  a := 2;\n"
                     "  if a > b a := 3;\n"
                     "  while a do b := (1 + ;\n"
                     "  b := 4;\n"
                     "  case a of 1: b := ) ; 2: ; end;\n"
                     "end.",
                     {"3:5 ':' expected", "7:3 ';' expected", "8:12 'THEN' expected", "9:24 Syntax error",
                      "11:21 Syntax error"}},
        // A missing `end` before the next routine: that routine and the main block are still parsed.
        RecoveryCase{"procedure A;\n"
                     "begin\n"
                     "  x := 1;\n"
                     "procedure B;\n"
                     "begin\n"
                     "  y := ;\n"
                     "end;\n"
                     "begin\n"
                     "  z := 1 +;\n"
                     "end.",
                     {"4:1 'END' expected", "6:8 Syntax error", "9:11 Syntax error"}},
        // Lexical errors leave no trail of syntax errors behind them.
        RecoveryCase{"begin\n"
                     "  x := 'abc;\n"
                     "  y := 1 ? 2;\n"
                     "  z := 99999999999999999999;\n"
                     "  w := \"q\";\n"
                     "end.",
                     {"2:8 Unterminated string", "3:10 Invalid character '?'", "4:8 Integer constant too large",
                      "5:8 Invalid character '\"'", "5:10 Invalid character '\"'"}},
        RecoveryCase{"type\n"
                     "  T = record a: Integer b: Char end;\n"
                     "  U = array[1..3 of Integer;\n"
                     "  V = (x, y;\n"
                     "  W = Integer;\n"
                     "begin end.",
                     {"2:25 ';' expected", "3:18 ']' expected", "4:12 ')' expected"}}));
// clang-format on

TEST(Recovery, TheFinalEndEndsTheParse) {
    FakeFiles fake;
    testing::Parsed p = parse("begin end.\n{$I after.inc} 'unterminated ? }", fake.fn());
    EXPECT_FALSE(p.diags.hasErrors());
    EXPECT_TRUE(fake.asked.empty());
}

TEST(Recovery, ErrorsInIncludeFilesCarryTheirFileIndex) {
    FakeFiles fake;
    fake.files["body.inc"] = "x := 1;\ny := ;\n";
    testing::Parsed p = parse("begin\n{$I body.inc}\nend.", fake.fn());
    EXPECT_EQ(errorLines(p.diags), std::vector<std::string>{"[1] 2:6 Syntax error"});
    ASSERT_EQ(p.program.block.body.body.size(), 3u);
    EXPECT_EQ(p.program.block.body.body[0]->pos.file, 1);
    EXPECT_EQ(p.program.block.body.endPos.file, 0);
}

// --- the depth guard

std::string repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

struct DepthCase {
    const char* name;
    std::string source;
    const char* error;
};

class DepthTest : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DepthTest, DeepNestingStopsWithOneError) {
    testing::Parsed p = parse(GetParam().source);
    ASSERT_EQ(p.diags.all().size(), 1u) << ::testing::PrintToString(errorLines(p.diags));
    EXPECT_EQ(p.diags.all()[0].text, GetParam().error);
    EXPECT_EQ(treeProblems(p.program), std::vector<std::string>{});
}

constexpr int kDeep = 100000;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Guard, DepthTest,
    ::testing::Values(
        DepthCase{"Parentheses", "begin x := " + repeat("(", kDeep) + "1" + repeat(")", kDeep) + "; end.",
                  "Expression too complex"},
        DepthCase{"UnaryOperators", "begin x := " + repeat("not -", kDeep) + "1; end.", "Expression too complex"},
        DepthCase{"OperatorChain", "begin x := 1" + repeat(" + 1", kDeep) + "; end.", "Expression too complex"},
        DepthCase{"MemberChain", "begin x := a" + repeat(".b[1](2)", kDeep) + "; end.", "Expression too complex"},
        DepthCase{"SetsAndCalls", "begin x := " + repeat("f([", kDeep) + repeat("])", kDeep) + "; end.",
                  "Expression too complex"},
        DepthCase{"InitLists", "const A: T = " + repeat("(", kDeep) + "1" + repeat(")", kDeep) + ";\nbegin end.",
                  "Expression too complex"},
        DepthCase{"Compounds", "begin " + repeat("begin ", kDeep) + repeat("end; ", kDeep) + "end.",
                  "Statement too complex"},
        DepthCase{"Ifs", "begin " + repeat("if a then ", kDeep) + "x := 1; end.", "Statement too complex"},
        DepthCase{"Loops", "begin " + repeat("while a do for i := 1 to 2 do with b do ", kDeep) + "x; end.",
                  "Statement too complex"},
        DepthCase{"Routines", repeat("procedure P; ", kDeep) + "begin end.", "Statement too complex"},
        DepthCase{"Records", "type T = " + repeat("record a: ", kDeep) + "Integer" + repeat(" end", kDeep) +
                                 ";\nbegin end.",
                  "Expression too complex"},
        DepthCase{"ArraysOfArrays", "var a: " + repeat("array of ", kDeep) + "Integer;\nbegin end.",
                  "Expression too complex"}),
    [](const ::testing::TestParamInfo<DepthCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(Depth, ModerateNestingIsFine) {
    testing::Parsed p = parse("begin x := " + repeat("(", 150) + "1" + repeat(")", 150) +
                              repeat(" + 1", 200) + "; " + repeat("if a then ", 150) + "begin " +
                              repeat("begin ", 150) + repeat("end ", 150) + "end end.");
    EXPECT_FALSE(p.diags.hasErrors()) << ::testing::PrintToString(errorLines(p.diags));
}

} // namespace
} // namespace novrix::engine
