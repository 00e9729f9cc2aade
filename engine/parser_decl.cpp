// Declarations, routines and types.
#include "parser_impl.h"

#include <algorithm>
#include <array>

namespace novrix::engine::detail {

namespace {

std::string lowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c); });
    return s;
}

// Calling conventions and the like are accepted and kept as written; the compiler ignores them.
constexpr std::array<std::string_view, 9> kDirectives = {
    "forward", "overload", "external", "stdcall", "register", "cdecl", "pascal", "safecall", "inline"};

bool isDirective(const Token& t) {
    if (t.kind != TokenKind::Identifier)
        return false;
    const std::string word = lowerCase(t.text);
    return std::find(kDirectives.begin(), kDirectives.end(), word) != kDirectives.end();
}

} // namespace

// block -> { declSection } compoundStatement
void Parser::block(ast::Block& block) {
    declarations(block.decls);
    if (check(TokenKind::Begin)) {
        panic_ = false;
        compound(block.body);
        return;
    }
    errorExpected(TokenKind::Begin);
    block.body.kind = ast::StmtKind::Compound;
    block.body.pos = block.body.endPos = cur().pos;
}

// declSection -> constSection | typeSection | varSection | routineDecl   (any order, repeated)
void Parser::declarations(std::vector<ast::Decl>& decls) {
    for (;;) {
        switch (cur().kind) {
        case TokenKind::Const:
            panic_ = false;
            advance();
            constSection(decls);
            break;
        case TokenKind::Type:
            panic_ = false;
            advance();
            typeSection(decls);
            break;
        case TokenKind::Var:
            panic_ = false;
            advance();
            varSection(decls);
            break;
        case TokenKind::Procedure:
        case TokenKind::Function:
            panic_ = false;
            routine(decls);
            break;
        case TokenKind::Begin:
        case TokenKind::Eof:
            return;
        default:
            errorExpected(TokenKind::Begin);
            synchronizeToDeclaration();
        }
    }
}

// The `;` after a declaration; after an error, the point to go on from.
void Parser::endDeclaration() {
    if (!panic_ && accept(TokenKind::Semicolon))
        return;
    if (!panic_)
        errorExpected(TokenKind::Semicolon);
    synchronize();
}

// constSection -> 'const' constDecl { constDecl }
// constDecl -> ident [ ':' type ] '=' ( expression | initValue ) ';'
void Parser::constSection(std::vector<ast::Decl>& decls) {
    if (!check(TokenKind::Identifier))
        errorHere("Identifier expected");
    while (check(TokenKind::Identifier)) {
        ast::Decl d;
        d.kind = ast::DeclKind::Const;
        d.pos = cur().pos;
        d.constDecl.name = expectIdent();
        if (accept(TokenKind::Colon))
            d.constDecl.type = type();
        expect(TokenKind::Equal);
        const bool initList = d.constDecl.type && takesInitList(*d.constDecl.type);
        d.constDecl.value = initList ? initValue() : expression();
        decls.push_back(std::move(d));
        endDeclaration();
    }
}

// typeSection -> 'type' typeDecl { typeDecl }
// typeDecl -> ident '=' type ';'
void Parser::typeSection(std::vector<ast::Decl>& decls) {
    if (!check(TokenKind::Identifier))
        errorHere("Identifier expected");
    while (check(TokenKind::Identifier)) {
        ast::Decl d;
        d.kind = ast::DeclKind::Type;
        d.pos = cur().pos;
        d.typeDecl.name = expectIdent();
        expect(TokenKind::Equal);
        d.typeDecl.type = type();
        decls.push_back(std::move(d));
        endDeclaration();
    }
}

// varSection -> 'var' varDecl { varDecl }
// varDecl -> ident { ',' ident } ':' type [ '=' ( expression | initValue ) ] ';'   (one name when
// initialised)
void Parser::varSection(std::vector<ast::Decl>& decls) {
    if (!check(TokenKind::Identifier))
        errorHere("Identifier expected");
    // `x := 1` ends the section: a statement written where `begin` was forgotten.
    while (check(TokenKind::Identifier) && peek(1).kind != TokenKind::Assign) {
        ast::Decl d;
        d.kind = ast::DeclKind::Var;
        d.pos = cur().pos;
        do
            d.varDecl.names.push_back(expectIdent());
        while (accept(TokenKind::Comma));
        expect(TokenKind::Colon);
        d.varDecl.type = type();
        if (check(TokenKind::Equal)) {
            if (d.varDecl.names.size() > 1) {
                errorExpected(TokenKind::Semicolon);
            } else {
                advance();
                d.varDecl.init = takesInitList(*d.varDecl.type) ? initValue() : expression();
            }
        }
        decls.push_back(std::move(d));
        endDeclaration();
    }
}

// routineDecl -> routineHeading ';' { directive ';' } [ block ';' ]   (no block when forward or external)
void Parser::routine(std::vector<ast::Decl>& decls) {
    Depth depth(*this, Nesting::Statement);
    if (!depth.deeper())
        return;
    ast::Decl d;
    d.kind = ast::DeclKind::Routine;
    d.pos = cur().pos;
    d.routine = routineHeading();
    ast::RoutineDecl& r = *d.routine;
    expect(TokenKind::Semicolon);
    directives(r, false);
    if (!r.isForward && !r.isExternal) {
        r.body = std::make_unique<ast::Block>();
        block(*r.body);
        r.endPos = cur().pos;
        expect(TokenKind::Semicolon);
    }
    decls.push_back(std::move(d));
}

// routineHeading -> ( 'procedure' | 'function' ) ident [ '(' [ paramGroup { ';' paramGroup } ] ')' ]
//                   [ ':' type ]   (the result type of a function)
std::unique_ptr<ast::RoutineDecl> Parser::routineHeading() {
    auto r = std::make_unique<ast::RoutineDecl>();
    r->isFunction = check(TokenKind::Function);
    advance();
    r->name = expectIdent();
    if (accept(TokenKind::LParen)) {
        if (!check(TokenKind::RParen)) {
            do
                paramGroup(r->params);
            while (accept(TokenKind::Semicolon));
        }
        expect(TokenKind::RParen);
    }
    if (r->isFunction) {
        if (expect(TokenKind::Colon))
            r->resultType = type();
        else
            r->resultType = placeholderType(cur().pos);
    }
    return r;
}

// paramGroup -> [ 'var' | 'const' | 'out' ] ident { ',' ident } [ ':' type [ '=' expression ] ]
// The type may be left out only after var, const or out (an untyped parameter).
void Parser::paramGroup(std::vector<ast::Param>& params) {
    ast::Param p;
    if (accept(TokenKind::Var))
        p.mode = ast::ParamMode::Var;
    else if (accept(TokenKind::Const))
        p.mode = ast::ParamMode::Const;
    else if (checkWord("out") && peek(1).kind == TokenKind::Identifier) {
        advance();
        p.mode = ast::ParamMode::Out;
    }
    do
        p.names.push_back(expectIdent());
    while (accept(TokenKind::Comma));
    if (accept(TokenKind::Colon)) {
        p.type = type();
        if (accept(TokenKind::Equal))
            p.defaultValue = expression();
    } else if (p.mode == ast::ParamMode::Value) {
        errorExpected(TokenKind::Colon);
        p.type = placeholderType(cur().pos);
    }
    params.push_back(std::move(p));
}

// directive -> 'forward' | 'overload' | 'external' | 'stdcall' | 'register' | 'cdecl' | ...
// In a script each is followed by ';'; in a host declaration text the ';' may be left out.
void Parser::directives(ast::RoutineDecl& routine, bool declarationText) {
    while (isDirective(cur())) {
        const Token t = take();
        const std::string word = lowerCase(t.text);
        if (word == "forward")
            routine.isForward = true;
        else if (word == "overload")
            routine.isOverload = true;
        else if (word == "external")
            routine.isExternal = true;
        else
            routine.directives.push_back(t.text);
        if (declarationText)
            accept(TokenKind::Semicolon);
        else
            expect(TokenKind::Semicolon);
    }
}

// Array and record types take a parenthesised initialiser, and so may a named type (the compiler knows
// whether it names an array or a record).
bool Parser::takesInitList(const ast::TypeExpr& type) {
    return type.kind == ast::TypeKind::Array || type.kind == ast::TypeKind::Record ||
           type.kind == ast::TypeKind::Named;
}

// type -> simpleType | 'string' '[' integer ']' | enumType | 'set' 'of' type
//       | [ 'packed' ] ( arrayType | recordType )
ast::TypeExprPtr Parser::type() {
    Depth depth(*this, Nesting::Expression);
    if (!depth.deeper())
        return placeholderType(cur().pos);
    const SourcePos pos = cur().pos;
    switch (cur().kind) {
    case TokenKind::Packed: {
        advance();
        if (check(TokenKind::Array))
            return arrayType(true);
        if (check(TokenKind::Record))
            return recordType(true);
        errorHere("Syntax error");
        return placeholderType(pos);
    }
    case TokenKind::Array:
        return arrayType(false);
    case TokenKind::Record:
        return recordType(false);
    case TokenKind::Set: {
        advance();
        auto t = std::make_unique<ast::TypeExpr>();
        t->kind = ast::TypeKind::Set;
        t->pos = pos;
        expect(TokenKind::Of);
        t->elem = type();
        return t;
    }
    case TokenKind::LParen:
        return enumType();
    case TokenKind::Identifier:
        if (checkWord("string") && peek(1).kind == TokenKind::LBracket) {
            advance();
            advance();
            auto t = std::make_unique<ast::TypeExpr>();
            t->kind = ast::TypeKind::String;
            t->pos = pos;
            if (check(TokenKind::IntLit))
                t->length = take().i;
            else
                errorHere("Syntax error");
            expect(TokenKind::RBracket);
            return t;
        }
        return simpleType();
    case TokenKind::IntLit:
    case TokenKind::StrLit:
    case TokenKind::Minus:
    case TokenKind::Plus:
        return simpleType();
    default:
        errorHere("Identifier expected");
        return placeholderType(pos);
    }
}

// simpleType -> typeName | constExpression '..' constExpression
// The bounds stop before relational operators, so `Integer = 5` in a typed constant ends the type.
ast::TypeExprPtr Parser::simpleType() {
    const SourcePos pos = cur().pos;
    ast::ExprPtr low = simpleExpression();
    auto t = std::make_unique<ast::TypeExpr>();
    t->pos = pos;
    if (accept(TokenKind::DotDot)) {
        t->kind = ast::TypeKind::Subrange;
        t->low = std::move(low);
        t->high = simpleExpression();
        return t;
    }
    t->kind = ast::TypeKind::Named;
    if (low->kind == ast::ExprKind::Name && !low->parenthesized)
        t->name = low->name;
    else
        errorExpected(TokenKind::DotDot);
    return t;
}

// arrayType -> 'array' [ '[' type { ',' type } ']' ] 'of' ( type | 'const' )
ast::TypeExprPtr Parser::arrayType(bool packed) {
    auto t = std::make_unique<ast::TypeExpr>();
    t->kind = ast::TypeKind::Array;
    t->pos = cur().pos;
    t->packed = packed;
    advance();
    if (accept(TokenKind::LBracket)) {
        do
            t->indexes.push_back(type());
        while (accept(TokenKind::Comma));
        expect(TokenKind::RBracket);
    }
    expect(TokenKind::Of);
    if (t->indexes.empty() && accept(TokenKind::Const))
        t->isArrayOfConst = true;
    else
        t->elem = type();
    return t;
}

// recordType -> 'record' [ fieldDecl { ';' fieldDecl } [ ';' ] ] 'end'
// fieldDecl -> ident { ',' ident } ':' type
ast::TypeExprPtr Parser::recordType(bool packed) {
    auto t = std::make_unique<ast::TypeExpr>();
    t->kind = ast::TypeKind::Record;
    t->pos = cur().pos;
    t->packed = packed;
    advance();
    while (check(TokenKind::Identifier)) {
        ast::FieldDecl f;
        do
            f.names.push_back(expectIdent());
        while (accept(TokenKind::Comma));
        expect(TokenKind::Colon);
        f.type = type();
        t->fields.push_back(std::move(f));
        if (accept(TokenKind::Semicolon)) {
            panic_ = false;
            continue;
        }
        if (check(TokenKind::End))
            break;
        if (!panic_)
            errorExpected(TokenKind::Semicolon);
        if (!synchronize())
            break;
    }
    expect(TokenKind::End);
    return t;
}

// enumType -> '(' ident { ',' ident } ')'
ast::TypeExprPtr Parser::enumType() {
    auto t = std::make_unique<ast::TypeExpr>();
    t->kind = ast::TypeKind::Enum;
    t->pos = cur().pos;
    advance();
    do
        t->members.push_back(expectIdent());
    while (accept(TokenKind::Comma));
    expect(TokenKind::RParen);
    return t;
}

} // namespace novrix::engine::detail
