#include "parser.h"

#include "parser_impl.h"

namespace novrix::engine {

namespace detail {

// --- token stream

const Token& Parser::cur() {
    return peek(0);
}

const Token& Parser::peek(size_t ahead) {
    if (stopped_)
        return stopToken_;
    while (ahead_.size() <= ahead)
        ahead_.push_back(lexer_.next());
    return ahead_[ahead];
}

void Parser::advance() {
    if (stopped_ || cur().kind == TokenKind::Eof)
        return;
    previous_ = ahead_.front().kind;
    ahead_.pop_front();
    ++consumed_;
}

Token Parser::take() {
    Token t = cur();
    advance();
    return t;
}

bool Parser::checkWord(std::string_view word) {
    const Token& t = cur();
    if (t.kind != TokenKind::Identifier || t.text.size() != word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if ((t.text[i] | 0x20) != word[i])
            return false;
    return true;
}

bool Parser::accept(TokenKind kind) {
    if (!check(kind))
        return false;
    advance();
    return true;
}

bool Parser::expect(TokenKind kind) {
    if (accept(kind))
        return true;
    errorExpected(kind);
    return false;
}

ast::Ident Parser::expectIdent() {
    if (check(TokenKind::Identifier)) {
        ast::Ident id{cur().text, cur().pos};
        advance();
        return id;
    }
    errorHere("Identifier expected");
    return ast::Ident{"", cur().pos};
}

// --- errors and recovery

void Parser::errorHere(const std::string& text) {
    if (panic_)
        return;
    panic_ = true;
    const Token& t = cur();
    // The lexer has reported what is wrong with an invalid token already.
    if (t.kind == TokenKind::Invalid)
        return;
    diags_.error(t.pos, t.kind == TokenKind::Eof ? "Unexpected end of file" : text);
}

void Parser::errorExpected(TokenKind kind) {
    errorHere("'" + tokenSpelling(kind) + "' expected");
}

// Ends the parse at the current token: cur() is the end of file from now on. Always false.
bool Parser::stop(Nesting nesting) {
    if (!stopped_) {
        // Reported even while recovering from another error: it explains why the parse ends here.
        diags_.error(cur().pos,
                     nesting == Nesting::Statement ? "Statement too complex" : "Expression too complex");
        stopToken_ = Token{};
        stopToken_.pos = cur().pos;
        stopped_ = true;
        panic_ = true;
    }
    return false;
}

// Skips to where parsing can resume: past a `;` (true), or before a keyword that begins or ends a
// statement or declaration (false). Leaves the error state only at such a point, not at the end of file.
bool Parser::synchronize() {
    for (;;) {
        switch (cur().kind) {
        case TokenKind::Eof:
            return false;
        case TokenKind::Semicolon:
            advance();
            panic_ = false;
            return true;
        case TokenKind::Begin:
        case TokenKind::End:
        case TokenKind::If:
        case TokenKind::Case:
        case TokenKind::For:
        case TokenKind::While:
        case TokenKind::Repeat:
        case TokenKind::With:
        case TokenKind::Try:
        case TokenKind::Raise:
        case TokenKind::Until:
        case TokenKind::Except:
        case TokenKind::Finally:
        case TokenKind::Const:
        case TokenKind::Type:
        case TokenKind::Var:
        case TokenKind::Procedure:
        case TokenKind::Function:
            panic_ = false;
            return false;
        default:
            advance();
        }
    }
}

// After a stray token among declarations: skips to the next declaration section or `begin`.
void Parser::synchronizeToDeclaration() {
    for (;;) {
        switch (cur().kind) {
        case TokenKind::Eof:
            return;
        case TokenKind::Begin:
        case TokenKind::Const:
        case TokenKind::Type:
        case TokenKind::Var:
        case TokenKind::Procedure:
        case TokenKind::Function:
            panic_ = false;
            return;
        default:
            advance();
        }
    }
}

ast::ExprPtr Parser::placeholderExpr(SourcePos pos) {
    auto e = std::make_unique<ast::Expr>();
    e->kind = ast::ExprKind::Name;
    e->pos = pos;
    return e;
}

ast::StmtPtr Parser::emptyStmt(SourcePos pos) {
    auto s = std::make_unique<ast::Stmt>();
    s->kind = ast::StmtKind::Empty;
    s->pos = pos;
    return s;
}

ast::TypeExprPtr Parser::placeholderType(SourcePos pos) {
    auto t = std::make_unique<ast::TypeExpr>();
    t->kind = ast::TypeKind::Named;
    t->pos = pos;
    return t;
}

// --- entry points

// program -> [ 'program' ident [ '(' ident { ',' ident } ')' ] ';' ] [ 'uses' ident { ',' ident } ';' ]
//            block '.'
// Whatever follows the final `end.` is not read.
ast::Program Parser::program() {
    ast::Program prog;
    if (accept(TokenKind::Program)) {
        prog.name = expectIdent();
        if (accept(TokenKind::LParen)) {
            do
                expectIdent();
            while (accept(TokenKind::Comma));
            expect(TokenKind::RParen);
        }
        expect(TokenKind::Semicolon);
    }
    if (accept(TokenKind::Uses)) {
        do
            prog.uses.push_back(expectIdent());
        while (accept(TokenKind::Comma));
        expect(TokenKind::Semicolon);
    }
    block(prog.block);
    prog.endPos = prog.block.body.endPos;
    expect(TokenKind::Dot);
    return prog;
}

// declarationText -> routineHeading [ ';' ] { directive [ ';' ] } <end of text>
std::unique_ptr<ast::RoutineDecl> Parser::declarationText() {
    std::unique_ptr<ast::RoutineDecl> routine;
    if (check(TokenKind::Procedure) || check(TokenKind::Function)) {
        routine = routineHeading();
    } else {
        errorHere("Syntax error");
        routine = std::make_unique<ast::RoutineDecl>();
        routine->name.pos = cur().pos;
    }
    routine->isExternal = true;
    accept(TokenKind::Semicolon);
    directives(*routine, true);
    if (!check(TokenKind::Eof))
        errorExpected(TokenKind::Semicolon);
    return routine;
}

// typeText -> type [ ';' ] <end of text>
ast::TypeExprPtr Parser::typeText() {
    ast::TypeExprPtr t = type();
    accept(TokenKind::Semicolon);
    if (!check(TokenKind::Eof))
        errorExpected(TokenKind::Semicolon);
    return t;
}

// expressionText -> expression <end of text>
ast::ExprPtr Parser::expressionText() {
    ast::ExprPtr e = expression();
    if (!check(TokenKind::Eof))
        errorHere("Syntax error");
    return e;
}

} // namespace detail

namespace {

std::vector<SourceFile> singleFile(std::string_view text) {
    return {SourceFile{"", std::string(text)}};
}

} // namespace

ast::Program parseProgram(std::vector<SourceFile>& files, const NeedFileFn& needFile, Diagnostics& diags) {
    if (files.empty())
        files.push_back(SourceFile{});
    Lexer lexer(files, needFile, diags);
    detail::Parser parser(lexer, diags);
    return parser.program();
}

std::unique_ptr<ast::RoutineDecl> parseRoutineDeclaration(std::string_view text, Diagnostics& diags) {
    std::vector<SourceFile> files = singleFile(text);
    Lexer lexer(files, {}, diags);
    detail::Parser parser(lexer, diags);
    return parser.declarationText();
}

ast::TypeExprPtr parseTypeText(std::string_view text, Diagnostics& diags) {
    std::vector<SourceFile> files = singleFile(text);
    Lexer lexer(files, {}, diags);
    detail::Parser parser(lexer, diags);
    return parser.typeText();
}

ast::ExprPtr parseExpressionText(std::string_view text, Diagnostics& diags) {
    std::vector<SourceFile> files = singleFile(text);
    Lexer lexer(files, {}, diags);
    detail::Parser parser(lexer, diags);
    return parser.expressionText();
}

} // namespace novrix::engine
