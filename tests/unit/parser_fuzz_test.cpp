// Robustness: token soup, every truncation and random edits of a real program. The parser must end,
// report something for broken input, and return a tree that keeps the promises of ast.h.
#include "parser_test_support.h"

#include <gtest/gtest.h>
#include <random>

namespace novrix::engine {
namespace {

using testing::errorLines;
using testing::parse;
using testing::treeProblems;

constexpr std::string_view kProgram = R"(program Fuzz;
uses SysUtils;
{ a comment (* with *) nesting }
const
  N = 10;
  Names: array[1..3] of string = ('a', 'it''s', #13#10);
  Origin: TPoint = (X: 1.0; Y: -2.5E+3);
  Grid: array[0..1, 0..1] of Integer = ((1, 2), (3, $FF));
type
  TColor = (Red, Green, Blue);
  TDigits = '0'..'9';
  TRec = packed record
    A, B: Integer;
    Inner: record X: Double end;
  end;
var
  x: Integer = 5;
  d: array of Double;
  s: string[20];

procedure Show(const v: array of const; var e: Double; f: Integer = 5); forward;

function Twice(X: Integer): Integer; overload;
  function Inner: Integer;
  begin
    Result := X * 2;
  end;
begin
  Exit(Inner + 1);
end;

procedure Show(const v: array of const; var e: Double; f: Integer = 5);
begin
  with Origin do e := X / 2;
end;

begin;
  case x of
    1, 3..5: WriteLn('a':5);
    6: ;
  else
    Break
  end;
  try
    raise Exception.Create('m' + IntToStr(x));
  except
    on E: Exception do WriteLn(E.Message);
  else
    raise;
  end;
  try x := 1 finally x := 2 end;
  for x in [1, 3..5] do WriteLn(x:10:2);
  for x := 10 downto 1 do if (x > 1) or not (x in [Red..Blue]) then x := -x else Continue;
  while x < 10 do Inc(x);
  repeat x := x - 1 until x = 0;
  Grid[1, 0] := Names[2][1] + s;
end.
)";

void expectSound(const testing::Parsed& p, const std::string& source) {
    EXPECT_EQ(treeProblems(p.program), std::vector<std::string>{}) << source;
    for (const Diagnostic& d : p.diags.all()) {
        EXPECT_GE(d.pos.row, 1) << source;
        EXPECT_GE(d.pos.col, 1) << source;
    }
    // The dump walks the whole tree; it must not trip over anything the parser left.
    EXPECT_FALSE(dumpAst(p.program).empty());
}

TEST(Fuzz, TheSampleProgramIsValid) {
    testing::Parsed p = parse(kProgram);
    EXPECT_EQ(errorLines(p.diags), std::vector<std::string>{});
    expectSound(p, std::string(kProgram));
}

TEST(Fuzz, EveryTruncationIsReportedAndParsesSoundly) {
    const size_t finalDot = kProgram.rfind('.');
    for (size_t cut = 0; cut <= finalDot; ++cut) {
        const std::string source(kProgram.substr(0, cut));
        testing::Parsed p = parse(source);
        EXPECT_TRUE(p.diags.hasErrors()) << "accepted a program cut after " << cut << " characters:\n"
                                         << source;
        expectSound(p, source);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(Fuzz, TokenSoupNeverBreaksTheParser) {
    static const std::vector<std::string> kVocabulary = {
        "begin",  "end",   "end.", ";",         ":",        ":=",      ",",     ".",      "..",      "(",
        ")",      "[",     "]",    "=",         "<>",       "+",       "-",     "*",      "/",       "@",
        "if",     "then",  "else", "case",      "of",       "for",     "to",    "downto", "do",      "while",
        "repeat", "until", "with", "try",       "except",   "finally", "on",    "raise",  "program", "uses",
        "const",  "type",  "var",  "procedure", "function", "forward", "array", "record", "set",     "packed",
        "string", "not",   "and",  "or",        "div",      "in",      "is",    "nil",    "Exit",    "Break",
        "x",      "y",     "E",    "1",         "2.5",      "$FF",     "'s'",   "#13",    "'open",   "{c}",
        "{$I x}", "(*",    "?",    "otherwise", "out"};
    std::mt19937 rng(4711);
    std::uniform_int_distribution<size_t> pick(0, kVocabulary.size() - 1);
    std::uniform_int_distribution<int> length(0, 80);
    for (int round = 0; round < 4000; ++round) {
        std::string source;
        const int n = length(rng);
        for (int i = 0; i < n; ++i)
            source += kVocabulary[pick(rng)] + (rng() % 4 == 0 ? "\n" : " ");
        testing::Parsed p = parse(source);
        expectSound(p, source);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(Fuzz, RandomEditsOfTheSampleProgram) {
    static const std::string kCharacters = "();:=.,[]'#${}*/+-<>@ \nabeginxd019";
    std::mt19937 rng(1234);
    for (int round = 0; round < 3000; ++round) {
        std::string source(kProgram);
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < edits; ++i) {
            const size_t at = rng() % source.size();
            const char c = kCharacters[rng() % kCharacters.size()];
            switch (rng() % 3) {
            case 0:
                source[at] = c;
                break;
            case 1:
                source.erase(at, 1 + rng() % 8);
                break;
            default:
                source.insert(at, 1, c);
                break;
            }
            if (source.empty())
                source = "x";
        }
        testing::Parsed p = parse(source);
        expectSound(p, source);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(Fuzz, DeclarationAndTypeTextsNeverBreak) {
    static const std::vector<std::string> kVocabulary = {
        "function", "procedure", "F",   "(",     ")",   ":",      ";",       ",",        "=",
        "var",      "const",     "out", "array", "of",  "const",  "Integer", "[",        "]",
        "soDown",   "set",       "1",   "..",    "'a'", "record", "end",     "overload", "-"};
    std::mt19937 rng(99);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 25);
        for (int i = 0; i < n; ++i)
            text += kVocabulary[rng() % kVocabulary.size()] + " ";
        Diagnostics diags;
        const auto routine = parseRoutineDeclaration(text, diags);
        ASSERT_NE(routine, nullptr) << text;
        EXPECT_FALSE(formatRoutineHeading(*routine).empty());
        const auto type = parseTypeText(text, diags);
        ASSERT_NE(type, nullptr) << text;
        formatType(*type);
        const auto expr = parseExpressionText(text, diags);
        ASSERT_NE(expr, nullptr) << text;
        formatExpr(*expr);
    }
}

} // namespace
} // namespace novrix::engine
