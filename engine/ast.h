#pragma once
// The syntax tree handed from the parser to the compiler. It records what was written, with positions;
// it knows nothing of types or symbols. Names keep the spelling of the source (lookup is case-insensitive).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics.h"

namespace novrix::engine::ast {

struct Expr;
struct TypeExpr;
struct Stmt;
struct Block;
using ExprPtr = std::unique_ptr<Expr>;
using TypeExprPtr = std::unique_ptr<TypeExpr>;
using StmtPtr = std::unique_ptr<Stmt>;

struct Ident {
    std::string name;
    SourcePos pos;
};

// ---------------------------------------------------------------------------------------------------------
// Expressions

enum class ExprKind {
    IntLit,    // intValue (also $FF); text keeps the literal as written
    RealLit,   // realValue; text keeps the literal as written
    StrLit,    // strValue: 'abc', #13#10, 'a'#9'b' (a one-byte literal is still StrLit; the compiler decides Char)
    Nil,       // nil
    Name,      // name (an identifier: variable, constant, routine, type, True/False, ...)
    Member,    // left.name
    Index,     // left[args...]   (a[i, j] gives two args; a[i][j] gives Index of Index)
    Call,      // left(args...)   (a call or a type cast; the compiler decides)
    Unary,     // op left         (op: Minus, Plus, Not, AddrOf)
    Binary,    // left op right
    SetCons,   // [elems...] where an element is an expression or a Range node; also array constructors
    Range,     // left..right, only inside SetCons
    WriteArg,  // left:width[:decimals], only as an argument of a call (Write, WriteLn, Str)
    InitList,  // ( elems ) of a typed constant / initialised variable: array elements, or record fields
               // (each element of a record initialiser has `field` set)
};

enum class Op {
    None,
    // unary
    Minus, Plus, Not, AddrOf,
    // multiplicative
    Mul, RealDiv, IntDiv, Mod, And, Shl, Shr,
    // additive
    Add, Sub, Or, Xor,
    // relational
    Eq, Ne, Lt, Le, Gt, Ge, In, Is, As,
};

struct Expr {
    ExprKind kind{};
    SourcePos pos;          // first token of the expression; for Binary: the operator token
    Op op = Op::None;
    int64_t intValue = 0;
    double realValue = 0;
    std::string strValue;   // StrLit: decoded bytes
    std::string name;       // Name, Member
    Ident field;            // element of a record InitList: `X` of `(X: 1.0; ...)` (empty for array elements);
                            // apart from `name`, since the element itself may be a Name or Member
    std::string text;       // the literal's source text (IntLit, RealLit)
    SourcePos namePos;      // Member: position of the member name
    ExprPtr left, right;    // Unary/Binary/Member/Index/Call/Range/WriteArg operands
    ExprPtr width, decimals; // WriteArg
    std::vector<ExprPtr> args; // Index/Call arguments, SetCons and InitList elements
    bool parenthesized = false; // written inside ( ), so `(a)` is not a variable target of `var`
};

// ---------------------------------------------------------------------------------------------------------
// Type expressions

enum class TypeKind {
    Named,     // name (Integer, String, TFoo, ...)
    String,    // string[N]: shortString length in length (String without [N] is Named "String")
    Subrange,  // low..high (constant expressions)
    Enum,      // (a, b, c)  — enumerators in members (value expressions `a = 5` are not supported)
    Set,       // set of elem
    Array,     // array[indexes...] of elem  (each index is a TypeExpr: Subrange or Named ordinal type)
               // array of elem (no indexes): a dynamic array, or an open array parameter
               // `array of const` has elem == nullptr and isArrayOfConst == true
    Record,    // record fields end
};

struct FieldDecl {
    std::vector<Ident> names;
    TypeExprPtr type;
};

struct TypeExpr {
    TypeKind kind{};
    SourcePos pos;
    std::string name;                  // Named
    ExprPtr low, high;                 // Subrange
    int64_t length = 255;              // String[N]
    std::vector<Ident> members;        // Enum
    TypeExprPtr elem;                  // Set, Array
    std::vector<TypeExprPtr> indexes;  // Array
    bool isArrayOfConst = false;       // Array
    std::vector<FieldDecl> fields;     // Record
    bool packed = false;
};

// ---------------------------------------------------------------------------------------------------------
// Statements

enum class StmtKind {
    Empty,
    Compound,    // begin body end
    Assign,      // target := value
    Call,        // expr (a routine call, with or without arguments: `Foo;` is a Name expression)
    If,          // if cond then thenStmt [else elseStmt]
    Case,        // case selector of branches [else elseBody] end
    For,         // for var := from to|downto to do body
    ForIn,       // for var in collection do body
    While,       // while cond do body
    Repeat,      // repeat body until cond
    Break, Continue,
    Exit,        // exit [ (value) ]
    With,        // with withExprs do body
    TryExcept,   // try body except handlers [else elseBody] end   | try body except body2 end (no handlers)
    TryFinally,  // try body finally finallyBody end
    Raise,       // raise [value]  (value == nullptr: re-raise)
};

struct CaseLabel {
    ExprPtr low;
    ExprPtr high; // nullptr unless a range low..high
};

struct CaseBranch {
    std::vector<CaseLabel> labels;
    StmtPtr body;
};

struct ExceptHandler {
    Ident varName;      // empty name when written `on EClass do`
    Ident typeName;     // the exception class
    StmtPtr body;
};

struct Stmt {
    StmtKind kind{};
    SourcePos pos;                  // first token of the statement
    SourcePos endPos;               // Compound: position of `end`; Repeat: of `until`; Try*: of `end`
    ExprPtr target, value, cond;    // Assign (target, value), Call (value), If/While/Repeat (cond),
                                    // Case (value = selector), Exit (value, may be null), Raise (value)
    StmtPtr thenStmt, elseStmt;     // If
    std::vector<StmtPtr> body;      // Compound, Repeat, TryExcept/TryFinally (the try part), Case else part,
    std::vector<StmtPtr> body2;     // TryExcept: handler-less except part, or the bare `else` of handlers;
                                    // TryFinally: the finally part
    StmtPtr loopBody;               // For, ForIn, While, With
    std::vector<CaseBranch> branches; // Case
    bool hasCaseElse = false;       // Case: an else part was written (its statements are in body)
    Ident loopVar;                  // For, ForIn
    ExprPtr from, to;               // For; ForIn: from = collection
    bool downto = false;            // For
    std::vector<ExprPtr> withExprs; // With
    std::vector<ExceptHandler> handlers; // TryExcept with `on` handlers
    bool hasHandlers = false;       // TryExcept: `on ... do` form (body2 = the bare else part)
    bool hasExceptElse = false;     // TryExcept with handlers and an else part
};

// ---------------------------------------------------------------------------------------------------------
// Declarations

enum class ParamMode { Value, Var, Const, Out };

struct Param {
    std::vector<Ident> names;
    ParamMode mode = ParamMode::Value;
    TypeExprPtr type;     // nullptr for an untyped var/const parameter (not supported by the compiler)
    ExprPtr defaultValue; // nullptr when none
};

struct ConstDecl {
    Ident name;
    TypeExprPtr type;     // nullptr: an untyped constant
    ExprPtr value;        // an expression or (typed constants) an InitList
};

struct TypeDecl {
    Ident name;
    TypeExprPtr type;
};

struct VarDecl {
    std::vector<Ident> names;
    TypeExprPtr type;
    ExprPtr init;         // `var x: Integer = 5;` (only with one name); may be an InitList
};

struct RoutineDecl {
    bool isFunction = false;
    Ident name;
    std::vector<Param> params;
    TypeExprPtr resultType;                // functions
    bool isForward = false;
    bool isOverload = false;
    bool isExternal = false;               // `external` declaration (host-bound); no body
    std::vector<std::string> directives;   // other directives as written (stdcall, register, ...), ignored
    std::unique_ptr<Block> body;           // nullptr for forward/external declarations
    SourcePos endPos;                      // position of the `;` after the routine's `end`
};

enum class DeclKind { Const, Type, Var, Routine };

struct Decl {
    DeclKind kind{};
    SourcePos pos;
    ConstDecl constDecl;
    TypeDecl typeDecl;
    VarDecl varDecl;
    std::unique_ptr<RoutineDecl> routine;
};

struct Block {
    std::vector<Decl> decls;   // in source order
    Stmt body;                 // a Compound statement (the routine's or program's begin ... end)
};

struct Program {
    Ident name;                      // empty when no `program` heading
    std::vector<Ident> uses;
    Block block;
    SourcePos endPos;                // the final `end`
};

} // namespace novrix::engine::ast
