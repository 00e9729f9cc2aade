#pragma once
// The byte-code interpreter. One VM runs one compiled program on the calling thread; Stop may be asked
// from any thread and is seen at the next jump or call.
#include <atomic>
#include <cstdlib>
#include <memory>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/runtime/format_settings.h"
#include "engine/runtime/script_error.h"
#include "program.h"

namespace novrix::engine::vm {

class VM;

// A built-in routine: the result (if any) is written to base[0], arguments are in base[1..].
using BuiltinFn = void (*)(VM& vm, Cell* base);

// A host routine bound to a registered declaration. Same calling convention as built-ins.
using NativeFn = std::function<void(VM& vm, Cell* base)>;

struct RuntimeErrorInfo {
    std::string text;
    int row = 0, col = 0, file = 0;
    int proc = 0;
    uint32_t pos = 0;
    rt::ExcClass cls = rt::ExcClass::Exception;
};

// What the debugger asks of the VM at every new source line while it is attached. Returning from
// onLine lets the run go on.
class DebugHooks {
public:
    virtual ~DebugHooks() = default;
    // Called before the first instruction of a source line: `isBreakpoint` when a breakpoint stands there,
    // otherwise only while line events are on. Runs on the VM's thread; may change breakpoints and line
    // events, and may pause (by not returning) as long as it likes.
    virtual void onLine(VM& vm, const LineEntry& line, bool isBreakpoint, int callDepth) = 0;
    // Called on the VM's thread after requestDebugAttention() from any thread.
    virtual void onAttention(VM& vm) = 0;
};

class VM {
public:
    static constexpr uint32_t kStackCells = 1u << 21; // 16 MiB of cells
    static constexpr uint32_t kMaxFrames = 200000;

    // `trap` is the word that Stop and the debugger set; a host that stops runs from another thread owns it,
    // so that it outlives any one VM. Without one the VM uses its own.
    explicit VM(const Program& program, std::atomic<uint32_t>* trap = nullptr);
    ~VM();
    VM(const VM&) = delete;
    VM& operator=(const VM&) = delete;

    // Runs the main block to its end. Returns false when the run ended with an uncaught error.
    bool run();

    void setOutput(std::function<void(std::string_view)> out) { output_ = std::move(out); }
    void setNatives(std::vector<NativeFn> natives) { natives_ = std::move(natives); }
    // The host's string variables that scripts see as globals (by registration index; null: not bound).
    void setHostVariables(std::vector<std::string*> vars) { hostVars_ = std::move(vars); }
    void setDebugHooks(DebugHooks* hooks) { hooks_ = hooks; }

    // Any thread: end the run at its next jump or call; the run counts as ended without error.
    void requestStop() { trap_.fetch_or(kTrapStop, std::memory_order_release); }
    bool stopRequested() const { return trap_.load(std::memory_order_acquire) & kTrapStop; }
    static constexpr uint32_t kTrapStop = 1, kTrapAttention = 2;
    // Any thread: have DebugHooks::onAttention called on the VM's thread at its next jump or call.
    void requestDebugAttention() { trap_.fetch_or(kTrapAttention, std::memory_order_release); }

    // VM thread only (before run, or inside a hook): line events for stepping, and breakpoints at the
    // start of a line-table entry. Both work by patching a Break instruction over the line's first opcode,
    // so a run without them pays nothing.
    void setLineEvents(bool on);
    bool lineEvents() const { return lineEvents_; }
    void setBreakAt(uint32_t pc, bool on);
    void clearBreaks();

    const RuntimeErrorInfo& error() const { return error_; }
    const Program& program() const { return program_; }
    void write(std::string_view text) {
        if (output_) output_(text);
    }
    Cell* globals() { return stack_.get(); }
    int callDepth() const { return int(depth_); }
    const rt::FormatSettings& formatSettings() const { return fs_; }
    void setFormatSettings(const rt::FormatSettings& fs) { fs_ = fs; }
    uint32_t randSeed = 0; // the generator behind Random and Randomize

private:
    struct Frame {
        const Routine* routine;
        Cell* base;
        const uint32_t* retIp; // the caller's Call instruction
        int staticLink;        // index of the enclosing routine's frame, -1 for none
    };

    bool execute();
    void enterMain();
    // Looks for a handler from the innermost frame outward. Returns false when none takes it.
    bool unwind(const uint32_t*& ip, Cell*& R, ExcObj* exc);
    // An exception is on its way: find its handler, or record it as the run's error (returns false).
    bool handOver(const uint32_t*& ip, Cell*& R, ExcObj* exc);
    void leaveFrame();
    void recordError(const uint32_t* ip, ExcObj* exc);
    Cell* outerFrame(int hops);
    void handleTrap(const uint32_t* ip);
    [[noreturn]] void stackOverflow();

    const Program& program_;
    std::vector<uint32_t> code_; // a private copy, so breakpoints can be patched in
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    // Both come zeroed from calloc: the pages are only touched as deep as a script goes.
    std::unique_ptr<Cell[], FreeDeleter> stack_;
    std::unique_ptr<Frame[], FreeDeleter> frames_;
    uint32_t depth_ = 0;
    std::vector<NativeFn> natives_;
    std::vector<std::string*> hostVars_;
    std::function<void(std::string_view)> output_;
    std::atomic<uint32_t> ownTrap_{0};
    std::atomic<uint32_t>& trap_;
    DebugHooks* hooks_ = nullptr;
    void patch(uint32_t pc);
    void unpatch(uint32_t pc);
    uint32_t breakHit(const uint32_t* ip); // calls the hooks; returns the original opcode

    std::vector<uint32_t> original_;     // per code word: the opcode under a Break, or kNotPatched
    std::vector<uint8_t> breakpoint_;    // per code word: a breakpoint stands here
    bool lineEvents_ = false;
    int lastLineIndex_ = -1;
    int lastLineDepth_ = 0;
    RuntimeErrorInfo error_;
    rt::FormatSettings fs_ = rt::FormatSettings::fromLocale();
};

struct StopRun {}; // thrown inside the VM to end a run that was asked to stop
struct ExcThrow {  // a script exception on its way to a handler; owns one reference
    ExcObj* exc;
};

} // namespace novrix::engine::vm
