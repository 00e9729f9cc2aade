// Statements.
#include "parser_impl.h"

namespace novrix::engine::detail {

namespace {

bool startsStatement(TokenKind kind) {
    switch (kind) {
    case TokenKind::Identifier:
    case TokenKind::Begin:
    case TokenKind::If:
    case TokenKind::Case:
    case TokenKind::For:
    case TokenKind::While:
    case TokenKind::Repeat:
    case TokenKind::With:
    case TokenKind::Try:
    case TokenKind::Raise:
        return true;
    default:
        return false;
    }
}

// Tokens that end a statement list. Declaration keywords end it too: a missing `end` before the next
// routine is then reported once, and the declaration after it is parsed as one.
bool endsStatementList(TokenKind kind) {
    switch (kind) {
    case TokenKind::End:
    case TokenKind::Until:
    case TokenKind::Except:
    case TokenKind::Finally:
    case TokenKind::Eof:
    case TokenKind::Const:
    case TokenKind::Type:
    case TokenKind::Var:
    case TokenKind::Procedure:
    case TokenKind::Function:
        return true;
    default:
        return false;
    }
}

ast::StmtPtr newStmt(ast::StmtKind kind, SourcePos pos) {
    auto s = std::make_unique<ast::Stmt>();
    s->kind = kind;
    s->pos = pos;
    return s;
}

} // namespace

// statement -> [ compoundStatement | ifStatement | caseStatement | forStatement | whileStatement
//              | repeatStatement | withStatement | tryStatement | raiseStatement | simpleStatement ]
// An empty statement consumes nothing.
ast::StmtPtr Parser::statement() {
    Depth depth(*this, Nesting::Statement);
    if (!depth.deeper())
        return emptyStmt(cur().pos);
    switch (cur().kind) {
    case TokenKind::Begin: {
        auto s = std::make_unique<ast::Stmt>();
        compound(*s);
        return s;
    }
    case TokenKind::If:
        return ifStatement();
    case TokenKind::Case:
        return caseStatement();
    case TokenKind::For:
        return forStatement();
    case TokenKind::While:
        return whileStatement();
    case TokenKind::Repeat:
        return repeatStatement();
    case TokenKind::With:
        return withStatement();
    case TokenKind::Try:
        return tryStatement();
    case TokenKind::Raise:
        return raiseStatement();
    case TokenKind::Identifier:
        return simpleStatement();
    default:
        return emptyStmt(cur().pos);
    }
}

// statementList -> statement { ';' statement }
// `closing` is the token the enclosing construct expects after the list (END, UNTIL, EXCEPT).
void Parser::statementList(std::vector<ast::StmtPtr>& out, TokenKind closing) {
    for (;;) {
        const size_t mark = consumed_;
        const TokenKind k = cur().kind;
        if (startsStatement(k) || k == TokenKind::Semicolon || endsStatementList(k)) {
            out.push_back(statement());
        } else {
            if (k == TokenKind::Else && previous_ == TokenKind::Semicolon)
                errorHere("';' not allowed before 'ELSE'");
            else
                errorExpected(closing);
            out.push_back(emptyStmt(cur().pos));
        }
        if (accept(TokenKind::Semicolon)) {
            panic_ = false;
            continue;
        }
        if (endsStatementList(cur().kind))
            return;
        if (!panic_)
            errorExpected(TokenKind::Semicolon);
        if (synchronize())
            continue;
        if (consumed_ == mark)
            advance();
    }
}

// compoundStatement -> 'begin' statementList 'end'
void Parser::compound(ast::Stmt& stmt) {
    stmt.kind = ast::StmtKind::Compound;
    stmt.pos = cur().pos;
    advance();
    statementList(stmt.body, TokenKind::End);
    stmt.endPos = cur().pos;
    expect(TokenKind::End);
}

// simpleStatement -> designator [ ':=' expression ] | exitStatement | 'break' | 'continue'
// A designator alone is a call: `Foo;`, `Foo(1);`, `A.B(2);`.
ast::StmtPtr Parser::simpleStatement() {
    const TokenKind next = peek(1).kind;
    const bool plainWord = next != TokenKind::Assign && next != TokenKind::Dot && next != TokenKind::LBracket;
    if (plainWord && checkWord("exit"))
        return exitStatement();
    if (plainWord && next != TokenKind::LParen) {
        if (checkWord("break"))
            return newStmt(ast::StmtKind::Break, take().pos);
        if (checkWord("continue"))
            return newStmt(ast::StmtKind::Continue, take().pos);
    }
    auto s = newStmt(ast::StmtKind::Call, cur().pos);
    Depth depth(*this, Nesting::Expression);
    ast::ExprPtr target = postfix(primary(), depth);
    if (accept(TokenKind::Assign)) {
        s->kind = ast::StmtKind::Assign;
        s->target = std::move(target);
        s->value = expression();
        return s;
    }
    // `x = 1` where `x := 1` was meant.
    if (check(TokenKind::Equal))
        errorExpected(TokenKind::Assign);
    s->value = std::move(target);
    return s;
}

// exitStatement -> 'exit' [ '(' [ expression ] ')' ]
ast::StmtPtr Parser::exitStatement() {
    auto s = newStmt(ast::StmtKind::Exit, take().pos);
    if (accept(TokenKind::LParen)) {
        if (!check(TokenKind::RParen))
            s->value = expression();
        expect(TokenKind::RParen);
    }
    return s;
}

// ifStatement -> 'if' expression 'then' statement [ 'else' statement ]
ast::StmtPtr Parser::ifStatement() {
    auto s = newStmt(ast::StmtKind::If, take().pos);
    s->cond = expression();
    expect(TokenKind::Then);
    s->thenStmt = statement();
    if (accept(TokenKind::Else))
        s->elseStmt = statement();
    return s;
}

// caseStatement -> 'case' expression 'of' caseBranch { ';' caseBranch } [ ';' ]
//                  [ ( 'else' | 'otherwise' ) statementList ] 'end'
// caseBranch -> caseLabel { ',' caseLabel } ':' statement
// caseLabel -> expression [ '..' expression ]
ast::StmtPtr Parser::caseStatement() {
    auto s = newStmt(ast::StmtKind::Case, take().pos);
    s->value = expression();
    expect(TokenKind::Of);
    const auto atElse = [this] { return check(TokenKind::Else) || checkWord("otherwise"); };
    for (;;) {
        if (check(TokenKind::End) || check(TokenKind::Eof) || atElse())
            break;
        ast::CaseBranch branch;
        do {
            ast::CaseLabel label;
            label.low = expression();
            if (accept(TokenKind::DotDot))
                label.high = expression();
            branch.labels.push_back(std::move(label));
        } while (accept(TokenKind::Comma));
        expect(TokenKind::Colon);
        branch.body = statement();
        s->branches.push_back(std::move(branch));
        if (accept(TokenKind::Semicolon)) {
            panic_ = false;
            continue;
        }
        if (check(TokenKind::End) || atElse())
            break;
        if (!panic_)
            errorExpected(TokenKind::Semicolon);
        if (!synchronize())
            break;
    }
    if (atElse()) {
        advance();
        s->hasCaseElse = true;
        statementList(s->body, TokenKind::End);
    }
    s->endPos = cur().pos;
    expect(TokenKind::End);
    return s;
}

// forStatement -> 'for' ident ( ':=' expression ( 'to' | 'downto' ) expression | 'in' expression )
//                 'do' statement
ast::StmtPtr Parser::forStatement() {
    auto s = newStmt(ast::StmtKind::For, take().pos);
    s->loopVar = expectIdent();
    if (accept(TokenKind::In)) {
        s->kind = ast::StmtKind::ForIn;
        s->from = expression();
    } else {
        // `for i = 1 to ...`: reported, then read on as if `:=` were there.
        if (!accept(TokenKind::Assign)) {
            errorExpected(TokenKind::Assign);
            accept(TokenKind::Equal);
        }
        s->from = expression();
        if (accept(TokenKind::Downto))
            s->downto = true;
        else
            expect(TokenKind::To);
        s->to = expression();
    }
    expect(TokenKind::Do);
    s->loopBody = statement();
    return s;
}

// whileStatement -> 'while' expression 'do' statement
ast::StmtPtr Parser::whileStatement() {
    auto s = newStmt(ast::StmtKind::While, take().pos);
    s->cond = expression();
    expect(TokenKind::Do);
    s->loopBody = statement();
    return s;
}

// repeatStatement -> 'repeat' statementList 'until' expression
ast::StmtPtr Parser::repeatStatement() {
    auto s = newStmt(ast::StmtKind::Repeat, take().pos);
    statementList(s->body, TokenKind::Until);
    s->endPos = cur().pos;
    if (expect(TokenKind::Until))
        s->cond = expression();
    else
        s->cond = placeholderExpr(cur().pos);
    return s;
}

// withStatement -> 'with' expression { ',' expression } 'do' statement
ast::StmtPtr Parser::withStatement() {
    auto s = newStmt(ast::StmtKind::With, take().pos);
    do
        s->withExprs.push_back(expression());
    while (accept(TokenKind::Comma));
    expect(TokenKind::Do);
    s->loopBody = statement();
    return s;
}

// tryStatement -> 'try' statementList ( 'except' exceptPart | 'finally' statementList ) 'end'
// exceptPart -> handler { ';' handler } [ ';' ] [ 'else' statementList ] | statementList
ast::StmtPtr Parser::tryStatement() {
    auto s = newStmt(ast::StmtKind::TryExcept, take().pos);
    statementList(s->body, TokenKind::Except);
    if (accept(TokenKind::Finally)) {
        s->kind = ast::StmtKind::TryFinally;
        statementList(s->body2, TokenKind::End);
    } else if (accept(TokenKind::Except)) {
        if (atHandler())
            exceptHandlers(*s);
        else
            statementList(s->body2, TokenKind::End);
    } else {
        errorExpected(TokenKind::Except);
    }
    s->endPos = cur().pos;
    expect(TokenKind::End);
    return s;
}

bool Parser::atHandler() {
    return checkWord("on") && peek(1).kind == TokenKind::Identifier;
}

// handler -> 'on' [ ident ':' ] ident 'do' statement
void Parser::exceptHandlers(ast::Stmt& stmt) {
    stmt.hasHandlers = true;
    while (atHandler()) {
        ast::ExceptHandler h;
        advance();
        const ast::Ident first = expectIdent();
        if (accept(TokenKind::Colon)) {
            h.varName = first;
            h.typeName = expectIdent();
        } else {
            h.typeName = first;
        }
        expect(TokenKind::Do);
        h.body = statement();
        stmt.handlers.push_back(std::move(h));
        if (accept(TokenKind::Semicolon)) {
            panic_ = false;
            continue;
        }
        if (check(TokenKind::Else) || check(TokenKind::End))
            break;
        if (!panic_)
            errorExpected(TokenKind::Semicolon);
        if (!synchronize())
            break;
    }
    if (accept(TokenKind::Else)) {
        stmt.hasExceptElse = true;
        statementList(stmt.body2, TokenKind::End);
    }
}

// raiseStatement -> 'raise' [ expression ]
ast::StmtPtr Parser::raiseStatement() {
    auto s = newStmt(ast::StmtKind::Raise, take().pos);
    if (canStartExpression())
        s->value = expression();
    return s;
}

} // namespace novrix::engine::detail
