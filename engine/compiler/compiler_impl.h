#pragma once
// The compiler's working state, shared by its source files (declarations, expressions, statements,
// built-ins, constants).
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "compiler.h"
#include "engine/native_call.h"
#include "emitter.h"
#include "symbols.h"
#include "types.h"

namespace novrix::engine {

// Where a value lives.
struct Loc {
    enum class Kind {
        None,
        Frame,       // R[slot]
        Global,      // G[slot] seen from a routine
        Outer,       // R'[slot] of the frame `hops` static links up
        Ptr,         // P[off] where P = R[slot].p
        FrameElem,   // R[slot + R[idx] - low], one-cell plain elements, checked against len
        DynElem,     // dynarray(R[slot])[R[idx]], one-cell plain elements
        PtrElem,     // P[R[idx] - low] where P = R[slot].p, one-cell plain elements, checked against len
        StrChar,     // character R[idx] of the string whose cell address is in R[slot]
        Host,        // the host's string variable number `slot`
    };
    Kind kind = Kind::None;
    const Type* type = nullptr;
    uint32_t slot = 0;
    uint32_t idx = 0;
    int64_t low = 0;
    uint32_t len = 0;
    uint32_t off = 0;
    int hops = 0;
    bool readOnly = false;
    VarInfo* var = nullptr; // the variable, when the place is a whole variable
};

// The result of compiling an expression.
struct Val {
    const Type* type = nullptr;
    Reg reg;
    bool owned = false;     // reg is a temporary holding its own reference (managed types)
};

struct LoopContext {
    Label* breakLabel;
    Label* continueLabel;
    size_t finallyDepth;
};

struct FinallyContext {
    uint32_t slot;
    Label* finallyLabel;
};

struct RoutineContext {
    RoutineInfo* info = nullptr; // nullptr for the main block
    int level = 0;
    Frame frame;
    Label exitLabel;
    std::vector<LoopContext> loops;
    std::vector<FinallyContext> finallies;
    std::vector<uint32_t> exceptSlots; // the exception slots of the handlers we are inside (for raise;)
    std::vector<vm::Handler> handlers;
    std::vector<std::pair<Loc, ConstValue>> localInits; // initialised locals, set in the prologue
    uint32_t resultSlot = 0;
};

struct WithContext {
    const Type* recordType;
    Loc base;
};

SourcePos startPos(const ast::Expr& e);

class Compiler {
public:
    Compiler(const HostTable& host, Diagnostics& diags);
    std::unique_ptr<vm::Program> compile(const ast::Program& program);

    // --- declarations (compile_decls.cpp)
    void declareBuiltins();
    void declareHost();
    void block(const ast::Block& b, RoutineContext& ctx, Scope& scope);
    void constDecl(const ast::ConstDecl& d);
    void typeDecl(const ast::TypeDecl& d);
    void varDecl(const ast::VarDecl& d, RoutineContext& ctx);
    void routineDecl(const ast::RoutineDecl& d, RoutineContext& outer);
    RoutineInfo* makeRoutineInfo(const ast::RoutineDecl& d, int level);
    NativeSignature nativeSignature(const RoutineInfo& info, const ast::RoutineDecl& decl);
    void compileRoutineBody(RoutineInfo* info, const ast::RoutineDecl& d);
    const Type* resolveType(const ast::TypeExpr& t, bool paramContext = false);
    const Type* lookupType(const std::string& name, SourcePos pos);
    void checkUnusedVars(Scope& scope);
    void checkForwards(Scope& scope);
    uint32_t allocGlobal(uint32_t cells, const Type* t);
    void emitInit(const Loc& loc, const ConstValue& v);

    // --- constants (const_eval.cpp)
    bool evalConst(const ast::Expr& e, ConstValue& out, bool report = false);
    bool constInitializer(const ast::Expr& e, const Type* t, ConstValue& out);
    bool convertConst(ConstValue& v, const Type* target, SourcePos pos, bool report);
    Val materialize(const ConstValue& cv, Reg* dest);

    // --- expressions (compile_expr.cpp)
    Val expr(const ast::Expr& e, Reg* dest = nullptr, const Type* expected = nullptr);
    Val exprTo(const ast::Expr& e, const Type* target, Reg* dest = nullptr);
    const Type* quickType(const ast::Expr& e); // the type of simple expressions, without code; or null
    const Type* typeOf(const ast::Expr& e);    // the type of any expression (may compile it and drop the code)
    Val coerce(Val v, const Type* target, SourcePos pos, Reg* dest = nullptr, bool report = true);
    bool assignable(const Type* from, const Type* to, const ConstValue* cv = nullptr);
    void condJump(const ast::Expr& e, bool jumpIf, Label& target);
    Val binary(const ast::Expr& e, Reg* dest);
    Val unary(const ast::Expr& e, Reg* dest);
    Val comparison(const ast::Expr& e, Reg* dest);
    void emitRelation(ast::Op op, Reg r, Reg a, Reg b, vm::Op eq, vm::Op ne, vm::Op lt, vm::Op le);
    Val setConstructor(const ast::Expr& e, const Type* expected, Reg* dest);
    bool lvalue(const ast::Expr& e, Loc& out, bool report = true);
    bool nameLoc(const std::string& name, SourcePos pos, Loc& out);
    Loc varLoc(VarInfo* v);
    Val load(const Loc& loc, Reg* dest = nullptr);
    void store(const Loc& loc, Val v, SourcePos pos);
    Reg address(const Loc& loc, Reg* dest = nullptr);
    Loc indexLoc(const Loc& base, const ast::Expr& index, SourcePos pos);
    Loc fieldLoc(const Loc& base, const Field& f);
    Loc materializeLoc(const Loc& loc); // a Ptr place for anything that is not a whole frame value
    Val call(const ast::Expr& callee, const std::vector<ast::ExprPtr>* args, SourcePos pos, Reg* dest,
             bool asStatement);
    Val callRoutine(Symbol* sym, const std::vector<ast::ExprPtr>& args, SourcePos pos, Reg* dest,
                    bool asStatement);
    RoutineInfo* chooseOverload(Symbol* sym, const std::vector<ast::ExprPtr>& args, SourcePos pos);
    void passArgument(const ParamInfo& p, const ast::Expr* arg, Reg argBase, bool forBuiltin);
    Val openArray(const ast::Expr& arg, const Type* elem, Reg dest);
    Val arrayOfConst(const ast::Expr& arg, Reg dest);
    Val takeResult(Reg at, const Type* t, Reg* dest, bool asStatement);
    Val methodCall(const ast::Expr& member, const std::vector<ast::ExprPtr>* args, Reg* dest);
    Val typeCast(const Type* t, const ast::Expr& arg, SourcePos pos, Reg* dest);

    // --- built-ins (compile_builtins.cpp)
    Val builtinCall(int id, const std::string& name, const std::vector<ast::ExprPtr>& args, SourcePos pos,
                    Reg* dest, bool asStatement);
    Val callBuiltinFn(uint32_t fn, const std::vector<std::pair<const ast::Expr*, const Type*>>& args,
                      const Type* result, Reg* dest, const std::vector<bool>& byRef = {});
    void writeCall(const std::vector<ast::ExprPtr>& args, bool newline);
    void setLengthDims(const Loc& l, const std::vector<ast::ExprPtr>& args, size_t k);
    bool builtinConst(int id, const std::vector<ast::ExprPtr>& args, ConstValue& out);

    // --- statements (compile_stmt.cpp)
    void stmt(const ast::Stmt& s);
    void stmts(const std::vector<ast::StmtPtr>& list);
    void assignStmt(const ast::Stmt& s);
    void callStmt(const ast::Stmt& s);
    void ifStmt(const ast::Stmt& s);
    void caseStmt(const ast::Stmt& s);
    void forStmt(const ast::Stmt& s);
    void forInStmt(const ast::Stmt& s);
    void whileStmt(const ast::Stmt& s);
    void repeatStmt(const ast::Stmt& s);
    void jumpOut(Label& target, size_t finallyDepth);
    void exitStmt(const ast::Stmt& s);
    void withStmt(const ast::Stmt& s);
    void tryExcept(const ast::Stmt& s);
    void tryFinally(const ast::Stmt& s);
    void raiseStmt(const ast::Stmt& s);
    void markLine(SourcePos pos);

    // --- helpers
    Symbol* lookup(const std::string& name);
    void error(SourcePos pos, std::string text);
    void typeMismatch(SourcePos pos) { error(pos, "Type mismatch"); }
    Reg temp(const Type* t);
    uint32_t typeDescIndex(const Type* t);
    vm::ValKind valKind(const Type* t);
    const Type* commonArith(const Type* a, const Type* b);

    const HostTable& host_;
    Diagnostics& diags_;
    std::shared_ptr<TypeTable> types_;
    std::unique_ptr<vm::Program> prog_;
    Emitter em_;
    Scope builtinScope_{nullptr, 0};
    Scope hostScope_{&builtinScope_, 0};
    Scope globalScope_{&hostScope_, 0};
    Scope* scope_ = &globalScope_;
    RoutineContext* ctx_ = nullptr;
    std::vector<WithContext> withs_;
    std::vector<std::unique_ptr<VarInfo>> vars_;
    std::vector<std::unique_ptr<RoutineInfo>> routines_;
    std::vector<std::unique_ptr<Scope>> scopes_;
    std::vector<std::pair<Loc, ConstValue>> globalInits_;
    uint32_t globalCells_ = 0;
    std::unordered_map<const Type*, uint32_t> descIndex_;
  public:
    std::vector<NativeSignature> nativeSigs_; // by native index, for the host routines
};

} // namespace novrix::engine
