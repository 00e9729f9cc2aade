#pragma once
// The recursive-descent parser behind parser.h, split over parser.cpp (token stream, errors, recovery,
// program), parser_decl.cpp (declarations and types), parser_stmt.cpp and parser_expr.cpp.
//
// Error recovery: the first error sets `panic_`, which silences further errors until the parser reaches a
// synchronisation point (a `;` ending a statement or declaration, a statement or declaration keyword).
// Every loop consumes a token per round or ends, so no input makes the parser spin.
#include "ast.h"
#include "diagnostics.h"
#include "lexer.h"
#include "parser.h"
#include "token.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::engine::detail {

// What a nesting level counts against: statements (with routines) or expressions (with types).
enum class Nesting { Statement, Expression };

class Parser {
public:
    Parser(Lexer& lexer, Diagnostics& diags) : lexer_(lexer), diags_(diags) {}

    ast::Program program();
    std::unique_ptr<ast::RoutineDecl> declarationText();
    ast::TypeExprPtr typeText();
    ast::ExprPtr expressionText();

private:
    // Counts nesting for one parse function; releases its levels when it goes out of scope.
    class Depth {
    public:
        Depth(Parser& parser, Nesting nesting)
            : parser_(parser), nesting_(nesting),
              counter_(nesting == Nesting::Statement ? parser.statementDepth_ : parser.expressionDepth_) {}
        ~Depth() { counter_ -= levels_; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
        // One level deeper; false (and the parse stopped) beyond kMaxParseDepth.
        bool deeper() {
            ++levels_;
            ++counter_;
            return counter_ <= kMaxParseDepth || parser_.stop(nesting_);
        }

    private:
        Parser& parser_;
        Nesting nesting_;
        int& counter_;
        int levels_ = 0;
    };

    // --- token stream and errors (parser.cpp)
    const Token& cur();
    const Token& peek(size_t ahead);
    void advance();
    Token take();
    bool check(TokenKind kind) { return cur().kind == kind; }
    bool checkWord(std::string_view word);
    bool accept(TokenKind kind);
    bool expect(TokenKind kind);
    ast::Ident expectIdent();
    void errorHere(const std::string& text);
    void errorExpected(TokenKind kind);
    bool stop(Nesting nesting);
    bool synchronize();
    void synchronizeToDeclaration();
    static ast::ExprPtr placeholderExpr(SourcePos pos);
    static ast::StmtPtr emptyStmt(SourcePos pos);
    static ast::TypeExprPtr placeholderType(SourcePos pos);

    // --- declarations and types (parser_decl.cpp)
    void block(ast::Block& block);
    void declarations(std::vector<ast::Decl>& decls);
    void constSection(std::vector<ast::Decl>& decls);
    void typeSection(std::vector<ast::Decl>& decls);
    void varSection(std::vector<ast::Decl>& decls);
    void endDeclaration();
    void routine(std::vector<ast::Decl>& decls);
    std::unique_ptr<ast::RoutineDecl> routineHeading();
    void paramGroup(std::vector<ast::Param>& params);
    void directives(ast::RoutineDecl& routine, bool declarationText);
    ast::TypeExprPtr type();
    ast::TypeExprPtr arrayType(bool packed);
    ast::TypeExprPtr recordType(bool packed);
    ast::TypeExprPtr enumType();
    ast::TypeExprPtr simpleType();
    static bool takesInitList(const ast::TypeExpr& type);

    // --- statements (parser_stmt.cpp)
    ast::StmtPtr statement();
    void statementList(std::vector<ast::StmtPtr>& out, TokenKind closing);
    void compound(ast::Stmt& stmt);
    ast::StmtPtr simpleStatement();
    ast::StmtPtr ifStatement();
    ast::StmtPtr caseStatement();
    ast::StmtPtr forStatement();
    ast::StmtPtr whileStatement();
    ast::StmtPtr repeatStatement();
    ast::StmtPtr withStatement();
    ast::StmtPtr tryStatement();
    ast::StmtPtr raiseStatement();
    ast::StmtPtr exitStatement();
    void exceptHandlers(ast::Stmt& stmt);
    bool atHandler();

    // --- expressions (parser_expr.cpp)
    ast::ExprPtr expression();
    ast::ExprPtr simpleExpression();
    ast::ExprPtr binary(int minPrecedence);
    ast::ExprPtr binaryRest(ast::ExprPtr left, int minPrecedence, Depth& depth);
    ast::ExprPtr unary();
    ast::ExprPtr primary();
    ast::ExprPtr postfix(ast::ExprPtr expr, Depth& depth);
    ast::ExprPtr callArgument();
    ast::ExprPtr setConstructor();
    ast::ExprPtr initValue();
    bool canStartExpression();

    Lexer& lexer_;
    Diagnostics& diags_;
    std::deque<Token> ahead_; // cur() is ahead_.front()
    Token stopToken_;         // what cur() returns once the parse was stopped
    TokenKind previous_ = TokenKind::Eof;
    size_t consumed_ = 0;
    int statementDepth_ = 0;
    int expressionDepth_ = 0;
    bool panic_ = false;
    bool stopped_ = false;
};

} // namespace novrix::engine::detail
