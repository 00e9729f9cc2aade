#pragma once
// The parser: tokens to the syntax tree of ast.h. Errors go to Diagnostics; after an error the parser
// skips to the next statement or declaration and goes on, so one parse reports several independent
// errors. Whatever the input, the tree it returns is well-formed (see ast.h) and the parse ends.
#include "ast.h"
#include "diagnostics.h"
#include "lexer.h"

#include <memory>
#include <string_view>
#include <vector>

namespace novrix::engine {

// Statements (with the routines around them) or expressions (with types) nested deeper than this stop
// the parse with "Statement too complex" or "Expression too complex", so no input exhausts the stack.
// A chain of operators or of `.x`, `[i]`, `(args)` counts one level per link: the tree is that deep.
inline constexpr int kMaxParseDepth = 500;

// A script: files[0] is the main file; include files are appended to `files` as they are read.
ast::Program parseProgram(std::vector<SourceFile>& files, const NeedFileFn& needFile, Diagnostics& diags);

// One host declaration text such as `function NOVRIX_ComRead(Which:integer):String;` (the trailing `;`
// may be missing). Never null: isExternal is set and there is no body. Positions are inside `text`.
std::unique_ptr<ast::RoutineDecl> parseRoutineDeclaration(std::string_view text, Diagnostics& diags);

// A type text such as `( soDown, soMatchCase )`, `set of TFoo` or `Integer`. Never null.
ast::TypeExprPtr parseTypeText(std::string_view text, Diagnostics& diags);

// One expression such as `a + b * c` (for tools and tests). Never null.
ast::ExprPtr parseExpressionText(std::string_view text, Diagnostics& diags);

} // namespace novrix::engine
