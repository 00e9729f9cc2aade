#include "engine.h"

#include <algorithm>
#include <chrono>
#include <strings.h>
#include <thread>

#include "ast_dump.h"
#include "compiler/builtin_decls.h"
#include "compiler/compiler.h"
#include "parser.h"

namespace novrix::engine {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string firstError(const Diagnostics& d) {
    for (const Diagnostic& x : d.all())
        if (x.kind == DiagKind::Error) return x.text + " at " + std::to_string(x.pos.row) + ":" + std::to_string(x.pos.col);
    return "error";
}

} // namespace

Engine::Engine() = default;
Engine::~Engine() = default;

// ---------------------------------------------------------------------------------------------------------
// registration

void Engine::requireRegistering(const char* what) const {
    if (!registering_)
        throw RegistrationError(std::string("Cannot register ") + what + " outside the compile event (OnCompile)");
}

void Engine::addType(const std::string& name, const std::string& declText) {
    requireRegistering("a type");
    Diagnostics d;
    ast::TypeExprPtr t = parseTypeText(declText, d);
    if (d.hasErrors()) throw RegistrationError("Cannot register type '" + name + "' = " + declText + ": " + firstError(d));
    host_.entries.push_back(HostTypeReg{name, std::move(t)});
}

void Engine::addConstant(const std::string& name, const std::string& typeName,
                         std::variant<int64_t, double, std::string> value) {
    requireRegistering("a constant");
    host_.entries.push_back(HostConstReg{name, typeName, std::move(value)});
}

void Engine::addVariable(const std::string& name, const std::string& typeName) {
    requireRegistering("a variable");
    if (!sameName(typeName, "String") && !sameName(typeName, "AnsiString"))
        throw RegistrationError("Cannot register variable '" + name + "': only String variables can be bound");
    host_.entries.push_back(HostVarReg{name, typeName, int(hostVarNames_.size())});
    hostVarNames_.push_back(name);
}

void Engine::addDeclaration(const std::string& declText, NativeFn fn) {
    requireRegistering("a declaration");
    Diagnostics d;
    std::unique_ptr<ast::RoutineDecl> decl = parseRoutineDeclaration(declText, d);
    if (d.hasErrors()) throw RegistrationError("Cannot register '" + declText + "': " + firstError(d));
    int index = int(natives_.size());
    natives_.push_back(std::move(fn));
    nativeNames_.push_back(decl->name.name);
    host_.entries.push_back(HostRoutineReg{declText, std::move(decl), index});
}

bool Engine::hasVariable(const std::string& name) const {
    for (const std::string& v : hostVarNames_)
        if (sameName(v, name)) return true;
    return false;
}

bool Engine::bindNative(const std::string& name, NativeFn fn) {
    requireRegistering("an implementation");
    for (size_t k = natives_.size(); k-- > 0;)
        if (!natives_[k] && sameName(nativeNames_[k], name)) {
            natives_[k] = std::move(fn);
            return true;
        }
    return false;
}

// ---------------------------------------------------------------------------------------------------------
// compiling

bool Engine::compile(std::string_view text) {
    if (isRunning()) return false;
    host_ = HostTable{};
    natives_.clear();
    nativeNames_.clear();
    hostVarNames_.clear();
    program_.reset();
    nativeSigs_.clear();
    diags_ = Diagnostics{};
    if (onCompile) {
        registering_ = true;
        try {
            onCompile(*this);
        } catch (...) {
            registering_ = false;
            throw;
        }
        registering_ = false;
    }
    files_.clear();
    files_.push_back({mainFileName_, std::string(text)});
    ast::Program tree = parseProgram(files_, needFile_, diags_);
    // The checker runs on a tree with syntax errors too (the parser keeps it well-formed), so one compile
    // reports the mistakes of every routine.
    CompileResult r = compileProgram(tree, host_, diags_);
    bool ok = r.program && !diags_.hasErrors();
    if (ok) {
        program_ = std::move(r.program);
        nativeSigs_ = std::move(r.nativeSigs);
        for (const SourceFile& f : files_) program_->fileNames.push_back(f.name);
    }
    buildTables();
    if (onBeforeCleanUp) onBeforeCleanUp(*this);
    bpDirty_ = true;
    return ok;
}

std::vector<std::string> Engine::messageLines() const {
    std::vector<std::string> lines;
    for (const Diagnostic& d : diags_.all()) lines.push_back(Diagnostics::formatLine(d, mainFileName_));
    return lines;
}

void Engine::buildTables() {
    tables_ = CompileTables{};
    tables_.builtinTypes = {"Byte",    "ShortInt", "Word",     "SmallInt", "Integer",  "LongInt", "Cardinal",
                            "LongWord", "Int64",   "Boolean",  "Char",     "Single",   "Double",  "Extended",
                            "Currency", "String",  "Variant",  "PChar"};
    // The engine's own routines first, then the registrations.
    for (std::string_view text : kBuiltinDeclarations) {
        Diagnostics d;
        std::unique_ptr<ast::RoutineDecl> decl = parseRoutineDeclaration(text, d);
        if (!d.hasErrors()) tables_.builtinRoutines.push_back(routineEntry(*decl, std::string(text)));
    }
    for (const auto& entry : host_.entries) {
        if (auto* t = std::get_if<HostTypeReg>(&entry)) {
            tables_.types.push_back({t->name, t->type ? formatType(*t->type) : std::string()});
        } else if (auto* c = std::get_if<HostConstReg>(&entry)) {
            tables_.constants.push_back({c->name, c->typeName, c->value});
        } else if (auto* r = std::get_if<HostRoutineReg>(&entry)) {
            if (r->decl) tables_.routines.push_back(routineEntry(*r->decl, r->declText));
        }
    }
}

CompileTables::Routine Engine::routineEntry(const ast::RoutineDecl& decl, const std::string& declText) {
    CompileTables::Routine rt;
    rt.name = decl.name.name;
    rt.isFunction = decl.isFunction;
    rt.declText = declText;
    if (decl.resultType) rt.resultType = formatType(*decl.resultType);
    for (const ast::Param& p : decl.params)
        for (const ast::Ident& id : p.names) {
            CompileTables::Param cp;
            cp.name = id.name;
            cp.mode = p.mode == ast::ParamMode::Var     ? "var"
                      : p.mode == ast::ParamMode::Const ? "const"
                      : p.mode == ast::ParamMode::Out   ? "out"
                                                        : "";
            if (p.type) cp.typeName = formatType(*p.type);
            if (p.defaultValue) cp.defaultText = formatExpr(*p.defaultValue);
            rt.params.push_back(cp);
        }
    return rt;
}

// ---------------------------------------------------------------------------------------------------------
// running

bool Engine::bindVariable(const std::string& name, std::string* host) {
    for (const std::string& v : hostVarNames_)
        if (sameName(v, name)) {
            std::string key = v;
            std::transform(key.begin(), key.end(), key.begin(), ::tolower);
            boundVars_[key] = host;
            return true;
        }
    return false;
}

bool Engine::execute() {
    if (!program_ || running_.load(std::memory_order_acquire)) return false;
    error_ = {};
    // A declared routine that has no implementation cannot be loaded.
    for (size_t k = 0; k < program_->nativeNames.size(); ++k)
        if (!program_->nativeNames[k].empty() && (k >= natives_.size() || !natives_[k])) {
            error_.text = "Could not call proc '" + program_->nativeNames[k] + "'";
            return false;
        }
    trap_.store(0, std::memory_order_release);
    running_.store(true, std::memory_order_release);
    // The start event may bind variables, so it comes before they are handed to the VM.
    if (onExecute) onExecute(*this);
    bool ok = false;
    {
        vm::VM vm(*program_, &trap_);
        vm.setOutput(output_);
        std::vector<vm::NativeFn> natives(natives_.size());
        for (size_t k = 0; k < natives_.size() && k < nativeSigs_.size(); ++k) {
            if (!natives_[k]) continue;
            const NativeFn* fn = &natives_[k];
            const NativeSignature* sig = &nativeSigs_[k];
            natives[k] = [fn, sig](vm::VM& v, vm::Cell* base) {
                NativeCall call(v, base, *sig);
                (*fn)(call);
            };
        }
        vm.setNatives(std::move(natives));
        std::vector<std::string*> vars;
        for (const std::string& n : hostVarNames_) {
            std::string key = n;
            std::transform(key.begin(), key.end(), key.begin(), ::tolower);
            auto it = boundVars_.find(key);
            vars.push_back(it == boundVars_.end() ? nullptr : it->second);
        }
        vm.setHostVariables(std::move(vars));
        vm.setDebugHooks(this);
        applyBreakpoints(vm);
        Mode m = mode_.load(std::memory_order_acquire);
        if (m == Mode::StepInto || m == Mode::StepOver) stepDepth_ = 1;
        vm.setLineEvents(m == Mode::StepInto || m == Mode::StepOver || onLineInfo != nullptr);
        ok = vm.run();
        if (!ok) error_ = vm.error();
    }
    mode_.store(Mode::Free, std::memory_order_release);
    if (onAfterExecute) onAfterExecute(*this);
    running_.store(false, std::memory_order_release);
    return ok;
}

void Engine::stop() {
    if (running_.load(std::memory_order_acquire)) trap_.fetch_or(vm::VM::kTrapStop, std::memory_order_release);
}

std::string Engine::runtimeErrorLine() const {
    return "Runtime Error: " + error_.text + " at [" + std::to_string(error_.row) + ":" + std::to_string(error_.col) +
           "] bytecode pos:" + std::to_string(error_.proc) + ":" + std::to_string(error_.pos);
}

// ---------------------------------------------------------------------------------------------------------
// debugging

void Engine::setMainFileName(std::string name) {
    {
        std::lock_guard<std::mutex> lock(bpLock_);
        std::set<std::pair<std::string, int>> moved;
        for (const auto& bp : breakpoints_) {
            if (bp.first == name) continue; // kept under the new name already: dropped
            moved.insert(bp.first == mainFileName_ ? std::make_pair(name, bp.second) : bp);
        }
        breakpoints_ = std::move(moved);
    }
    mainFileName_ = std::move(name);
    bpDirty_ = true;
    if (isRunning()) trap_.fetch_or(vm::VM::kTrapAttention, std::memory_order_release);
}

void Engine::setBreakpoint(const std::string& file, int line) {
    {
        std::lock_guard<std::mutex> lock(bpLock_);
        breakpoints_.insert({file, line});
    }
    bpDirty_ = true;
    if (isRunning()) trap_.fetch_or(vm::VM::kTrapAttention, std::memory_order_release);
}

void Engine::clearBreakpoint(const std::string& file, int line) {
    {
        std::lock_guard<std::mutex> lock(bpLock_);
        breakpoints_.erase({file, line});
    }
    bpDirty_ = true;
    if (isRunning()) trap_.fetch_or(vm::VM::kTrapAttention, std::memory_order_release);
}

bool Engine::hasBreakpoint(const std::string& file, int line) const {
    std::lock_guard<std::mutex> lock(bpLock_);
    return breakpoints_.count({file, line}) > 0;
}

std::vector<std::pair<std::string, int>> Engine::breakpoints() const {
    std::lock_guard<std::mutex> lock(bpLock_);
    return {breakpoints_.begin(), breakpoints_.end()};
}

void Engine::stepInto() {
    mode_.store(Mode::StepInto, std::memory_order_release);
    if (isRunning()) trap_.fetch_or(vm::VM::kTrapAttention, std::memory_order_release);
}

void Engine::stepOver() {
    mode_.store(Mode::StepOver, std::memory_order_release);
    if (isRunning()) trap_.fetch_or(vm::VM::kTrapAttention, std::memory_order_release);
}

void Engine::resume() { mode_.store(Mode::Free, std::memory_order_release); }

void Engine::applyBreakpoints(vm::VM& vm) {
    bpDirty_ = false;
    vm.clearBreaks();
    if (!program_) return;
    std::lock_guard<std::mutex> lock(bpLock_);
    if (breakpoints_.empty()) return;
    const auto& entries = program_->lines.entries;
    for (size_t k = 0; k < entries.size(); ++k) {
        const vm::LineEntry& le = entries[k];
        // Several statements of one line make one stop: only where the line is entered.
        if (k > 0 && entries[k - 1].row == le.row && entries[k - 1].file == le.file) continue;
        const std::string& file = le.file == 0 ? mainFileName_ : program_->fileNames[size_t(le.file)];
        if (breakpoints_.count({file, le.row})) vm.setBreakAt(le.pc, true);
    }
}

void Engine::onAttention(vm::VM& vm) {
    if (bpDirty_) applyBreakpoints(vm);
    Mode m = mode_.load(std::memory_order_acquire);
    if (m == Mode::StepInto || m == Mode::StepOver) {
        stepDepth_ = vm.callDepth();
        vm.setLineEvents(true);
    }
}

void Engine::onLine(vm::VM& vm, const vm::LineEntry& line, bool isBreakpoint, int callDepth) {
    if (bpDirty_) applyBreakpoints(vm);
    if (onLineInfo) {
        const std::string& file = line.file == 0 ? mainFileName_ : program_->fileNames[size_t(line.file)];
        onLineInfo(*this, line.row, file);
    }
    Mode m = mode_.load(std::memory_order_acquire);
    bool pauseHere = isBreakpoint || m == Mode::StepInto || (m == Mode::StepOver && callDepth <= stepDepth_);
    if (!pauseHere) return;
    if (isBreakpoint && onBreakpoint) onBreakpoint(*this, line.row);
    pause(vm, line, callDepth);
}

void Engine::pause(vm::VM& vm, const vm::LineEntry& line, int callDepth) {
    pausedRow_.store(line.row, std::memory_order_release);
    mode_.store(Mode::Paused, std::memory_order_release);
    while (mode_.load(std::memory_order_acquire) == Mode::Paused && !vm.stopRequested()) {
        if (bpDirty_) applyBreakpoints(vm);
        if (onIdle)
            onIdle(*this);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    pausedRow_.store(0, std::memory_order_release);
    Mode m = mode_.load(std::memory_order_acquire);
    if (m == Mode::StepInto || m == Mode::StepOver) {
        stepDepth_ = callDepth;
        vm.setLineEvents(true);
    } else {
        vm.setLineEvents(onLineInfo != nullptr);
    }
}

// ---------------------------------------------------------------------------------------------------------

std::string Engine::dumpTokens(std::string_view text) {
    std::vector<SourceFile> files{{mainFileName_, std::string(text)}};
    Diagnostics d;
    return novrix::engine::dumpTokens(tokenize(files, needFile_, d));
}

std::string Engine::dumpAst(std::string_view text) {
    std::vector<SourceFile> files{{mainFileName_, std::string(text)}};
    Diagnostics d;
    return novrix::engine::dumpAst(parseProgram(files, needFile_, d));
}

std::string Engine::dumpCode() const { return program_ ? program_->disassemble() : std::string(); }

} // namespace novrix::engine
