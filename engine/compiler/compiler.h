#pragma once
// The compiler: a checked walk over the syntax tree that emits byte code as it goes.
#include <memory>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/diagnostics.h"
#include "engine/vm/program.h"
#include "engine/native_call.h"
#include "host_table.h"

namespace novrix::engine {

struct CompileResult {
    std::unique_ptr<vm::Program> program; // null when the script has errors
    std::vector<NativeSignature> nativeSigs; // by native index: how each host routine receives its call
};

// Compiles a parsed program against the host's registrations. Errors, warnings and hints go to diags.
CompileResult compileProgram(const ast::Program& program, const HostTable& host, Diagnostics& diags);

} // namespace novrix::engine
