#include "vm.h"

#include <cmath>
#include <cstring>

#include "builtins.h"
#include "exceptions.h"
#include "values.h"

namespace novrix::engine::vm {

using rt::ExcClass;
using rt::ScriptError;

namespace {

[[noreturn]] void outOfRange() { throw ScriptError(ExcClass::ERangeError, "Out Of Range"); }
[[noreturn]] void divByZero() { throw ScriptError(ExcClass::EDivByZero, "Division by Zero"); }

inline int64_t wrapI(int64_t v) { return int64_t(int32_t(uint32_t(uint64_t(v)))); }
inline int64_t wrapU(int64_t v) { return int64_t(uint32_t(uint64_t(v))); }

inline bool setHas(const Cell* s, int64_t e) {
    if (e < 0 || e > 255) return false;
    return (uint64_t(s[e >> 6].i) >> (e & 63)) & 1;
}

} // namespace

VM::VM(const Program& program, std::atomic<uint32_t>* trap)
    : program_(program), code_(program.code), stack_(static_cast<Cell*>(std::calloc(kStackCells, sizeof(Cell)))),
      frames_(static_cast<Frame*>(std::calloc(kMaxFrames + 1, sizeof(Frame)))), trap_(trap ? *trap : ownTrap_),
      original_(program.code.size(), UINT32_MAX), breakpoint_(program.code.size(), 0) {
    if (!stack_ || !frames_) throw std::bad_alloc();
}

VM::~VM() {
    // Whatever a run left behind (it may have been abandoned by an exception of the host) is released.
    while (depth_ > 0) leaveFrame();
}

namespace {
constexpr uint32_t kNotPatched = UINT32_MAX;
}

void VM::patch(uint32_t pc) {
    if (original_[pc] != kNotPatched) return;
    original_[pc] = code_[pc];
    code_[pc] = uint32_t(Op::Break);
}

void VM::unpatch(uint32_t pc) {
    if (original_[pc] == kNotPatched) return;
    code_[pc] = original_[pc];
    original_[pc] = kNotPatched;
}

void VM::setLineEvents(bool on) {
    lineEvents_ = on;
    for (const LineEntry& le : program_.lines.entries) {
        if (on)
            patch(le.pc);
        else if (!breakpoint_[le.pc])
            unpatch(le.pc);
    }
}

void VM::setBreakAt(uint32_t pc, bool on) {
    if (pc >= code_.size()) return;
    breakpoint_[pc] = on;
    if (on)
        patch(pc);
    else if (!lineEvents_)
        unpatch(pc);
}

void VM::clearBreaks() {
    for (uint32_t pc = 0; pc < code_.size(); ++pc)
        if (breakpoint_[pc]) setBreakAt(pc, false);
}

uint32_t VM::breakHit(const uint32_t* ip) {
    uint32_t pc = uint32_t(ip - code_.data());
    uint32_t original = original_[pc];
    const LineEntry* le = program_.lines.find(pc);
    if (hooks_ && le) {
        int idx = int(le - program_.lines.entries.data());
        bool isBp = breakpoint_[pc];
        // A line reached again by a jump inside it (a loop on one line) is not a new line for stepping;
        // the same line in another call of the routine is.
        if (isBp || idx != lastLineIndex_ || callDepth() != lastLineDepth_) {
            lastLineIndex_ = idx;
            lastLineDepth_ = callDepth();
            hooks_->onLine(*this, *le, isBp, callDepth());
        }
    }
    if (trap_.load(std::memory_order_acquire) & kTrapStop) throw StopRun{};
    // The hook may have removed the patch; the instruction to run is the original either way.
    return original;
}

void VM::enterMain() {
    const Routine& main = program_.routines[0];
    std::memset(stack_.get(), 0, sizeof(Cell) * (main.frameSize + 64));
    // Initialised globals are set by the main block's first instructions.
    depth_ = 0;
    frames_[depth_++] = {&main, stack_.get(), nullptr, -1};
}

void VM::leaveFrame() {
    Frame& f = frames_[depth_ - 1];
    for (uint32_t s : f.routine->managedSlots) {
        release(f.base[s].p);
        f.base[s].p = nullptr;
    }
    --depth_;
}

Cell* VM::outerFrame(int hops) {
    int idx = int(depth_) - 1;
    for (int k = 0; k < hops && idx >= 0; ++k) idx = frames_[idx].staticLink;
    return idx >= 0 ? frames_[idx].base : stack_.get();
}

void VM::stackOverflow() { throw ScriptError(ExcClass::EStackOverflow, "Stack overflow"); }

void VM::recordError(const uint32_t* ip, ExcObj* exc) {
    uint32_t pc = uint32_t(ip - code_.data());
    error_ = {};
    error_.text = std::string(strView(exc->message));
    error_.cls = ExcClass(exc->classId);
    if (const LineEntry* le = program_.lines.find(pc)) {
        error_.row = le->row;
        error_.col = le->col;
        error_.file = le->file;
    }
    int r = program_.routineAt(pc);
    error_.proc = r < 0 ? 0 : r;
    error_.pos = r < 0 ? pc : pc - program_.routines[r].entry;
}

bool VM::unwind(const uint32_t*& ip, Cell*& R, ExcObj* exc) {
    while (depth_ > 0) {
        Frame& f = frames_[depth_ - 1];
        uint32_t pc = uint32_t(ip - code_.data());
        for (const Handler& h : f.routine->handlers) {
            if (pc < h.start || pc >= h.end) continue;
            if (h.isFinally) {
                f.base[h.slot].i = -1;
                moveManaged(f.base[h.slot + 1], exc);
            } else {
                moveManaged(f.base[h.slot], exc);
            }
            ip = code_.data() + h.handler;
            R = f.base;
            return true;
        }
        if (depth_ == 1) return false;
        ip = f.retIp;
        leaveFrame();
        R = frames_[depth_ - 1].base;
    }
    return false;
}

bool VM::handOver(const uint32_t*& ip, Cell*& R, ExcObj* exc) {
    // An error raised again (raise;, the end of a finally block) keeps the place where it first happened.
    if (exc->raisedAt < 0) exc->raisedAt = ip - code_.data();
    uint32_t at = uint32_t(exc->raisedAt);
    if (unwind(ip, R, exc)) return true;
    recordError(code_.data() + at, exc);
    release(exc);
    return false;
}

bool VM::run() {
    lastLineIndex_ = -1;
    enterMain();
    bool ok = execute();
    while (depth_ > 0) leaveFrame();
    return ok;
}

void VM::handleTrap(const uint32_t*) {
    uint32_t t = trap_.load(std::memory_order_acquire);
    if (t & kTrapStop) throw StopRun{};
    if (t & kTrapAttention) {
        trap_.fetch_and(~kTrapAttention, std::memory_order_acq_rel);
        if (hooks_) hooks_->onAttention(*this);
        if (trap_.load(std::memory_order_acquire) & kTrapStop) throw StopRun{};
    }
}

bool VM::execute() {
    const uint32_t* ip = code_.data() + program_.routines[0].entry;
    Cell* R = stack_.get();
    Cell* const stackEnd = stack_.get() + kStackCells;
#if !defined(__GNUC__)
    uint32_t opWord = 0;
#endif

#define A ip[1]
#define B ip[2]
#define C ip[3]
#define D ip[4]
#define E ip[5]
#define F ip[6]
#define TRAP()                                                                                             \
    do {                                                                                                   \
        if (trap_.load(std::memory_order_relaxed)) handleTrap(ip);                                         \
    } while (0)

#if defined(__GNUC__)
    static void* const kDispatch[] = {
#define NOVRIX_OP_LABEL(name, n, meaning) &&L_##name,
        NOVRIX_OPCODES(NOVRIX_OP_LABEL)
#undef NOVRIX_OP_LABEL
    };
#define DISPATCH() goto* kDispatch[*ip]
#define CASE(name) L_##name:
#define NEXT(n)                                                                                            \
    do {                                                                                                   \
        ip += (n) + 1;                                                                                     \
        DISPATCH();                                                                                        \
    } while (0)
#define JUMP_TO(target)                                                                                    \
    do {                                                                                                   \
        ip = code_.data() + (target);                                                                      \
        TRAP();                                                                                            \
        DISPATCH();                                                                                        \
    } while (0)
#else
#define DISPATCH() goto dispatch
#define CASE(name) case Op::name:
#define NEXT(n)                                                                                            \
    do {                                                                                                   \
        ip += (n) + 1;                                                                                     \
        goto dispatch;                                                                                     \
    } while (0)
#define JUMP_TO(target)                                                                                    \
    do {                                                                                                   \
        ip = code_.data() + (target);                                                                      \
        TRAP();                                                                                            \
        goto dispatch;                                                                                     \
    } while (0)
#endif

    for (;;) {
        try {
            TRAP();
#if defined(__GNUC__)
            DISPATCH();
#else
        dispatch:
            opWord = *ip;
        redispatch:
            switch (Op(opWord)) {
#endif

            CASE(Mov) { R[A] = R[B]; NEXT(2); }
            CASE(MovRef) { assignManaged(R[A], R[B].p); NEXT(2); }
            CASE(MovOwn) {
                if (A != B) {
                    moveManaged(R[A], R[B].p);
                    R[B].p = nullptr;
                }
                NEXT(2);
            }
            CASE(MovComp) { copyValue(&R[A], &R[B], *program_.typeTable[C]); NEXT(3); }
            CASE(InitRef) { R[A].p = R[B].p; retain(R[A].p); NEXT(2); }
            CASE(InitOwn) {
                R[A].p = R[B].p;
                if (A != B) R[B].p = nullptr;
                NEXT(2);
            }
            CASE(InitComp) {
                const TypeDesc& td = *program_.typeTable[C];
                std::memmove(&R[A], &R[B], sizeof(Cell) * td.cells);
                for (uint32_t off : td.managed) retain(R[A + off].p);
                NEXT(3);
            }
            CASE(LoadInt) { R[A].i = int64_t(uint64_t(B) | (uint64_t(C) << 32)); NEXT(3); }
            CASE(LoadReal) { R[A].d = program_.reals[B]; NEXT(2); }
            CASE(LoadStr) { assignManaged(R[A], program_.strings[B]); NEXT(2); }
            CASE(LoadNil) { moveManaged(R[A], nullptr); NEXT(1); }
            CASE(Zero) { std::memset(&R[A], 0, sizeof(Cell) * B); NEXT(2); }
            CASE(ClearComp) { releaseValue(&R[A], *program_.typeTable[B]); std::memset(&R[A], 0, sizeof(Cell) * program_.typeTable[B]->cells); NEXT(2); }

            CASE(AddrLocal) { R[A].p = &R[B]; NEXT(2); }
            CASE(AddrGlobal) { R[A].p = stack_.get() + B; NEXT(2); }
            CASE(AddrOuter) { R[A].p = outerFrame(int(B)) + C; NEXT(3); }
            CASE(LoadHost) {
                std::string* h = B < hostVars_.size() ? hostVars_[B] : nullptr;
                moveManaged(R[A], h ? strMake(*h) : nullptr);
                NEXT(2);
            }
            CASE(StoreHost) {
                if (std::string* h = A < hostVars_.size() ? hostVars_[A] : nullptr) *h = std::string(strView(R[B].p));
                NEXT(2);
            }
            CASE(LoadGlobal) { R[A] = stack_[B]; NEXT(2); }
            CASE(LoadGlobalRef) { assignManaged(R[A], stack_[B].p); NEXT(2); }
            CASE(StoreGlobal) { stack_[A] = R[B]; NEXT(2); }
            CASE(StoreGlobalRef) { assignManaged(stack_[A], R[B].p); NEXT(2); }
            CASE(LoadPtr) { R[A] = static_cast<Cell*>(R[B].p)[C]; NEXT(3); }
            CASE(LoadPtrRef) { assignManaged(R[A], static_cast<Cell*>(R[B].p)[C].p); NEXT(3); }
            CASE(LoadPtrComp) { copyValue(&R[A], static_cast<Cell*>(R[B].p) + C, *program_.typeTable[D]); NEXT(4); }
            CASE(StorePtr) { static_cast<Cell*>(R[A].p)[B] = R[C]; NEXT(3); }
            CASE(StorePtrRef) { assignManaged(static_cast<Cell*>(R[A].p)[B], R[C].p); NEXT(3); }
            CASE(StorePtrComp) { copyValue(static_cast<Cell*>(R[A].p) + B, &R[C], *program_.typeTable[D]); NEXT(4); }
            CASE(PtrAdd) { R[A].p = static_cast<Cell*>(R[B].p) + C; NEXT(3); }
            CASE(IndexPtr) {
                uint64_t k = uint64_t(R[C].i - int64_t(int32_t(D)));
                if (k >= E) outOfRange();
                R[A].p = static_cast<Cell*>(R[B].p) + k * F;
                NEXT(6);
            }
            CASE(IndexDyn) {
                auto* arr = static_cast<DynArr*>(R[B].p);
                uint64_t k = uint64_t(R[C].i);
                if (!arr || k >= arr->len) outOfRange();
                R[A].p = arr->data + k * D;
                NEXT(4);
            }
            CASE(IndexOpen) {
                uint64_t k = uint64_t(R[C].i);
                if (k > uint64_t(R[B + 1].i) || R[B + 1].i < 0) outOfRange();
                R[A].p = static_cast<Cell*>(R[B].p) + k * D;
                NEXT(4);
            }
            CASE(LoadElem) {
                uint64_t k = uint64_t(R[C].i - int64_t(int32_t(D)));
                if (k >= E) outOfRange();
                R[A] = R[B + k];
                NEXT(5);
            }
            CASE(StoreElem) {
                uint64_t k = uint64_t(R[B].i - int64_t(int32_t(C)));
                if (k >= D) outOfRange();
                R[A + k] = R[E];
                NEXT(5);
            }
            CASE(LoadPtrElem) {
                uint64_t k = uint64_t(R[C].i - int64_t(int32_t(D)));
                if (k >= E) outOfRange();
                R[A] = static_cast<Cell*>(R[B].p)[k];
                NEXT(5);
            }
            CASE(StorePtrElem) {
                uint64_t k = uint64_t(R[B].i - int64_t(int32_t(C)));
                if (k >= D) outOfRange();
                static_cast<Cell*>(R[A].p)[k] = R[E];
                NEXT(5);
            }
            CASE(LoadDyn) {
                auto* arr = static_cast<DynArr*>(R[B].p);
                uint64_t k = uint64_t(R[C].i);
                if (!arr || k >= arr->len) outOfRange();
                R[A] = arr->data[k];
                NEXT(3);
            }
            CASE(StoreDyn) {
                auto* arr = static_cast<DynArr*>(R[A].p);
                uint64_t k = uint64_t(R[B].i);
                if (!arr || k >= arr->len) outOfRange();
                arr->data[k] = R[C];
                NEXT(3);
            }

            CASE(AddI) { R[A].i = wrapI(R[B].i + R[C].i); NEXT(3); }
            CASE(SubI) { R[A].i = wrapI(R[B].i - R[C].i); NEXT(3); }
            CASE(MulI) { R[A].i = wrapI(int64_t(uint64_t(R[B].i) * uint64_t(R[C].i))); NEXT(3); }
            CASE(DivI) {
                int64_t d = R[C].i;
                if (d == 0) divByZero();
                R[A].i = wrapI(R[B].i / d);
                NEXT(3);
            }
            CASE(ModI) {
                int64_t d = R[C].i;
                if (d == 0) divByZero();
                R[A].i = wrapI(R[B].i % d);
                NEXT(3);
            }
            CASE(AddIK) { R[A].i = wrapI(R[B].i + int64_t(int32_t(C))); NEXT(3); }
            CASE(AddU) { R[A].i = wrapU(R[B].i + R[C].i); NEXT(3); }
            CASE(SubU) { R[A].i = wrapU(R[B].i - R[C].i); NEXT(3); }
            CASE(MulU) { R[A].i = wrapU(int64_t(uint64_t(R[B].i) * uint64_t(R[C].i))); NEXT(3); }
            CASE(DivU) {
                uint32_t d = uint32_t(R[C].i);
                if (d == 0) divByZero();
                R[A].i = int64_t(uint32_t(R[B].i) / d);
                NEXT(3);
            }
            CASE(ModU) {
                uint32_t d = uint32_t(R[C].i);
                if (d == 0) divByZero();
                R[A].i = int64_t(uint32_t(R[B].i) % d);
                NEXT(3);
            }
            CASE(AddL) { R[A].i = int64_t(uint64_t(R[B].i) + uint64_t(R[C].i)); NEXT(3); }
            CASE(SubL) { R[A].i = int64_t(uint64_t(R[B].i) - uint64_t(R[C].i)); NEXT(3); }
            CASE(MulL) { R[A].i = int64_t(uint64_t(R[B].i) * uint64_t(R[C].i)); NEXT(3); }
            CASE(DivL) {
                int64_t d = R[C].i;
                if (d == 0) divByZero();
                R[A].i = (d == -1) ? int64_t(0 - uint64_t(R[B].i)) : R[B].i / d;
                NEXT(3);
            }
            CASE(ModL) {
                int64_t d = R[C].i;
                if (d == 0) divByZero();
                R[A].i = (d == -1) ? 0 : R[B].i % d;
                NEXT(3);
            }
            CASE(AddLK) { R[A].i = int64_t(uint64_t(R[B].i) + uint64_t(int64_t(int32_t(C)))); NEXT(3); }
            CASE(NegI) { R[A].i = wrapI(int64_t(0 - uint64_t(R[B].i))); NEXT(2); }
            CASE(NegL) { R[A].i = int64_t(0 - uint64_t(R[B].i)); NEXT(2); }
            CASE(And) { R[A].i = R[B].i & R[C].i; NEXT(3); }
            CASE(Or) { R[A].i = R[B].i | R[C].i; NEXT(3); }
            CASE(Xor) { R[A].i = R[B].i ^ R[C].i; NEXT(3); }
            CASE(NotI) { R[A].i = wrapI(~R[B].i); NEXT(2); }
            CASE(NotU) { R[A].i = wrapU(~R[B].i); NEXT(2); }
            CASE(NotL) { R[A].i = ~R[B].i; NEXT(2); }
            CASE(NotB) { R[A].i = R[B].i ? 0 : 1; NEXT(2); }
            CASE(ShlI) { R[A].i = wrapI(int64_t(uint64_t(R[B].i) << (R[C].i & 31))); NEXT(3); }
            CASE(ShrI) { R[A].i = wrapI(int64_t(uint32_t(R[B].i) >> (R[C].i & 31))); NEXT(3); }
            CASE(ShlL) { R[A].i = int64_t(uint64_t(R[B].i) << (R[C].i & 63)); NEXT(3); }
            CASE(ShrL) { R[A].i = int64_t(uint64_t(R[B].i) >> (R[C].i & 63)); NEXT(3); }
            CASE(Trunc) {
                int64_t v = R[B].i;
                switch (C) {
                case 0: v = int64_t(uint8_t(v)); break;
                case 1: v = int64_t(int8_t(uint8_t(v))); break;
                case 2: v = int64_t(uint16_t(v)); break;
                case 3: v = int64_t(int16_t(uint16_t(v))); break;
                case 4: v = wrapI(v); break;
                default: v = wrapU(v); break;
                }
                R[A].i = v;
                NEXT(3);
            }
            CASE(CheckRange) {
                int64_t v = R[A].i;
                if (v < int64_t(int32_t(B)) || v > int64_t(int32_t(C))) outOfRange();
                NEXT(3);
            }

            CASE(AddF) { R[A].d = R[B].d + R[C].d; NEXT(3); }
            CASE(SubF) { R[A].d = R[B].d - R[C].d; NEXT(3); }
            CASE(MulF) { R[A].d = R[B].d * R[C].d; NEXT(3); }
            CASE(DivF) {
                double d = R[C].d;
                if (d == 0.0) {
                    double n = R[B].d;
                    if (n == 0.0 || std::isnan(n))
                        throw ScriptError(ExcClass::EInvalidOp, "Invalid Floating Point Operation");
                    throw ScriptError(ExcClass::EZeroDivide, "Floating point division by zero");
                }
                R[A].d = R[B].d / d;
                NEXT(3);
            }
            CASE(NegF) { R[A].d = -R[B].d; NEXT(2); }
            CASE(IntToF) { R[A].d = double(R[B].i); NEXT(2); }
            CASE(ToSingle) { R[A].d = double(float(R[B].d)); NEXT(2); }

            CASE(EqI) { R[A].i = R[B].i == R[C].i; NEXT(3); }
            CASE(NeI) { R[A].i = R[B].i != R[C].i; NEXT(3); }
            CASE(LtI) { R[A].i = R[B].i < R[C].i; NEXT(3); }
            CASE(LeI) { R[A].i = R[B].i <= R[C].i; NEXT(3); }
            CASE(EqF) { R[A].i = R[B].d == R[C].d; NEXT(3); }
            CASE(NeF) { R[A].i = R[B].d != R[C].d; NEXT(3); }
            CASE(LtF) { R[A].i = R[B].d < R[C].d; NEXT(3); }
            CASE(LeF) { R[A].i = R[B].d <= R[C].d; NEXT(3); }
            CASE(CmpS) {
                int c;
                switch (Rel(D)) {
                case Rel::Eq: R[A].i = strEqual(R[B].p, R[C].p); break;
                case Rel::Ne: R[A].i = !strEqual(R[B].p, R[C].p); break;
                case Rel::Lt: c = strCompare(R[B].p, R[C].p); R[A].i = c < 0; break;
                case Rel::Le: c = strCompare(R[B].p, R[C].p); R[A].i = c <= 0; break;
                case Rel::Gt: c = strCompare(R[B].p, R[C].p); R[A].i = c > 0; break;
                case Rel::Ge: c = strCompare(R[B].p, R[C].p); R[A].i = c >= 0; break;
                }
                NEXT(4);
            }

            CASE(Jump) { JUMP_TO(A); }
            CASE(JumpIfTrue) { if (R[A].i) JUMP_TO(B); NEXT(2); }
            CASE(JumpIfFalse) { if (!R[A].i) JUMP_TO(B); NEXT(2); }
            CASE(JumpLtI) { if (R[A].i < R[B].i) JUMP_TO(C); NEXT(3); }
            CASE(JumpLeI) { if (R[A].i <= R[B].i) JUMP_TO(C); NEXT(3); }
            CASE(JumpEqI) { if (R[A].i == R[B].i) JUMP_TO(C); NEXT(3); }
            CASE(JumpNeI) { if (R[A].i != R[B].i) JUMP_TO(C); NEXT(3); }
            CASE(JumpGeI) { if (R[A].i >= R[B].i) JUMP_TO(C); NEXT(3); }
            CASE(JumpGtI) { if (R[A].i > R[B].i) JUMP_TO(C); NEXT(3); }
            CASE(JumpLtIK) { if (R[A].i < int64_t(int32_t(B))) JUMP_TO(C); NEXT(3); }
            CASE(JumpLeIK) { if (R[A].i <= int64_t(int32_t(B))) JUMP_TO(C); NEXT(3); }
            CASE(JumpEqIK) { if (R[A].i == int64_t(int32_t(B))) JUMP_TO(C); NEXT(3); }
            CASE(JumpNeIK) { if (R[A].i != int64_t(int32_t(B))) JUMP_TO(C); NEXT(3); }
            CASE(JumpGeIK) { if (R[A].i >= int64_t(int32_t(B))) JUMP_TO(C); NEXT(3); }
            CASE(JumpGtIK) { if (R[A].i > int64_t(int32_t(B))) JUMP_TO(C); NEXT(3); }
            CASE(JumpLtF) { if (R[A].d < R[B].d) JUMP_TO(C); NEXT(3); }
            CASE(JumpLeF) { if (R[A].d <= R[B].d) JUMP_TO(C); NEXT(3); }
            CASE(JumpGeF) { if (!(R[A].d < R[B].d)) JUMP_TO(C); NEXT(3); }
            CASE(JumpGtF) { if (!(R[A].d <= R[B].d)) JUMP_TO(C); NEXT(3); }
            CASE(ForUp) {
                if (R[A].i < R[B].i) {
                    ++R[A].i;
                    JUMP_TO(C);
                }
                NEXT(3);
            }
            CASE(ForDown) {
                if (R[A].i > R[B].i) {
                    --R[A].i;
                    JUMP_TO(C);
                }
                NEXT(3);
            }

            CASE(Concat) { moveManaged(R[A], strConcat(R[B].p, R[C].p)); NEXT(3); }
            CASE(Append) {
                if (A == B) {
                    // s := s + s: the tail is the string itself.
                    StrRep* both = strConcat(R[A].p, R[A].p);
                    moveManaged(R[A], both);
                } else {
                    strAppend(R[A], strView(R[B].p));
                }
                NEXT(2);
            }
            CASE(AppendChar) {
                char c = char(R[B].i);
                strAppend(R[A], std::string_view(&c, 1));
                NEXT(2);
            }
            CASE(CharToStr) {
                char c = char(R[B].i);
                moveManaged(R[A], strMake(std::string_view(&c, 1)));
                NEXT(2);
            }
            CASE(StrLen) { R[A].i = strLen(R[B].p); NEXT(2); }
            CASE(StrChar) {
                auto* s = static_cast<StrRep*>(R[B].p);
                uint64_t k = uint64_t(R[C].i - 1);
                if (!s || k >= s->len) outOfRange();
                R[A].i = uint8_t(s->data[k]);
                NEXT(3);
            }
            CASE(StrSetChar) {
                Cell& cell = *static_cast<Cell*>(R[A].p);
                uint64_t k = uint64_t(R[B].i - 1);
                if (!cell.p || k >= static_cast<StrRep*>(cell.p)->len) outOfRange();
                strUnique(cell)->data[k] = char(R[C].i);
                NEXT(3);
            }

            CASE(SetIncl) {
                int64_t e = R[B].i;
                if (e < 0 || e > 255) outOfRange();
                R[A + (e >> 6)].i |= int64_t(uint64_t(1) << (e & 63));
                NEXT(2);
            }
            CASE(SetExcl) {
                int64_t e = R[B].i;
                if (e < 0 || e > 255) outOfRange();
                R[A + (e >> 6)].i &= ~int64_t(uint64_t(1) << (e & 63));
                NEXT(2);
            }
            CASE(SetInclRange) {
                int64_t lo = R[B].i, hi = R[C].i;
                if (lo <= hi && (lo < 0 || hi > 255)) outOfRange();
                for (int64_t e = lo; e <= hi; ++e) R[A + (e >> 6)].i |= int64_t(uint64_t(1) << (e & 63));
                NEXT(3);
            }
            CASE(SetIn) { R[A].i = setHas(&R[C], R[B].i); NEXT(3); }
            CASE(SetUnion) { for (int k = 0; k < 4; ++k) R[A + k].i = R[B + k].i | R[C + k].i; NEXT(3); }
            CASE(SetDiff) { for (int k = 0; k < 4; ++k) R[A + k].i = R[B + k].i & ~R[C + k].i; NEXT(3); }
            CASE(SetInter) { for (int k = 0; k < 4; ++k) R[A + k].i = R[B + k].i & R[C + k].i; NEXT(3); }
            CASE(SetEq) {
                bool eq = true;
                for (int k = 0; k < 4; ++k) eq = eq && R[B + k].i == R[C + k].i;
                R[A].i = eq;
                NEXT(3);
            }
            CASE(SetLe) {
                bool le = true;
                for (int k = 0; k < 4; ++k) le = le && (R[B + k].i & ~R[C + k].i) == 0;
                R[A].i = le;
                NEXT(3);
            }

            CASE(ArrSetLen) { arrSetLength(*static_cast<Cell*>(R[A].p), R[B].i, program_.typeTable[C]); NEXT(3); }
            CASE(StrSetLen) { strSetLength(*static_cast<Cell*>(R[A].p), R[B].i); NEXT(2); }
            CASE(ArrLen) { R[A].i = arrLen(R[B].p); NEXT(2); }
            CASE(MakeOpen) {
                auto* arr = static_cast<DynArr*>(R[B].p);
                R[A].p = arr ? arr->data : nullptr;
                R[A + 1].i = int64_t(arrLen(arr)) - 1;
                NEXT(3);
            }
            CASE(NewArray) {
                int64_t n = R[B].i;
                moveManaged(R[A], n > 0 ? arrAlloc(uint32_t(n), program_.typeTable[C]) : nullptr);
                NEXT(3);
            }

            CASE(Call) {
                const Routine& callee = program_.routines[A];
                Cell* base = R + B;
                if (base + callee.frameSize + 64 > stackEnd || depth_ >= kMaxFrames) stackOverflow();
                TRAP();
                // Reference cells start empty; the caller has set the parameters. Plain locals are left as
                // they are, as a compiled Pascal program leaves them.
                if (callee.zeroFrame)
                    std::memset(base + callee.paramCells, 0, sizeof(Cell) * (callee.frameSize - callee.paramCells));
                int link = -1;
                if (callee.level > 1) {
                    int callerLevel = frames_[depth_ - 1].routine->level;
                    link = int(depth_) - 1;
                    for (int k = callerLevel; k >= callee.level && link >= 0; --k) link = frames_[link].staticLink;
                }
                frames_[depth_++] = {&callee, base, ip, link};
                R = base;
                ip = code_.data() + callee.entry;
                DISPATCH();
            }
            CASE(CallBuiltin) { kBuiltins[A].fn(*this, R + B); NEXT(2); }
            CASE(CallNative) {
                if (A >= natives_.size() || !natives_[A])
                    throw ScriptError(ExcClass::Exception,
                                      "Could not call proc: " + (A < program_.nativeNames.size()
                                                                     ? program_.nativeNames[A]
                                                                     : std::string("?")));
                natives_[A](*this, R + B);
                NEXT(2);
            }
            CASE(Return) {
                if (depth_ == 1) return true;
                const Frame& f = frames_[depth_ - 1];
                const uint32_t* ret = f.retIp;
                if (f.routine->managedSlots.empty())
                    --depth_;
                else
                    leaveFrame();
                R = frames_[depth_ - 1].base;
                ip = ret;
                NEXT(2);
            }
            CASE(Halt) { return true; }

            CASE(NewExc) { moveManaged(R[A], excMake(int(B), strView(R[C].p))); NEXT(3); }
            CASE(Raise) {
                auto* e = static_cast<ExcObj*>(R[A].p);
                if (!e) throw ScriptError(ExcClass::Exception, "Access violation");
                retain(e);
                throw ExcThrow{e};
            }
            CASE(Reraise) {
                auto* e = static_cast<ExcObj*>(R[A].p);
                if (!e) throw ScriptError(ExcClass::Exception, "Re-raising exception only allowed in exception handler");
                retain(e);
                throw ExcThrow{e};
            }
            CASE(ExcIs) {
                auto* e = static_cast<ExcObj*>(R[B].p);
                R[A].i = e && classIsA(e->classId, int(C));
                NEXT(3);
            }
            CASE(ExcMessage) {
                auto* e = static_cast<ExcObj*>(R[B].p);
                assignManaged(R[A], e ? e->message : nullptr);
                NEXT(2);
            }
            CASE(ExcClassName) {
                auto* e = static_cast<ExcObj*>(R[B].p);
                moveManaged(R[A], strMake(e ? className(e->classId) : std::string_view()));
                NEXT(2);
            }
            CASE(SetFinally) { R[A].i = int64_t(B); NEXT(2); }
            CASE(EndFinally) {
                int64_t target = R[A].i;
                if (target == -1) {
                    auto* e = static_cast<ExcObj*>(R[A + 1].p);
                    R[A + 1].p = nullptr;
                    R[A].i = 0;
                    throw ExcThrow{e};
                }
                JUMP_TO(uint32_t(target));
            }

            CASE(VarOp) { variantOp(R[A], R[B], R[C], VarOpKind(D), fs_); NEXT(4); }
            CASE(ToVar) { toVariant(R[A], R[B], ValKind(C)); NEXT(3); }
            CASE(FromVar) { fromVariant(R[A], R[B], ValKind(C), fs_); NEXT(3); }

            CASE(Write) {
                int64_t width = C == UINT32_MAX ? -1 : R[C].i;
                int64_t dec = D == UINT32_MAX ? -1 : R[D].i;
                write(formatForWrite(R[A], ValKind(B), width, dec, fs_));
                NEXT(4);
            }
            CASE(WriteLn) { write("\n"); NEXT(0); }

            CASE(Break) {
                uint32_t original = breakHit(ip);
#if defined(__GNUC__)
                goto* kDispatch[original];
#else
                opWord = original;
                goto redispatch;
#endif
            }

#if !defined(__GNUC__)
            default: break;
            }
#endif
        } catch (StopRun&) {
            return true;
        } catch (ExcThrow& t) {
            if (!handOver(ip, R, t.exc)) return false;
        } catch (ScriptError& err) {
            if (!handOver(ip, R, excMake(int(err.cls), err.what()))) return false;
        } catch (std::bad_alloc&) {
            if (!handOver(ip, R, excMake(int(ExcClass::EOutOfMemory), "Out of memory"))) return false;
        }
    }
#undef A
#undef B
#undef C
#undef D
#undef E
#undef F
}

} // namespace novrix::engine::vm
