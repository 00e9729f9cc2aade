// The lexer: literals, operators, comments and positions, lexical errors, include files.
#include "engine/lexer.h"
#include "parser_test_support.h"

#include <gtest/gtest.h>
#include <limits>

namespace novrix::engine {
namespace {

using testing::errorLines;
using testing::FakeFiles;

struct Lexed {
    std::vector<SourceFile> files;
    Diagnostics diags;
    std::vector<Token> tokens;
};

Lexed lex(std::string_view text, const NeedFileFn& needFile = {}) {
    Lexed l;
    l.files.push_back(SourceFile{"main", std::string(text)});
    l.tokens = tokenize(l.files, needFile, l.diags);
    return l;
}

std::vector<TokenKind> kinds(const std::vector<Token>& tokens) {
    std::vector<TokenKind> out;
    for (const Token& t : tokens)
        out.push_back(t.kind);
    return out;
}

// One literal: its kind and value, and the text kept as written.
struct LiteralCase {
    const char* source;
    TokenKind kind;
    std::string_view str; // StrLit
    int64_t i;            // IntLit
    double d;             // RealLit
};

class LiteralTest : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(LiteralTest, DecodesTheValueAndKeepsTheText) {
    const LiteralCase& c = GetParam();
    Lexed l = lex(c.source);
    EXPECT_FALSE(l.diags.hasErrors()) << ::testing::PrintToString(errorLines(l.diags));
    ASSERT_EQ(l.tokens.size(), 2u) << dumpTokens(l.tokens);
    const Token& t = l.tokens[0];
    EXPECT_EQ(t.kind, c.kind) << dumpTokens(l.tokens);
    EXPECT_EQ(t.text, c.source);
    if (c.kind == TokenKind::StrLit) {
        EXPECT_EQ(t.str, c.str);
    } else if (c.kind == TokenKind::IntLit) {
        EXPECT_EQ(t.i, c.i);
    } else {
        EXPECT_DOUBLE_EQ(t.d, c.d);
    }
}

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Literals, LiteralTest,
    ::testing::Values(
        LiteralCase{"'it''s'", TokenKind::StrLit, "it's", 0, 0},
        LiteralCase{"''", TokenKind::StrLit, "", 0, 0},
        LiteralCase{"''''", TokenKind::StrLit, "'", 0, 0},
        LiteralCase{"#13#10", TokenKind::StrLit, "\r\n", 0, 0},
        LiteralCase{"#$41", TokenKind::StrLit, "A", 0, 0},
        LiteralCase{"#$ff", TokenKind::StrLit, "\xff", 0, 0},
        LiteralCase{"#0", TokenKind::StrLit, std::string_view("\0", 1), 0, 0},
        LiteralCase{"'a'#0'b'", TokenKind::StrLit, std::string_view("a\0b", 3), 0, 0},
        LiteralCase{"'a'#9'b'", TokenKind::StrLit, "a\tb", 0, 0},
        LiteralCase{"#65'bc'#$44", TokenKind::StrLit, "AbcD", 0, 0},
        LiteralCase{"'{not a comment}'", TokenKind::StrLit, "{not a comment}", 0, 0},
        LiteralCase{"123", TokenKind::IntLit, "", 123, 0},
        LiteralCase{"0", TokenKind::IntLit, "", 0, 0},
        LiteralCase{"$FF", TokenKind::IntLit, "", 255, 0},
        LiteralCase{"$ff", TokenKind::IntLit, "", 255, 0},
        LiteralCase{"9223372036854775807", TokenKind::IntLit, "", kInt64Max, 0},
        LiteralCase{"$7FFFFFFFFFFFFFFF", TokenKind::IntLit, "", kInt64Max, 0},
        LiteralCase{"$FFFFFFFFFFFFFFFF", TokenKind::IntLit, "", -1, 0},
        LiteralCase{"$0000000000000000001", TokenKind::IntLit, "", 1, 0},
        LiteralCase{"1.5", TokenKind::RealLit, "", 0, 1.5},
        LiteralCase{"1e-3", TokenKind::RealLit, "", 0, 1e-3},
        LiteralCase{"2.5E+10", TokenKind::RealLit, "", 0, 2.5e10},
        LiteralCase{"7E2", TokenKind::RealLit, "", 0, 700.0},
        LiteralCase{"0.1", TokenKind::RealLit, "", 0, 0.1},
        LiteralCase{"1e-400", TokenKind::RealLit, "", 0, 0.0}));
// clang-format on

TEST(Lexer, RangeAfterIntegerIsNotARealLiteral) {
    Lexed l = lex("1..5 'a'..'z' x[1..2] 1.5..2");
    EXPECT_EQ(kinds(l.tokens),
              (std::vector<TokenKind>{
                  TokenKind::IntLit, TokenKind::DotDot, TokenKind::IntLit, TokenKind::StrLit,
                  TokenKind::DotDot, TokenKind::StrLit, TokenKind::Identifier, TokenKind::LBracket,
                  TokenKind::IntLit, TokenKind::DotDot, TokenKind::IntLit, TokenKind::RBracket,
                  TokenKind::RealLit, TokenKind::DotDot, TokenKind::IntLit, TokenKind::Eof}));
    EXPECT_EQ(l.tokens[0].i, 1);
    EXPECT_EQ(l.tokens[2].i, 5);
}

TEST(Lexer, ExponentNeedsDigits) {
    // `2e` is the integer 2 followed by the identifier `e`, not a broken real.
    Lexed l = lex("2e 3E+ 4.5E");
    EXPECT_EQ(kinds(l.tokens),
              (std::vector<TokenKind>{TokenKind::IntLit, TokenKind::Identifier, TokenKind::IntLit,
                                      TokenKind::Identifier, TokenKind::Plus, TokenKind::RealLit,
                                      TokenKind::Identifier, TokenKind::Eof}));
}

TEST(Lexer, OperatorsTakeTheLongestMatch) {
    Lexed l = lex("a:=b<>c<=d>=e..f:g<h>i.j=k@l+-*/()[],;");
    EXPECT_EQ(kinds(l.tokens),
              (std::vector<TokenKind>{
                  TokenKind::Identifier, TokenKind::Assign,    TokenKind::Identifier, TokenKind::NotEqual,
                  TokenKind::Identifier, TokenKind::LessEqual, TokenKind::Identifier, TokenKind::GreaterEqual,
                  TokenKind::Identifier, TokenKind::DotDot,    TokenKind::Identifier, TokenKind::Colon,
                  TokenKind::Identifier, TokenKind::Less,      TokenKind::Identifier, TokenKind::Greater,
                  TokenKind::Identifier, TokenKind::Dot,       TokenKind::Identifier, TokenKind::Equal,
                  TokenKind::Identifier, TokenKind::At,        TokenKind::Identifier, TokenKind::Plus,
                  TokenKind::Minus,      TokenKind::Star,      TokenKind::Slash,      TokenKind::LParen,
                  TokenKind::RParen,     TokenKind::LBracket,  TokenKind::RBracket,   TokenKind::Comma,
                  TokenKind::Semicolon,  TokenKind::Eof}));
}

TEST(Lexer, KeywordsAreCaseInsensitiveAndKeepTheirSpelling) {
    Lexed l = lex("BeGiN begin END Div otherwise Exit string _x1");
    EXPECT_EQ(kinds(l.tokens),
              (std::vector<TokenKind>{TokenKind::Begin, TokenKind::Begin, TokenKind::End, TokenKind::Div,
                                      TokenKind::Identifier, TokenKind::Identifier, TokenKind::Identifier,
                                      TokenKind::Identifier, TokenKind::Eof}));
    EXPECT_EQ(l.tokens[0].text, "BeGiN");
    EXPECT_EQ(l.tokens[7].text, "_x1");
}

TEST(Lexer, CommentsAreSkippedAndPositionsCountRowsAndColumns) {
    Lexed l = lex("{ one\n two } a (* three\n *) b // four\n\tc (*{*) d {(*} e\r\n  f");
    ASSERT_FALSE(l.diags.hasErrors());
    std::vector<std::string> seen;
    for (const Token& t : l.tokens)
        seen.push_back(t.text + "@" + std::to_string(t.pos.row) + ":" + std::to_string(t.pos.col));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"a@2:8", "b@3:5", "c@4:2", "d@4:10", "e@4:17", "f@5:3", "@5:4"}));
}

TEST(Lexer, EndOfFileTokenSitsAfterTheLastCharacter) {
    EXPECT_EQ(lex("").tokens.back().pos.row, 1);
    const Token eof = lex("x\n  ").tokens.back();
    EXPECT_EQ(eof.kind, TokenKind::Eof);
    EXPECT_EQ(eof.pos.row, 2);
    EXPECT_EQ(eof.pos.col, 3);
}

TEST(Lexer, DirectivesOtherThanIncludeAreIgnored) {
    FakeFiles fake;
    Lexed l = lex("{$I+}{$I-}{$R-}{$MODE DELPHI}(*$H+*){$IFDEF X}a", fake.fn());
    EXPECT_FALSE(l.diags.hasErrors());
    EXPECT_TRUE(fake.asked.empty());
    EXPECT_EQ(kinds(l.tokens), (std::vector<TokenKind>{TokenKind::Identifier, TokenKind::Eof}));
}

// Lexical errors: the message at the offending spot, and the stream goes on after it.
struct LexErrorCase {
    const char* source;
    const char* error;
};

class LexErrorTest : public ::testing::TestWithParam<LexErrorCase> {};

TEST_P(LexErrorTest, ReportsAtTheOffendingSpot) {
    Lexed l = lex(GetParam().source);
    EXPECT_EQ(errorLines(l.diags), std::vector<std::string>{GetParam().error}) << GetParam().source;
    EXPECT_EQ(l.tokens.back().kind, TokenKind::Eof);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Errors, LexErrorTest,
    ::testing::Values(LexErrorCase{"x := 'abc;\ny", "1:6 Unterminated string"},
                      LexErrorCase{"x := 'a'#9'bc", "1:11 Unterminated string"},
                      LexErrorCase{"x := 1 ? 2", "1:8 Invalid character '?'"},
                      LexErrorCase{"a\n  \"b", "2:3 Invalid character '\"'"},
                      LexErrorCase{"x ^", "1:3 Invalid character '^'"},
                      LexErrorCase{"x \x01", "1:3 Invalid character '#$01'"},
                      LexErrorCase{"x \xC3\xA4 y", "1:3 Invalid character '\xC3\xA4'"},
                      LexErrorCase{"$ 1", "1:1 Invalid character '$'"},
                      LexErrorCase{"# 1", "1:1 Invalid character '#'"},
                      LexErrorCase{"x := 9223372036854775808", "1:6 Integer constant too large"},
                      LexErrorCase{"x := 99999999999999999999999", "1:6 Integer constant too large"},
                      LexErrorCase{"x := $10000000000000000", "1:6 Integer constant too large"},
                      LexErrorCase{"x := 'a'#256", "1:9 Integer constant too large"},
                      LexErrorCase{"x := 1e999", "1:6 Real constant too large"},
                      LexErrorCase{"a { never closed", "1:3 Unexpected end of file"},
                      LexErrorCase{"a\n(* never closed *", "2:1 Unexpected end of file"}));
// clang-format on

TEST(Lexer, InvalidCharacterLeavesAnInvalidToken) {
    Lexed l = lex("a ? b");
    EXPECT_EQ(kinds(l.tokens), (std::vector<TokenKind>{TokenKind::Identifier, TokenKind::Invalid,
                                                       TokenKind::Identifier, TokenKind::Eof}));
}

TEST(Lexer, DumpShowsPositionKindTextAndValue) {
    FakeFiles fake;
    fake.files["inc"] = "#9";
    Lexed l = lex("x := $1F + 2.50 + 'a'#10;{$I inc}\nend", fake.fn());
    EXPECT_EQ(dumpTokens(l.tokens), "1:1 Identifier x\n"
                                    "1:3 Assign :=\n"
                                    "1:6 IntLit $1F = 31\n"
                                    "1:10 Plus +\n"
                                    "1:12 RealLit 2.50 = 2.5\n"
                                    "1:17 Plus +\n"
                                    "1:19 StrLit 'a'#10 = \"a\\x0A\"\n"
                                    "1:25 Semicolon ;\n"
                                    "[1] 1:1 StrLit #9 = \"\\x09\"\n"
                                    "2:1 End end\n"
                                    "2:4 Eof\n");
}

// --- include files

TEST(Include, TokensOfTheIncludedFileComeInPlaceWithItsFileIndex) {
    FakeFiles fake;
    fake.files["defs.inc"] = "const\n  A = 1;";
    Lexed l = lex("a {$I defs.inc} b", fake.fn());
    EXPECT_FALSE(l.diags.hasErrors());
    ASSERT_EQ(l.files.size(), 2u);
    EXPECT_EQ(l.files[1].name, "defs.inc");
    EXPECT_EQ(l.files[1].text, "const\n  A = 1;");
    EXPECT_EQ(dumpTokens(l.tokens), "1:1 Identifier a\n"
                                    "[1] 1:1 Const const\n"
                                    "[1] 2:3 Identifier A\n"
                                    "[1] 2:5 Equal =\n"
                                    "[1] 2:7 IntLit 1\n"
                                    "[1] 2:8 Semicolon ;\n"
                                    "1:17 Identifier b\n"
                                    "1:18 Eof\n");
}

TEST(Include, AllSpellingsOfTheDirectiveInclude) {
    for (const char* directive : {"{$I x.inc}", "{$i x.inc}", "{$INCLUDE x.inc}", "{$Include 'x.inc'}",
                                  "(*$I x.inc*)", "{$I   x.inc   }"}) {
        FakeFiles fake;
        fake.files["x.inc"] = "y";
        Lexed l = lex(directive, fake.fn());
        EXPECT_FALSE(l.diags.hasErrors()) << directive;
        EXPECT_EQ(fake.asked, std::vector<std::string>{"x.inc"}) << directive;
        ASSERT_EQ(l.tokens.size(), 2u) << directive;
        EXPECT_EQ(l.tokens[0].text, "y");
        EXPECT_EQ(l.tokens[0].pos.file, 1);
    }
}

TEST(Include, MissingFileIsReportedAtTheDirective) {
    FakeFiles fake;
    Lexed l = lex("a\n  {$I nope.inc} b", fake.fn());
    EXPECT_EQ(errorLines(l.diags), std::vector<std::string>{"2:3 File 'nope.inc' not found"});
    EXPECT_EQ(kinds(l.tokens),
              (std::vector<TokenKind>{TokenKind::Identifier, TokenKind::Identifier, TokenKind::Eof}));
    EXPECT_EQ(l.files.size(), 1u);
}

TEST(Include, WithoutAFileSourceEveryIncludeIsMissing) {
    Lexed l = lex("{$INCLUDE 'a b.inc'}");
    EXPECT_EQ(errorLines(l.diags), std::vector<std::string>{"1:1 File 'a b.inc' not found"});
}

TEST(Include, NestedIncludesReturnToTheIncludingFile) {
    FakeFiles fake;
    fake.files["a.inc"] = "a1 {$I b.inc} a2";
    fake.files["b.inc"] = "\n b1";
    Lexed l = lex("m1 {$I a.inc} m2 {$I b.inc}", fake.fn());
    EXPECT_FALSE(l.diags.hasErrors());
    ASSERT_EQ(l.files.size(), 4u);
    EXPECT_EQ(l.files[2].name, "b.inc");
    EXPECT_EQ(l.files[3].name, "b.inc"); // every inclusion is a file of its own
    EXPECT_EQ(dumpTokens(l.tokens), "1:1 Identifier m1\n"
                                    "[1] 1:1 Identifier a1\n"
                                    "[2] 2:2 Identifier b1\n"
                                    "[1] 1:15 Identifier a2\n"
                                    "1:15 Identifier m2\n"
                                    "[3] 2:2 Identifier b1\n"
                                    "1:28 Eof\n");
}

TEST(Include, ErrorsInsideAnIncludeFileNameThatFile) {
    FakeFiles fake;
    fake.files["bad.inc"] = "x\n  'oops";
    Lexed l = lex("{$I bad.inc}", fake.fn());
    EXPECT_EQ(errorLines(l.diags), std::vector<std::string>{"[1] 2:3 Unterminated string"});
}

TEST(Include, AFileIncludingItselfStopsAtTheDepthLimit) {
    FakeFiles fake;
    fake.files["loop.inc"] = "x {$I loop.inc} y";
    Lexed l = lex("{$I loop.inc}", fake.fn());
    ASSERT_EQ(l.diags.all().size(), 1u);
    EXPECT_EQ(l.diags.all()[0].text, "Include files nested too deeply");
    EXPECT_EQ(l.diags.all()[0].pos.file, kMaxIncludeDepth);
    EXPECT_EQ(l.files.size(), static_cast<size_t>(kMaxIncludeDepth + 1));
    // Each level still yields its own x and y.
    EXPECT_EQ(l.tokens.size(), static_cast<size_t>(2 * kMaxIncludeDepth + 1));
}

TEST(Include, UnterminatedCommentInAnIncludeFileEndsOnlyThatFile) {
    FakeFiles fake;
    fake.files["c.inc"] = "a { open";
    Lexed l = lex("{$I c.inc} b", fake.fn());
    EXPECT_EQ(errorLines(l.diags), std::vector<std::string>{"[1] 1:3 Unexpected end of file"});
    EXPECT_EQ(kinds(l.tokens), (std::vector<TokenKind>{TokenKind::Identifier, TokenKind::Invalid,
                                                       TokenKind::Identifier, TokenKind::Eof}));
}

} // namespace
} // namespace novrix::engine
