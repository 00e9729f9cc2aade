#pragma once
// The tokens of the script language. One list below yields the enum, the names used by the token dump and
// the spelling used in "'X' expected" messages; keywords also carry their lower-case source spelling.
#include "diagnostics.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace novrix::engine {

// TOKEN(Name, spelling): spelling is what an error message quotes.
#define NOVRIX_TOKEN_LIST(TOKEN)                                                                             \
    TOKEN(Eof, "end of file")                                                                                \
    TOKEN(Invalid, "invalid token") /* a lexical error, already reported */                                  \
    TOKEN(Identifier, "identifier")                                                                          \
    TOKEN(IntLit, "integer")                                                                                 \
    TOKEN(RealLit, "real")                                                                                   \
    TOKEN(StrLit, "string")                                                                                  \
    TOKEN(Plus, "+")                                                                                         \
    TOKEN(Minus, "-")                                                                                        \
    TOKEN(Star, "*")                                                                                         \
    TOKEN(Slash, "/")                                                                                        \
    TOKEN(Equal, "=")                                                                                        \
    TOKEN(NotEqual, "<>")                                                                                    \
    TOKEN(Less, "<")                                                                                         \
    TOKEN(LessEqual, "<=")                                                                                   \
    TOKEN(Greater, ">")                                                                                      \
    TOKEN(GreaterEqual, ">=")                                                                                \
    TOKEN(LParen, "(")                                                                                       \
    TOKEN(RParen, ")")                                                                                       \
    TOKEN(LBracket, "[")                                                                                     \
    TOKEN(RBracket, "]")                                                                                     \
    TOKEN(Dot, ".")                                                                                          \
    TOKEN(DotDot, "..")                                                                                      \
    TOKEN(Comma, ",")                                                                                        \
    TOKEN(Semicolon, ";")                                                                                    \
    TOKEN(Colon, ":")                                                                                        \
    TOKEN(Assign, ":=")                                                                                      \
    TOKEN(At, "@")

// KEYWORD(Name, lower-case spelling). Words the grammar only needs in one place (on, out, otherwise,
// forward, exit, break, continue, string, ...) stay identifiers, so scripts may still use them as names.
#define NOVRIX_KEYWORD_LIST(KEYWORD)                                                                         \
    KEYWORD(And, "and")                                                                                      \
    KEYWORD(Array, "array")                                                                                  \
    KEYWORD(As, "as")                                                                                        \
    KEYWORD(Begin, "begin")                                                                                  \
    KEYWORD(Case, "case")                                                                                    \
    KEYWORD(Const, "const")                                                                                  \
    KEYWORD(Div, "div")                                                                                      \
    KEYWORD(Do, "do")                                                                                        \
    KEYWORD(Downto, "downto")                                                                                \
    KEYWORD(Else, "else")                                                                                    \
    KEYWORD(End, "end")                                                                                      \
    KEYWORD(Except, "except")                                                                                \
    KEYWORD(Finally, "finally")                                                                              \
    KEYWORD(For, "for")                                                                                      \
    KEYWORD(Function, "function")                                                                            \
    KEYWORD(If, "if")                                                                                        \
    KEYWORD(In, "in")                                                                                        \
    KEYWORD(Is, "is")                                                                                        \
    KEYWORD(Mod, "mod")                                                                                      \
    KEYWORD(Nil, "nil")                                                                                      \
    KEYWORD(Not, "not")                                                                                      \
    KEYWORD(Of, "of")                                                                                        \
    KEYWORD(Or, "or")                                                                                        \
    KEYWORD(Packed, "packed")                                                                                \
    KEYWORD(Procedure, "procedure")                                                                          \
    KEYWORD(Program, "program")                                                                              \
    KEYWORD(Raise, "raise")                                                                                  \
    KEYWORD(Record, "record")                                                                                \
    KEYWORD(Repeat, "repeat")                                                                                \
    KEYWORD(Set, "set")                                                                                      \
    KEYWORD(Shl, "shl")                                                                                      \
    KEYWORD(Shr, "shr")                                                                                      \
    KEYWORD(Then, "then")                                                                                    \
    KEYWORD(To, "to")                                                                                        \
    KEYWORD(Try, "try")                                                                                      \
    KEYWORD(Type, "type")                                                                                    \
    KEYWORD(Until, "until")                                                                                  \
    KEYWORD(Uses, "uses")                                                                                    \
    KEYWORD(Var, "var")                                                                                      \
    KEYWORD(While, "while")                                                                                  \
    KEYWORD(With, "with")                                                                                    \
    KEYWORD(Xor, "xor")

enum class TokenKind {
#define NOVRIX_TOKEN_ENUM(name, spelling) name,
    NOVRIX_TOKEN_LIST(NOVRIX_TOKEN_ENUM) NOVRIX_KEYWORD_LIST(NOVRIX_TOKEN_ENUM)
#undef NOVRIX_TOKEN_ENUM
};

struct Token {
    TokenKind kind = TokenKind::Eof;
    SourcePos pos;
    std::string text; // as written
    std::string str;  // StrLit: the decoded bytes
    int64_t i = 0;    // IntLit
    double d = 0;     // RealLit
};

// "Identifier", "Semicolon", "Begin", ... (the enumerator's name).
std::string_view tokenKindName(TokenKind kind);
// How a message names the token: ";" for punctuation, "BEGIN" for keywords.
std::string tokenSpelling(TokenKind kind);
bool isKeyword(TokenKind kind);
// The keyword spelled `word` in any case, or TokenKind::Identifier.
TokenKind keywordKind(std::string_view word);

} // namespace novrix::engine
