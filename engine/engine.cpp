#include "engine.h"

#include "ast_dump.h"
#include "compiler/compiler.h"
#include "parser.h"

namespace novrix::engine {

Engine::Engine() = default;
Engine::~Engine() = default;

bool Engine::compile(std::string_view text) {
    diags_ = Diagnostics{};
    files_.clear();
    files_.push_back({mainFileName_, std::string(text)});
    program_.reset();
    ast::Program tree = parseProgram(files_, needFile_, diags_);
    // The checker runs on a tree with syntax errors too (the parser keeps it well-formed), so one compile
    // reports the mistakes of every routine.
    CompileResult r = compileProgram(tree, host_, diags_);
    if (!r.program || diags_.hasErrors()) return false;
    program_ = std::move(r.program);
    for (const SourceFile& f : files_) program_->fileNames.push_back(f.name);
    return true;
}

std::vector<std::string> Engine::messageLines() const {
    std::vector<std::string> lines;
    for (const Diagnostic& d : diags_.all()) lines.push_back(Diagnostics::formatLine(d, mainFileName_));
    return lines;
}

bool Engine::execute() {
    if (!program_ || running_.load(std::memory_order_acquire)) return false;
    trap_.store(0, std::memory_order_release);
    running_.store(true, std::memory_order_release);
    vm::VM vm(*program_, &trap_);
    vm.setOutput(output_);
    bool ok = vm.run();
    error_ = ok ? vm::RuntimeErrorInfo{} : vm.error();
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
