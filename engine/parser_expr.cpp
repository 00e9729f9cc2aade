// Expressions and the initialisers of typed constants.
#include "parser_impl.h"

namespace novrix::engine::detail {

namespace {

// Binary operators by precedence, lowest first (Delphi's levels 4, 3 and 2; the unary operators of
// level 1 are handled by unary()).
struct BinaryOperator {
    TokenKind token;
    ast::Op op;
    int precedence;
};

// clang-format off
constexpr BinaryOperator kBinaryOperators[] = {
    {TokenKind::Equal, ast::Op::Eq, 1}, {TokenKind::NotEqual, ast::Op::Ne, 1}, {TokenKind::Less, ast::Op::Lt, 1},
    {TokenKind::LessEqual, ast::Op::Le, 1}, {TokenKind::Greater, ast::Op::Gt, 1},
    {TokenKind::GreaterEqual, ast::Op::Ge, 1}, {TokenKind::In, ast::Op::In, 1}, {TokenKind::Is, ast::Op::Is, 1},
    {TokenKind::As, ast::Op::As, 1},

    {TokenKind::Plus, ast::Op::Add, 2}, {TokenKind::Minus, ast::Op::Sub, 2}, {TokenKind::Or, ast::Op::Or, 2},
    {TokenKind::Xor, ast::Op::Xor, 2},

    {TokenKind::Star, ast::Op::Mul, 3}, {TokenKind::Slash, ast::Op::RealDiv, 3}, {TokenKind::Div, ast::Op::IntDiv, 3},
    {TokenKind::Mod, ast::Op::Mod, 3}, {TokenKind::And, ast::Op::And, 3}, {TokenKind::Shl, ast::Op::Shl, 3},
    {TokenKind::Shr, ast::Op::Shr, 3},
};
// clang-format on

constexpr int kRelational = 1;
constexpr int kAdditive = 2;

const BinaryOperator* binaryOperator(TokenKind kind) {
    for (const BinaryOperator& b : kBinaryOperators)
        if (b.token == kind)
            return &b;
    return nullptr;
}

ast::ExprPtr newExpr(ast::ExprKind kind, SourcePos pos) {
    auto e = std::make_unique<ast::Expr>();
    e->kind = kind;
    e->pos = pos;
    return e;
}

bool isUnnamedSingleton(const ast::Expr& e) {
    return e.kind == ast::ExprKind::InitList && e.args.size() == 1 && e.args[0]->field.name.empty();
}

} // namespace

bool Parser::canStartExpression() {
    switch (cur().kind) {
    case TokenKind::IntLit:
    case TokenKind::RealLit:
    case TokenKind::StrLit:
    case TokenKind::Identifier:
    case TokenKind::Nil:
    case TokenKind::LParen:
    case TokenKind::LBracket:
    case TokenKind::Not:
    case TokenKind::Minus:
    case TokenKind::Plus:
    case TokenKind::At:
        return true;
    default:
        return false;
    }
}

// expression -> simpleExpression { relOp simpleExpression }
ast::ExprPtr Parser::expression() {
    return binary(kRelational);
}

// simpleExpression -> term { addOp term }        term -> factor { mulOp factor }
ast::ExprPtr Parser::simpleExpression() {
    return binary(kAdditive);
}

ast::ExprPtr Parser::binary(int minPrecedence) {
    Depth depth(*this, Nesting::Expression);
    if (!depth.deeper())
        return placeholderExpr(cur().pos);
    return binaryRest(unary(), minPrecedence, depth);
}

// Left-associative: the right operand only takes operators that bind tighter. Every operator of a chain
// counts as a level, as the tree grows one level deeper with it.
ast::ExprPtr Parser::binaryRest(ast::ExprPtr left, int minPrecedence, Depth& depth) {
    for (;;) {
        const BinaryOperator* op = binaryOperator(cur().kind);
        if (!op || op->precedence < minPrecedence)
            return left;
        if (!depth.deeper())
            return left;
        auto e = newExpr(ast::ExprKind::Binary, take().pos);
        e->op = op->op;
        e->left = std::move(left);
        e->right = binary(op->precedence + 1);
        left = std::move(e);
    }
}

// factor -> ( 'not' | '-' | '+' | '@' ) factor | primary { postfix }
ast::ExprPtr Parser::unary() {
    ast::Op op = ast::Op::None;
    switch (cur().kind) {
    case TokenKind::Not:
        op = ast::Op::Not;
        break;
    case TokenKind::Minus:
        op = ast::Op::Minus;
        break;
    case TokenKind::Plus:
        op = ast::Op::Plus;
        break;
    case TokenKind::At:
        op = ast::Op::AddrOf;
        break;
    default:
        break;
    }
    Depth depth(*this, Nesting::Expression);
    if (op == ast::Op::None)
        return postfix(primary(), depth);
    if (!depth.deeper())
        return placeholderExpr(cur().pos);
    auto e = newExpr(ast::ExprKind::Unary, take().pos);
    e->op = op;
    e->left = unary();
    return e;
}

// primary -> integer | real | string | 'nil' | ident | '(' expression ')' | setConstructor
ast::ExprPtr Parser::primary() {
    const Token& t = cur();
    switch (t.kind) {
    case TokenKind::IntLit: {
        auto e = newExpr(ast::ExprKind::IntLit, t.pos);
        e->intValue = t.i;
        e->text = t.text;
        advance();
        return e;
    }
    case TokenKind::RealLit: {
        auto e = newExpr(ast::ExprKind::RealLit, t.pos);
        e->realValue = t.d;
        e->text = t.text;
        advance();
        return e;
    }
    case TokenKind::StrLit: {
        auto e = newExpr(ast::ExprKind::StrLit, t.pos);
        e->strValue = t.str;
        e->text = t.text;
        advance();
        return e;
    }
    case TokenKind::Nil: {
        auto e = newExpr(ast::ExprKind::Nil, t.pos);
        advance();
        return e;
    }
    case TokenKind::Identifier: {
        auto e = newExpr(ast::ExprKind::Name, t.pos);
        e->name = t.text;
        advance();
        return e;
    }
    case TokenKind::LParen: {
        advance();
        ast::ExprPtr e = expression();
        e->parenthesized = true;
        expect(TokenKind::RParen);
        return e;
    }
    case TokenKind::LBracket:
        return setConstructor();
    default:
        errorHere("Syntax error");
        return placeholderExpr(t.pos);
    }
}

// postfix -> '.' ident | '[' expression { ',' expression } ']' | '(' [ callArgument { ',' callArgument } ]
// ')'
ast::ExprPtr Parser::postfix(ast::ExprPtr expr, Depth& depth) {
    for (;;) {
        ast::ExprKind kind;
        switch (cur().kind) {
        case TokenKind::Dot:
            kind = ast::ExprKind::Member;
            break;
        case TokenKind::LBracket:
            kind = ast::ExprKind::Index;
            break;
        case TokenKind::LParen:
            kind = ast::ExprKind::Call;
            break;
        default:
            return expr;
        }
        if (!depth.deeper())
            return expr;
        auto e = newExpr(kind, expr->pos);
        e->left = std::move(expr);
        advance();
        if (kind == ast::ExprKind::Member) {
            ast::Ident member = expectIdent();
            e->name = std::move(member.name);
            e->namePos = member.pos;
        } else if (kind == ast::ExprKind::Index) {
            do
                e->args.push_back(expression());
            while (accept(TokenKind::Comma));
            expect(TokenKind::RBracket);
        } else {
            if (!check(TokenKind::RParen)) {
                do
                    e->args.push_back(callArgument());
                while (accept(TokenKind::Comma));
            }
            expect(TokenKind::RParen);
        }
        expr = std::move(e);
    }
}

// callArgument -> expression [ ':' expression [ ':' expression ] ]   (the width forms of Write)
ast::ExprPtr Parser::callArgument() {
    ast::ExprPtr value = expression();
    if (!check(TokenKind::Colon))
        return value;
    auto e = newExpr(ast::ExprKind::WriteArg, value->pos);
    e->left = std::move(value);
    advance();
    e->width = expression();
    if (accept(TokenKind::Colon))
        e->decimals = expression();
    return e;
}

// setConstructor -> '[' [ setElement { ',' setElement } ] ']'
// setElement -> expression [ '..' expression ]
ast::ExprPtr Parser::setConstructor() {
    auto e = newExpr(ast::ExprKind::SetCons, cur().pos);
    advance();
    if (!check(TokenKind::RBracket)) {
        do {
            ast::ExprPtr element = expression();
            if (check(TokenKind::DotDot)) {
                auto range = newExpr(ast::ExprKind::Range, element->pos);
                advance();
                range->left = std::move(element);
                range->right = expression();
                element = std::move(range);
            }
            e->args.push_back(std::move(element));
        } while (accept(TokenKind::Comma));
    }
    expect(TokenKind::RBracket);
    return e;
}

// initValue -> '(' initElements ')' | expression
// initElements -> ident ':' initValue { ';' ident ':' initValue } [ ';' ]      (a record)
//               | initValue { ',' initValue }                                   (an array)
// `(x)` stays a one-element InitList for the compiler to read as a scalar, unless an operator follows:
// `(1 + 2) * 3` is an expression whose first operand was parenthesised.
ast::ExprPtr Parser::initValue() {
    if (!check(TokenKind::LParen))
        return expression();
    Depth depth(*this, Nesting::Expression);
    if (!depth.deeper())
        return placeholderExpr(cur().pos);
    auto list = newExpr(ast::ExprKind::InitList, cur().pos);
    advance();
    if (check(TokenKind::Identifier) && peek(1).kind == TokenKind::Colon) {
        do {
            if (check(TokenKind::RParen))
                break;
            ast::Ident field = expectIdent();
            expect(TokenKind::Colon);
            ast::ExprPtr value = initValue();
            value->field = std::move(field);
            list->args.push_back(std::move(value));
        } while (accept(TokenKind::Semicolon));
    } else {
        do
            list->args.push_back(initValue());
        while (accept(TokenKind::Comma));
    }
    expect(TokenKind::RParen);

    const BinaryOperator* op = binaryOperator(cur().kind);
    const bool continues = op || check(TokenKind::Dot) || check(TokenKind::LBracket);
    if (!continues || !isUnnamedSingleton(*list))
        return list;
    ast::ExprPtr operand = std::move(list->args[0]);
    while (isUnnamedSingleton(*operand))
        operand = std::move(operand->args[0]);
    operand->parenthesized = true;
    return binaryRest(postfix(std::move(operand), depth), kRelational, depth);
}

} // namespace novrix::engine::detail
