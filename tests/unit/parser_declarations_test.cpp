// Declarations: host declaration texts, type texts, and the declarations of a script.
#include "parser_test_support.h"

#include <gtest/gtest.h>

namespace novrix::engine {
namespace {

using testing::errorLines;
using testing::parse;
using testing::withoutPositions;

struct TextCase {
    const char* text;
    const char* expected;
};

// --- host declaration texts

class RoutineDeclarationTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RoutineDeclarationTest, ParsesToTheExpectedSignature) {
    Diagnostics diags;
    const auto routine = parseRoutineDeclaration(GetParam().text, diags);
    ASSERT_NE(routine, nullptr);
    EXPECT_FALSE(diags.hasErrors()) << ::testing::PrintToString(errorLines(diags));
    EXPECT_EQ(formatRoutineHeading(*routine), GetParam().expected);
    EXPECT_TRUE(routine->isExternal);
    EXPECT_EQ(routine->body, nullptr);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    HostDeclarations, RoutineDeclarationTest,
    ::testing::Values(
        TextCase{"function NOVRIX_ComRead(Which:integer):String;", "function NOVRIX_ComRead(Which: integer): String"},
        TextCase{"procedure NOVRIX_ScreenClear", "procedure NOVRIX_ScreenClear"},
        TextCase{"procedure NOVRIX_ScreenClear;", "procedure NOVRIX_ScreenClear"},
        TextCase{"procedure NOVRIX_ScreenClear();", "procedure NOVRIX_ScreenClear"},
        TextCase{"function Poly(const X: Extended; const Coefficients: array of Double): Extended;",
                 "function Poly(const X: Extended; const Coefficients: array of Double): Extended"},
        TextCase{"function SearchBuf(Buf: PChar; BufLen: Integer; SelStart, SelLength: Integer; "
                 "SearchString: String;\n  Options: TStringSearchOptions): PChar;",
                 "function SearchBuf(Buf: PChar; BufLen: Integer; SelStart, SelLength: Integer; "
                 "SearchString: String; Options: TStringSearchOptions): PChar"},
        TextCase{"function SearchBuf(Buf: PChar; Options: TStringSearchOptions = [soDown]): PChar;",
                 "function SearchBuf(Buf: PChar; Options: TStringSearchOptions = [soDown]): PChar"},
        TextCase{"procedure P(var A; const B; out C: Integer; var D: array of string)",
                 "procedure P(var A; const B; out C: Integer; var D: array of string)"},
        TextCase{"function Format(const Fmt: string; const Args: array of const): string;",
                 "function Format(const Fmt: string; const Args: array of const): string"},
        TextCase{"procedure Q(X: Integer = -1; Y: Double = 1.5; S: string = 'it''s'; B: Boolean = True)",
                 "procedure Q(X: Integer = -1; Y: Double = 1.5; S: string = 'it''s'; B: Boolean = True)"},
        TextCase{"function Max(A, B: Int64): Int64; overload;", "function Max(A, B: Int64): Int64; overload"},
        TextCase{"function Max(A, B: Double): Double; overload", "function Max(A, B: Double): Double; overload"},
        TextCase{"procedure Beep(F, D: Cardinal); stdcall;", "procedure Beep(F, D: Cardinal); stdcall"},
        TextCase{"FUNCTION Upper(CONST S: STRING): STRING; STDCALL OVERLOAD",
                 "function Upper(const S: STRING): STRING; overload; STDCALL"},
        TextCase{"procedure W(S: string[20]; C: TChars; R: 1..10)",
                 "procedure W(S: string[20]; C: TChars; R: 1..10)"},
        // `out` names a parameter when no name follows it.
        TextCase{"procedure O(out: Integer)", "procedure O(out: Integer)"},
        TextCase{"  { a comment }  procedure Spaced ( A : Integer ) ; ", "procedure Spaced(A: Integer)"}));
// clang-format on

TEST(RoutineDeclaration, KeepsNamesParametersAndPositions) {
    Diagnostics diags;
    const auto r = parseRoutineDeclaration("function NOVRIX_BusWaitForData(Device: Integer;\n"
                                           "  var Answer: String; Timeout: Double = 2.0): Boolean;",
                                           diags);
    ASSERT_FALSE(diags.hasErrors());
    EXPECT_TRUE(r->isFunction);
    EXPECT_EQ(r->name.name, "NOVRIX_BusWaitForData");
    EXPECT_EQ(r->name.pos.col, 10);
    ASSERT_EQ(r->params.size(), 3u);
    EXPECT_EQ(r->params[1].mode, ast::ParamMode::Var);
    EXPECT_EQ(r->params[1].names[0].pos.row, 2);
    EXPECT_EQ(r->params[1].names[0].pos.col, 7);
    ASSERT_NE(r->params[2].defaultValue, nullptr);
    EXPECT_EQ(r->params[2].defaultValue->kind, ast::ExprKind::RealLit);
    EXPECT_DOUBLE_EQ(r->params[2].defaultValue->realValue, 2.0);
    EXPECT_EQ(r->resultType->name, "Boolean");
}

TEST(RoutineDeclaration, ErrorsPointIntoTheText) {
    const TextCase cases[] = {
        {"function F(X: Integer)", "1:23 Unexpected end of file"},
        {"function F(X: Integer) Integer;", "1:24 ':' expected"},
        {"procedure (X: Integer)", "1:11 Identifier expected"},
        {"procedure P(X Integer)", "1:15 ':' expected"},
        {"procedure P(X: Integer; )", "1:25 Identifier expected"},
        {"procedure P(X: );", "1:16 Identifier expected"},
        {"procedure P; junk", "1:14 ';' expected"},
        {"const X = 1;", "1:1 Syntax error"},
        {"function F(\n  X: Integer = ): Integer;", "2:16 Syntax error"},
    };
    for (const TextCase& c : cases) {
        Diagnostics diags;
        const auto r = parseRoutineDeclaration(c.text, diags);
        ASSERT_NE(r, nullptr) << c.text;
        const auto lines = errorLines(diags);
        ASSERT_FALSE(lines.empty()) << c.text;
        EXPECT_EQ(lines[0], c.expected) << c.text;
    }
}

// --- type texts

class TypeTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TypeTextTest, ParsesToTheExpectedType) {
    Diagnostics diags;
    const auto t = parseTypeText(GetParam().text, diags);
    ASSERT_NE(t, nullptr);
    EXPECT_FALSE(diags.hasErrors()) << ::testing::PrintToString(errorLines(diags));
    EXPECT_EQ(formatType(*t), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TypeTexts, TypeTextTest,
    ::testing::Values(
        TextCase{"( soDown, soMatchCase, soWholeWord )", "(soDown, soMatchCase, soWholeWord)"},
        TextCase{"set of TStringSeachOption", "set of TStringSeachOption"},
        TextCase{"Integer", "Integer"},
        TextCase{"Integer;", "Integer"},
        TextCase{"string", "string"},
        TextCase{"String[80]", "string[80]"},
        TextCase{"1..10", "1..10"},
        TextCase{"-5..+5", "-5..+5"},
        TextCase{"'a'..'z'", "'a'..'z'"},
        TextCase{"Low..High", "Low..High"},
        TextCase{"Ord('A')..Ord('Z') + 1", "Ord('A')..(Ord('Z') + 1)"},
        TextCase{"set of 'a'..'z'", "set of 'a'..'z'"},
        TextCase{"set of (Red, Green)", "set of (Red, Green)"},
        TextCase{"array[1..3, 0..9] of Double", "array[1..3, 0..9] of Double"},
        TextCase{"array[TEnum] of string", "array[TEnum] of string"},
        TextCase{"array[Char] of Byte", "array[Char] of Byte"},
        TextCase{"array[Boolean, 1..2] of array of Integer", "array[Boolean, 1..2] of array of Integer"},
        TextCase{"array of const", "array of const"},
        TextCase{"packed array[Byte] of Char", "packed array[Byte] of Char"},
        TextCase{"record X, Y: Double; end", "record X, Y: Double; end"},
        TextCase{"packed record A: Integer; B: record C: Char end end",
                 "packed record A: Integer; B: record C: Char; end; end"},
        TextCase{"record end", "record end"}));
// clang-format on

TEST(TypeText, ErrorsPointIntoTheText) {
    const TextCase cases[] = {
        {"array[1..3 of Integer", "1:12 ']' expected"},
        {"array[1..3] Integer", "1:13 'OF' expected"},
        {"set Integer", "1:5 'OF' expected"},
        {"1", "1:2 Unexpected end of file"},
        {"1;", "1:2 '..' expected"},
        {"(a, b", "1:6 Unexpected end of file"},
        {"(a b)", "1:4 ')' expected"},
        {"(a, 5)", "1:5 Identifier expected"},
        {"record a: Integer b: Char end", "1:19 ';' expected"},
        {"record a: Integer; 5 end", "1:20 'END' expected"},
        {"string[N]", "1:8 Syntax error"},
        {"packed set of Char", "1:8 Syntax error"},
        {"Integer Foo", "1:9 ';' expected"},
        {"begin", "1:1 Identifier expected"},
    };
    for (const TextCase& c : cases) {
        Diagnostics diags;
        const auto t = parseTypeText(c.text, diags);
        ASSERT_NE(t, nullptr) << c.text;
        const auto lines = errorLines(diags);
        ASSERT_FALSE(lines.empty()) << c.text;
        EXPECT_EQ(lines[0], c.expected) << c.text;
    }
}

// --- declarations in a script

std::string declarationsTree(const std::string& declarations) {
    testing::Parsed p = parse(declarations + "\nbegin end.");
    EXPECT_FALSE(p.diags.hasErrors()) << ::testing::PrintToString(errorLines(p.diags));
    std::string dump = withoutPositions(dumpAst(p.program));
    // Drop the first line (Program) and the main block's two lines at the end.
    dump = dump.substr(dump.find('\n') + 1);
    const size_t compound = dump.rfind("  Compound");
    return dump.substr(0, compound);
}

TEST(Declarations, TypedConstantsTakeInitialiserLists) {
    EXPECT_EQ(declarationsTree("const A: array[1..3] of Integer = (1, 2, 3);"), "  Const A\n"
                                                                                "    type: Array\n"
                                                                                "      index: Subrange\n"
                                                                                "        low: IntLit 1\n"
                                                                                "        high: IntLit 3\n"
                                                                                "      of: Named Integer\n"
                                                                                "    value: InitList\n"
                                                                                "      IntLit 1\n"
                                                                                "      IntLit 2\n"
                                                                                "      IntLit 3\n");
    // A record initialiser: the element keeps the field name apart from its own name (`Y: Origin`).
    EXPECT_EQ(declarationsTree("const R: TPoint = (X: 1.0; Y: Origin;);"), "  Const R\n"
                                                                           "    type: Named TPoint\n"
                                                                           "    value: InitList\n"
                                                                           "      field X: RealLit 1.0\n"
                                                                           "      field Y: Name Origin\n");
    EXPECT_EQ(declarationsTree("const M: TMatrix = ((1, 2), (3, 4));"), "  Const M\n"
                                                                        "    type: Named TMatrix\n"
                                                                        "    value: InitList\n"
                                                                        "      InitList\n"
                                                                        "        IntLit 1\n"
                                                                        "        IntLit 2\n"
                                                                        "      InitList\n"
                                                                        "        IntLit 3\n"
                                                                        "        IntLit 4\n");
    EXPECT_EQ(declarationsTree("const P: array[0..1] of TPoint = ((X: 1; Y: 2), (X: 3; Y: (4)));"),
              "  Const P\n"
              "    type: Array\n"
              "      index: Subrange\n"
              "        low: IntLit 0\n"
              "        high: IntLit 1\n"
              "      of: Named TPoint\n"
              "    value: InitList\n"
              "      InitList\n"
              "        field X: IntLit 1\n"
              "        field Y: IntLit 2\n"
              "      InitList\n"
              "        field X: IntLit 3\n"
              "        field Y: InitList\n"
              "          IntLit 4\n");
}

TEST(Declarations, ParenthesisedScalarFollowedByAnOperatorIsAnExpression) {
    // With a named type the parser cannot know the type is a scalar: `(1 + 2)` alone stays a one-element
    // InitList, but an operator after it makes the whole an expression.
    EXPECT_EQ(declarationsTree("const C: Integer = (1 + 2) * 3;"), "  Const C\n"
                                                                   "    type: Named Integer\n"
                                                                   "    value: Binary *\n"
                                                                   "      Binary + (parenthesized)\n"
                                                                   "        IntLit 1\n"
                                                                   "        IntLit 2\n"
                                                                   "      IntLit 3\n");
    EXPECT_EQ(declarationsTree("const C: Integer = ((2)) - 1;"), "  Const C\n"
                                                                 "    type: Named Integer\n"
                                                                 "    value: Binary -\n"
                                                                 "      IntLit 2 (parenthesized)\n"
                                                                 "      IntLit 1\n");
    EXPECT_EQ(declarationsTree("const A: array[1..2] of Integer = ((1 + 2) * 3, (4));"),
              "  Const A\n"
              "    type: Array\n"
              "      index: Subrange\n"
              "        low: IntLit 1\n"
              "        high: IntLit 2\n"
              "      of: Named Integer\n"
              "    value: InitList\n"
              "      Binary *\n"
              "        Binary + (parenthesized)\n"
              "          IntLit 1\n"
              "          IntLit 2\n"
              "        IntLit 3\n"
              "      InitList\n"
              "        IntLit 4\n");
}

TEST(Declarations, OtherTypesAndUntypedConstantsTakeExpressions) {
    EXPECT_EQ(declarationsTree("const S: set of Char = ['a'..'z']; N = (1 + 2) * 3; T: 1..9 = (5);"),
              "  Const S\n"
              "    type: Set\n"
              "      of: Named Char\n"
              "    value: SetCons\n"
              "      Range\n"
              "        StrLit 'a'\n"
              "        StrLit 'z'\n"
              "  Const N\n"
              "    value: Binary *\n"
              "      Binary + (parenthesized)\n"
              "        IntLit 1\n"
              "        IntLit 2\n"
              "      IntLit 3\n"
              "  Const T\n"
              "    type: Subrange\n"
              "      low: IntLit 1\n"
              "      high: IntLit 9\n"
              "    value: IntLit 5 (parenthesized)\n");
}

TEST(Declarations, InitialisedVariables) {
    EXPECT_EQ(declarationsTree("var x: Integer = 5; r: TPoint = (X: 0; Y: 0); a, b: Double;"),
              "  Var x\n"
              "    type: Named Integer\n"
              "    init: IntLit 5\n"
              "  Var r\n"
              "    type: Named TPoint\n"
              "    init: InitList\n"
              "      field X: IntLit 0\n"
              "      field Y: IntLit 0\n"
              "  Var a, b\n"
              "    type: Named Double\n");
    testing::Parsed p = parse("var a, b: Integer = 5; begin end.");
    EXPECT_EQ(errorLines(p.diags), std::vector<std::string>{"1:19 ';' expected"});
}

TEST(Declarations, SectionsInAnyOrderWithRoutinesNestedAndForward) {
    EXPECT_EQ(declarationsTree("var a: Integer;\n"
                               "procedure Later(x: Integer); forward;\n"
                               "const K = 2;\n"
                               "function Outer(const s: string): Integer; overload; stdcall;\n"
                               "type T = Integer;\n"
                               "var v: T;\n"
                               "  procedure Inner; begin end;\n"
                               "begin\n"
                               "  Result := K;\n"
                               "end;\n"
                               "type U = T;\n"
                               "procedure Later(x: Integer);\n"
                               "begin end;"),
              "  Var a\n"
              "    type: Named Integer\n"
              "  Procedure Later forward\n"
              "    Param x\n"
              "      type: Named Integer\n"
              "  Const K\n"
              "    value: IntLit 2\n"
              "  Function Outer overload stdcall\n"
              "    Param const s\n"
              "      type: Named string\n"
              "    result: Named Integer\n"
              "    Type T\n"
              "      Named Integer\n"
              "    Var v\n"
              "      type: Named T\n"
              "    Procedure Inner\n"
              "      Compound end\n"
              "        Empty\n"
              "      End;\n"
              "    Compound end\n"
              "      Assign\n"
              "        Name Result\n"
              "        Name K\n"
              "      Empty\n"
              "    End;\n"
              "  Type U\n"
              "    Named T\n"
              "  Procedure Later\n"
              "    Param x\n"
              "      type: Named Integer\n"
              "    Compound end\n"
              "      Empty\n"
              "    End;\n");
}

TEST(Declarations, ProgramHeadingUsesAndPositions) {
    testing::Parsed p = parse("program Demo;\nuses SysUtils, Math;\nvar\n  x: Integer;\nbegin\nend.");
    ASSERT_FALSE(p.diags.hasErrors());
    EXPECT_EQ(p.program.name.name, "Demo");
    ASSERT_EQ(p.program.uses.size(), 2u);
    EXPECT_EQ(p.program.uses[1].name, "Math");
    EXPECT_EQ(p.program.uses[1].pos.col, 16);
    ASSERT_EQ(p.program.block.decls.size(), 1u);
    EXPECT_EQ(p.program.block.decls[0].pos.row, 4);
    EXPECT_EQ(p.program.endPos.row, 6);
    EXPECT_EQ(p.program.endPos.col, 1);
}

TEST(Declarations, RoutineEndPositionIsTheSemicolonAfterItsEnd) {
    testing::Parsed p = parse("procedure P;\nbegin\nend ;\nbegin end.");
    ASSERT_FALSE(p.diags.hasErrors());
    const ast::RoutineDecl& r = *p.program.block.decls[0].routine;
    EXPECT_EQ(r.endPos.row, 3);
    EXPECT_EQ(r.endPos.col, 5);
    EXPECT_EQ(r.body->body.endPos.col, 1);
}

TEST(Declarations, ProgramWithoutHeadingOrDeclarations) {
    for (const char* text :
         {"begin end.", "BEGIN END.", "begin; end.", "begin ; ; end.", "begin end. trailing 'junk"}) {
        testing::Parsed p = parse(text);
        EXPECT_FALSE(p.diags.hasErrors()) << text << ::testing::PrintToString(errorLines(p.diags));
        EXPECT_TRUE(p.program.name.name.empty());
    }
}

} // namespace
} // namespace novrix::engine
