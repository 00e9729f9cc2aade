#pragma once
// The script engine as hosts use it: register the vocabulary while compiling, compile a script text, read
// the messages and the compile-time tables, run it on any thread, debug it, stop it from another thread,
// read the run-time error. One Engine holds one compiled script at a time.
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "compiler/host_table.h"
#include "diagnostics.h"
#include "lexer.h"
#include "native_call.h"
#include "vm/vm.h"

namespace novrix::engine {

// A registration that cannot be made: outside OnCompile, or a declaration text that does not parse.
struct RegistrationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the compiler knew of the host's registrations, for the help listing.
struct CompileTables {
    struct Param {
        std::string name;
        std::string mode; // "", "var", "const", "out"
        std::string typeName;
        std::string defaultText;
    };
    struct Routine {
        std::string name;     // as declared
        bool isFunction = false;
        std::vector<Param> params;
        std::string resultType;
        std::string declText; // as registered
    };
    struct Constant {
        std::string name;
        std::string typeName;
        std::variant<int64_t, double, std::string> value;
    };
    struct TypeEntry {
        std::string name;
        std::string declText;
    };
    std::vector<std::string> builtinTypes;
    std::vector<TypeEntry> types;
    std::vector<Constant> constants;
    std::vector<Routine> routines;        // registered by the host, in registration order
    std::vector<Routine> builtinRoutines; // the engine's own (WriteLn, IntToStr, Copy, ...)
};

class Engine : private vm::DebugHooks {
public:
    Engine();
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- files and output
    // Renaming moves the breakpoints kept under the old name to the new one; breakpoints already kept
    // under the new name are dropped.
    void setMainFileName(std::string name);
    const std::string& mainFileName() const { return mainFileName_; }
    void setNeedFile(NeedFileFn fn) { needFile_ = std::move(fn); }
    void setOutput(std::function<void(std::string_view)> out) { output_ = std::move(out); }

    // --- events
    std::function<void(Engine&)> onCompile;          // registration happens here, and only here
    std::function<bool(Engine&)> onBeforeCleanUp;    // after compiling; tables() is valid
    std::function<void(Engine&)> onExecute;          // at the start of every run, on the running thread
    std::function<void(Engine&)> onAfterExecute;     // at the end of every run, on the running thread
    std::function<void(Engine&, int row)> onBreakpoint; // a breakpoint's line was reached; the run pauses
    std::function<void(Engine&)> onIdle;             // again and again while the run stands paused
    std::function<void(Engine&, int row, const std::string& file)> onLineInfo; // every new source line

    // --- registration (inside onCompile only; RegistrationError otherwise)
    void addType(const std::string& name, const std::string& declText);
    void addConstant(const std::string& name, const std::string& typeName,
                     std::variant<int64_t, double, std::string> value);
    void addVariable(const std::string& name, const std::string& typeName);
    // Declares a routine from its declaration text; fn may be bound later by name (bindNative).
    void addDeclaration(const std::string& declText, NativeFn fn = {});
    // Binds the newest declaration of that name that has no implementation yet. False when none.
    bool bindNative(const std::string& name, NativeFn fn);
    bool registering() const { return registering_; }
    bool hasVariable(const std::string& name) const; // a host variable of that name is registered

    // --- compiling
    bool compile(std::string_view text);
    const std::vector<Diagnostic>& messages() const { return diags_.all(); }
    std::vector<std::string> messageLines() const;
    const CompileTables& tables() const { return tables_; }

    // --- running
    bool execute(); // false when the run ended with a run-time error; refused (false) while running
    bool isRunning() const { return running_.load(std::memory_order_acquire); }
    void stop();    // any thread; the run ends as a success
    // A script global bound to a host string: reads see it, assignments change it.
    bool bindVariable(const std::string& name, std::string* host);
    const vm::RuntimeErrorInfo& runtimeError() const { return error_; }
    std::string runtimeErrorLine() const; // "Runtime Error: ... at [r:c] bytecode pos:p:q"

    // --- debugging
    void setBreakpoint(const std::string& file, int line);
    void clearBreakpoint(const std::string& file, int line);
    bool hasBreakpoint(const std::string& file, int line) const;
    std::vector<std::pair<std::string, int>> breakpoints() const;
    void stepInto(); // before a run: pause at the first line; paused: run to the next line
    void stepOver(); // as stepInto, without pausing inside called routines
    void resume();   // leave the pause and run freely
    bool isPaused() const { return mode_.load(std::memory_order_acquire) == Mode::Paused; }
    int pausedRow() const { return pausedRow_.load(std::memory_order_acquire); } // 0 when not paused

    // --- dumps of the phases, for --dump-tokens, --dump-ast and --dump-code
    std::string dumpTokens(std::string_view text);
    std::string dumpAst(std::string_view text);
    std::string dumpCode() const;

    const vm::Program* program() const { return program_.get(); }

private:
    enum class Mode { Free, StepInto, StepOver, Paused };

    void requireRegistering(const char* what) const;
    void buildTables();
    static CompileTables::Routine routineEntry(const ast::RoutineDecl& decl, const std::string& declText);
    void applyBreakpoints(vm::VM& vm);
    void onLine(vm::VM& vm, const vm::LineEntry& line, bool isBreakpoint, int callDepth) override;
    void onAttention(vm::VM& vm) override;
    void pause(vm::VM& vm, const vm::LineEntry& line, int callDepth);

    std::string mainFileName_ = "Unnamed";
    NeedFileFn needFile_;
    std::function<void(std::string_view)> output_;
    HostTable host_;
    std::vector<NativeFn> natives_;      // by native index
    std::vector<std::string> nativeNames_;
    std::vector<std::string> hostVarNames_;
    std::map<std::string, std::string*> boundVars_; // lower-case name -> host string
    bool registering_ = false;
    Diagnostics diags_;
    CompileTables tables_;
    std::vector<SourceFile> files_;
    std::unique_ptr<vm::Program> program_;
    std::vector<NativeSignature> nativeSigs_;
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> trap_{0}; // the running VM's stop and debugger word
    vm::RuntimeErrorInfo error_;

    // debugger state; breakpoints may change from any thread
    mutable std::mutex bpLock_;
    std::set<std::pair<std::string, int>> breakpoints_; // (lower-case file name, line)
    std::atomic<bool> bpDirty_{false};
    std::atomic<Mode> mode_{Mode::Free};
    int stepDepth_ = 0;
    std::atomic<int> pausedRow_{0};
};

} // namespace novrix::engine
