#pragma once
// The script engine as hosts use it: compile a script text, read the messages, run it, read the
// run-time error. One Engine holds one compiled script at a time.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/host_table.h"
#include "diagnostics.h"
#include "lexer.h"
#include "vm/vm.h"

namespace novrix::engine {

class Engine {
public:
    Engine();
    ~Engine();

    void setMainFileName(std::string name) { mainFileName_ = std::move(name); }
    const std::string& mainFileName() const { return mainFileName_; }
    void setNeedFile(NeedFileFn fn) { needFile_ = std::move(fn); }
    void setOutput(std::function<void(std::string_view)> out) { output_ = std::move(out); }
    HostTable& hostTable() { return host_; }

    // Compiles the script; true when it has no errors. The messages stay until the next compile.
    bool compile(std::string_view text);
    const std::vector<Diagnostic>& messages() const { return diags_.all(); }
    std::vector<std::string> messageLines() const;

    // Runs the compiled script on the calling thread; false when it ended with a run-time error.
    bool execute();
    bool isRunning() const { return running_.load(std::memory_order_acquire); }
    void stop(); // any thread
    const vm::RuntimeErrorInfo& runtimeError() const { return error_; }
    std::string runtimeErrorLine() const; // "Runtime Error: ... at [r:c] bytecode pos:p:q"

    // Dumps of the phases, for --dump-tokens, --dump-ast and --dump-code.
    std::string dumpTokens(std::string_view text);
    std::string dumpAst(std::string_view text);
    std::string dumpCode() const;

    const vm::Program* program() const { return program_.get(); }

private:
    std::string mainFileName_ = "Unnamed";
    NeedFileFn needFile_;
    std::function<void(std::string_view)> output_;
    HostTable host_;
    Diagnostics diags_;
    std::vector<SourceFile> files_;
    std::unique_ptr<vm::Program> program_;
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> trap_{0}; // the running VM's stop and debugger word
    vm::RuntimeErrorInfo error_;
};

} // namespace novrix::engine
