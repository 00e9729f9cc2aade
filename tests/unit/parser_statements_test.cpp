// Statements and expressions: the shape of the tree for each form.
#include "parser_test_support.h"

#include <gtest/gtest.h>

namespace novrix::engine {
namespace {

using testing::errorLines;
using testing::parse;
using testing::statementTree;

struct TextCase {
    const char* text;
    const char* expected;
};

// --- expressions, shown fully parenthesised

class ExpressionTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ExpressionTest, GroupsByDelphiPrecedence) {
    Diagnostics diags;
    const auto e = parseExpressionText(GetParam().text, diags);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(diags.hasErrors()) << ::testing::PrintToString(errorLines(diags));
    EXPECT_EQ(formatExpr(*e), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Precedence, ExpressionTest,
    ::testing::Values(TextCase{"a + b * c", "(a + (b * c))"}, TextCase{"a * b + c", "((a * b) + c)"},
                      TextCase{"a - b - c", "((a - b) - c)"}, TextCase{"a / b * c", "((a / b) * c)"},
                      TextCase{"a or b and c", "(a or (b and c))"}, TextCase{"a xor b or c", "((a xor b) or c)"},
                      TextCase{"not a and b", "(not a and b)"}, TextCase{"not (a and b)", "not (a and b)"},
                      TextCase{"-a * b", "(-a * b)"}, TextCase{"- -a", "-(-a)"}, TextCase{"+a", "+a"},
                      TextCase{"a = b + c", "(a = (b + c))"}, TextCase{"a < b = c", "((a < b) = c)"},
                      TextCase{"a <> b", "(a <> b)"}, TextCase{"a <= b", "(a <= b)"}, TextCase{"a >= b", "(a >= b)"},
                      TextCase{"x > 0 and y > 0", "((x > (0 and y)) > 0)"},
                      TextCase{"(x > 0) and (y > 0)", "((x > 0) and (y > 0))"},
                      TextCase{"x in [1, 3..5, c]", "(x in [1, 3..5, c])"}, TextCase{"[]", "[]"},
                      TextCase{"E is EFoo", "(E is EFoo)"}, TextCase{"E as EFoo", "(E as EFoo)"},
                      TextCase{"1 shl 2 + 3 shr 1", "((1 shl 2) + (3 shr 1))"},
                      TextCase{"x div 2 mod 3", "((x div 2) mod 3)"}, TextCase{"@x", "@x"},
                      TextCase{"a.b[1, 2](x).c", "a.b[1, 2](x).c"}, TextCase{"a[1][2]", "a[1][2]"},
                      TextCase{"X.Create('m')", "X.Create('m')"}, TextCase{"f", "f"}, TextCase{"f()", "f()"},
                      TextCase{"WriteLn(x:10:2, y:3, z)", "WriteLn(x:10:2, y:3, z)"},
                      TextCase{"'a'#9'b' + #13#10", "('a'#9'b' + #13#10)"}, TextCase{"$FF + 1.5e3", "($FF + 1.5e3)"},
                      TextCase{"nil", "nil"}, TextCase{"Chr(Ord('a') + 1)", "Chr((Ord('a') + 1))"}));
// clang-format on

TEST(Expression, PositionsOfOperatorsAndMembers) {
    Diagnostics diags;
    const auto e = parseExpressionText("Points[i].Volts + 1", diags);
    ASSERT_EQ(e->kind, ast::ExprKind::Binary);
    EXPECT_EQ(e->pos.col, 17); // a binary node sits at its operator
    const ast::Expr& member = *e->left;
    ASSERT_EQ(member.kind, ast::ExprKind::Member);
    EXPECT_EQ(member.pos.col, 1); // other nodes at their first token
    EXPECT_EQ(member.namePos.col, 11);
    EXPECT_EQ(member.left->kind, ast::ExprKind::Index);
    EXPECT_EQ(member.left->args[0]->pos.col, 8);
}

TEST(Expression, LiteralsKeepTextAndValue) {
    Diagnostics diags;
    const auto e = parseExpressionText("f($1F, 2.50, 'it''s')", diags);
    ASSERT_EQ(e->args.size(), 3u);
    EXPECT_EQ(e->args[0]->intValue, 31);
    EXPECT_EQ(e->args[0]->text, "$1F");
    EXPECT_DOUBLE_EQ(e->args[1]->realValue, 2.5);
    EXPECT_EQ(e->args[1]->text, "2.50");
    EXPECT_EQ(e->args[2]->strValue, "it's");
}

TEST(Expression, ParenthesesAreRecorded) {
    Diagnostics diags;
    const auto e = parseExpressionText("f((a), b)", diags);
    ASSERT_EQ(e->args.size(), 2u);
    EXPECT_TRUE(e->args[0]->parenthesized);
    EXPECT_FALSE(e->args[1]->parenthesized);
}

// --- statements

class StatementTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(StatementTest, BuildsTheExpectedTree) {
    EXPECT_EQ(statementTree(GetParam().text), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Forms, StatementTest,
    ::testing::Values(
        TextCase{"x := 1", "Assign\n  Name x\n  IntLit 1\n"},
        TextCase{"a[i].b := c", "Assign\n  Member .b\n    Index\n      Name a\n      arg: Name i\n  Name c\n"},
        TextCase{"Foo", "CallStmt\n  Name Foo\n"},
        TextCase{"Foo(1, 2)", "CallStmt\n  Call\n    Name Foo\n    arg: IntLit 1\n    arg: IntLit 2\n"},
        TextCase{"begin end", "Compound end\n  Empty\n"},
        TextCase{"begin ; ; end", "Compound end\n  Empty\n  Empty\n  Empty\n"},
        TextCase{"if a then b else c",
                 "If\n  Name a\n  then: CallStmt\n    Name b\n  else: CallStmt\n    Name c\n"},
        TextCase{"if a then else c", "If\n  Name a\n  then: Empty\n  else: CallStmt\n    Name c\n"},
        // The else belongs to the nearest if.
        TextCase{"if a then if b then c else d",
                 "If\n  Name a\n  then: If\n    Name b\n    then: CallStmt\n      Name c\n    else: CallStmt\n"
                 "      Name d\n"},
        TextCase{"case x of 1, 3..5: a; 'z': ; else b; c end",
                 "Case end\n  Name x\n  Branch\n    label: IntLit 1\n    label: IntLit 3\n    high: IntLit 5\n"
                 "    CallStmt\n      Name a\n  Branch\n    label: StrLit 'z'\n    Empty\n  else:\n"
                 "    CallStmt\n      Name b\n    CallStmt\n      Name c\n"},
        TextCase{"case x of 1: a otherwise b end",
                 "Case end\n  Name x\n  Branch\n    label: IntLit 1\n    CallStmt\n      Name a\n  else:\n"
                 "    CallStmt\n      Name b\n"},
        TextCase{"case x of 1: if a then b else c; end",
                 "Case end\n  Name x\n  Branch\n    label: IntLit 1\n    If\n      Name a\n      then: CallStmt\n"
                 "        Name b\n      else: CallStmt\n        Name c\n"},
        TextCase{"for i := 1 to n do x", "For i to\n  IntLit 1\n  Name n\n  do: CallStmt\n    Name x\n"},
        TextCase{"for i := n downto 1 do ;", "For i downto\n  Name n\n  IntLit 1\n  do: Empty\nEmpty\n"},
        TextCase{"for c in s do x", "ForIn c\n  Name s\n  do: CallStmt\n    Name x\n"},
        TextCase{"while a do b", "While\n  Name a\n  do: CallStmt\n    Name b\n"},
        TextCase{"repeat a; b until c",
                 "Repeat end\n  CallStmt\n    Name a\n  CallStmt\n    Name b\n  until: Name c\n"},
        TextCase{"with a, b.c do d", "With\n  Name a\n  Member .c\n    Name b\n  do: CallStmt\n    Name d\n"},
        TextCase{"Break; Continue; Exit; Exit(1); exit()",
                 "Break\nContinue\nExit\nExit\n  IntLit 1\nExit\n"},
        // Only the bare words are statements: a variable may still be called Exit or Break.
        TextCase{"Break := 1; Exit.X := 2",
                 "Assign\n  Name Break\n  IntLit 1\nAssign\n  Member .X\n    Name Exit\n  IntLit 2\n"},
        TextCase{"raise; raise Exception.Create('m')",
                 "Raise\nRaise\n  Call\n    Member .Create\n      Name Exception\n    arg: StrLit 'm'\n"},
        TextCase{"try a; b finally c end",
                 "TryFinally end\n  try:\n    CallStmt\n      Name a\n    CallStmt\n      Name b\n  finally:\n"
                 "    CallStmt\n      Name c\n"},
        TextCase{"try a except b end",
                 "TryExcept end\n  try:\n    CallStmt\n      Name a\n  except:\n    CallStmt\n      Name b\n"},
        TextCase{"try a except on E: Exception do b; on EFoo do c; else d; e end",
                 "TryExcept end\n  try:\n    CallStmt\n      Name a\n  except:\n    On E: Exception\n"
                 "      CallStmt\n        Name b\n    On EFoo\n      CallStmt\n        Name c\n    else:\n"
                 "      CallStmt\n        Name d\n      CallStmt\n        Name e\n"},
        TextCase{"try except end", "TryExcept end\n  try:\n    Empty\n  except:\n    Empty\n"}));
// clang-format on

TEST(Statement, HandlerFieldsAndFlags) {
    testing::Parsed p = parse("begin try a except on E: Exception do b; on EFoo do c else d end end.");
    ASSERT_FALSE(p.diags.hasErrors());
    const ast::Stmt& t = *p.program.block.body.body[0];
    ASSERT_EQ(t.kind, ast::StmtKind::TryExcept);
    EXPECT_TRUE(t.hasHandlers);
    EXPECT_TRUE(t.hasExceptElse);
    ASSERT_EQ(t.handlers.size(), 2u);
    EXPECT_EQ(t.handlers[0].varName.name, "E");
    EXPECT_EQ(t.handlers[0].typeName.name, "Exception");
    EXPECT_TRUE(t.handlers[1].varName.name.empty());
    EXPECT_EQ(t.handlers[1].typeName.name, "EFoo");
    EXPECT_EQ(t.handlers[1].typeName.pos.col, 45);
    ASSERT_EQ(t.body2.size(), 1u);
}

TEST(Statement, CaseElseFlagAndEndPositions) {
    testing::Parsed p = parse("begin\n  case x of\n    1: ;\n  end;\n  repeat\n  until x;\nend.");
    ASSERT_FALSE(p.diags.hasErrors());
    const ast::Stmt& body = p.program.block.body;
    EXPECT_EQ(body.endPos.row, 7);
    const ast::Stmt& c = *body.body[0];
    EXPECT_FALSE(c.hasCaseElse);
    EXPECT_EQ(c.endPos.row, 4);
    const ast::Stmt& r = *body.body[1];
    EXPECT_EQ(r.kind, ast::StmtKind::Repeat);
    EXPECT_EQ(r.endPos.row, 6);
    EXPECT_EQ(r.endPos.col, 3);
}

} // namespace
} // namespace novrix::engine
