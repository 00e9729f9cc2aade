#pragma once
// Readable forms of the syntax tree: the indented dump behind `--dump-ast`, and one-line Pascal-like
// texts of expressions, types and routine headings (for the help listing and for tests).
#include "ast.h"

#include <string>

namespace novrix::engine {

// One node per line, indented by depth, each with its position as @row:col (@[file]row:col for a node
// from include file `file`).
std::string dumpAst(const ast::Program& program);

// `(a + (b * c))`: every binary operation in parentheses, so the tree's shape shows.
std::string formatExpr(const ast::Expr& expr);
// `array[1..3, Char] of record X, Y: Double; end`
std::string formatType(const ast::TypeExpr& type);
// `function Poly(const X: Extended; const Coefficients: array of Double): Extended; overload`
std::string formatRoutineHeading(const ast::RoutineDecl& routine);

} // namespace novrix::engine
