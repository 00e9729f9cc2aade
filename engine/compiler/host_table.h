#pragma once
// What a host registers before a compile: types, constants, variables and routine declarations. The
// compiler puts them in one scope between the built-ins and the script, in registration order, so the
// newest registration of a name wins.
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "engine/ast.h"

namespace novrix::engine {

struct HostTypeReg {
    std::string name;
    ast::TypeExprPtr type; // parsed declaration text, or a Named alias
};

struct HostConstReg {
    std::string name;
    std::string typeName;
    std::variant<int64_t, double, std::string> value;
};

struct HostVarReg {
    std::string name;
    std::string typeName;
    int varIndex = -1; // the host's own variable, by index into its table
};

struct HostRoutineReg {
    std::string declText;
    std::unique_ptr<ast::RoutineDecl> decl;
    int nativeIndex = -1; // -1: declared, not bound: compiles, fails when the script is loaded
};

struct HostTable {
    std::vector<std::variant<HostTypeReg, HostConstReg, HostVarReg, HostRoutineReg>> entries;
};

} // namespace novrix::engine
