#pragma once
// What names stand for while a script is compiled: constants, types, variables, routines, built-ins.
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ast.h"
#include "types.h"

namespace novrix::engine {

// A value known at compile time. Composite typed constants keep their elements.
struct ConstValue {
    const Type* type = nullptr;
    int64_t i = 0;            // ordinals, Booleans, Chars
    double d = 0;             // reals
    std::string s;            // strings
    std::array<uint64_t, 4> set{}; // sets
    std::vector<ConstValue> elems; // typed constant arrays and records (in field/element order)
    bool isNil = false;
};

enum class SymKind { Const, Type, Var, Routine, Builtin, ExcClass, Unit };

// Ref: the slot holds a pointer to the variable (var/out params). Host: a string variable of the host,
// slot is its registration index.
enum class Storage { Global, Local, Ref, Host };

struct VarInfo {
    std::string name;
    const Type* type = nullptr;
    Storage storage = Storage::Local;
    int level = 0;          // 0 for globals
    uint32_t slot = 0;
    bool readOnly = false;  // const parameters, for-loop variables while looping
    bool isParam = false;
    bool used = false;
    SourcePos pos;
};

struct ParamInfo {
    std::string name;
    ast::ParamMode mode = ast::ParamMode::Value;
    const Type* type = nullptr;
    std::optional<ConstValue> defaultValue;
    uint32_t offset = 0; // cell offset in the callee's frame
    uint32_t cells = 1;  // cells the caller fills
    SourcePos pos;
    bool byRef() const { return mode == ast::ParamMode::Var || mode == ast::ParamMode::Out; }
};

struct RoutineInfo {
    std::string name;
    int index = -1;          // in the program's routine table (script routines)
    int nativeIndex = -1;    // host routines: index of the native binding
    int level = 1;
    std::vector<ParamInfo> params;
    const Type* result = nullptr; // nullptr for procedures
    uint32_t paramCells = 0;      // cells of all parameters; Result follows them
    bool defined = false;         // has a body (or is a host routine)
    bool forward = false;
    bool overload = false;
    SourcePos pos;
    std::string declText;         // host routines: the declaration as registered
};

struct Symbol {
    SymKind kind{};
    std::string name;
    ConstValue constValue;                      // Const
    const Type* type = nullptr;                 // Type
    VarInfo* var = nullptr;                     // Var
    std::vector<RoutineInfo*> routines;         // Routine: overloads, newest first
    int builtin = -1;                           // Builtin: the compiler's built-in code
    int classId = -1;                           // ExcClass
};

// A scope maps lower-cased names to symbols; scopes nest.
class Scope {
public:
    explicit Scope(Scope* parent, int level) : parent_(parent), level_(level) {}
    Symbol* findLocal(const std::string& lowerName);
    Symbol* find(const std::string& lowerName);
    Symbol* add(const std::string& lowerName, Symbol sym);
    Scope* parent() const { return parent_; }
    int level() const { return level_; }
    std::vector<VarInfo*>& vars() { return varsInOrder_; }

private:
    Scope* parent_;
    int level_;
    std::unordered_map<std::string, std::unique_ptr<Symbol>> map_;
    std::vector<VarInfo*> varsInOrder_;
};

std::string lower(std::string_view s);

} // namespace novrix::engine
