#pragma once
// Code emission: the code buffer, jump labels, the line table, and the slots of the frame being
// compiled. Slots of the argument area (where calls put their arguments) are numbered from kArgBase
// until the routine is finished; then they are moved above all other slots of the frame.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <vector>

#include "engine/vm/opcodes.h"
#include "engine/vm/program.h"

namespace novrix::engine {

inline constexpr uint32_t kArgBase = 0x80000000u;
inline constexpr uint32_t kNoSlot = UINT32_MAX;

struct Reg {
    uint32_t slot = kNoSlot;
    bool valid() const { return slot != kNoSlot; }
    Reg operator+(uint32_t k) const { return {slot + k}; }
    bool operator==(const Reg& o) const { return slot == o.slot; }
};

struct Opnd {
    uint32_t v;
    bool isSlot;
    Opnd(Reg r) : v(r.slot), isSlot(true) {}
    Opnd(uint32_t x) : v(x), isSlot(false) {}
    Opnd(int x) : v(uint32_t(x)), isSlot(false) {}
    Opnd(int64_t x) : v(uint32_t(x)), isSlot(false) {}
};

struct Label {
    int64_t pos = -1;
    std::vector<uint32_t> patches;
};

// The slots of one routine's frame.
class Frame {
public:
    uint32_t reserve(uint32_t cells) {
        uint32_t s = next_;
        next_ += cells;
        return s;
    }
    void addManaged(uint32_t slot) { managed_.push_back(slot); }
    const std::vector<uint32_t>& managed() const { return managed_; }
    uint32_t size() const { return next_; }

    // Temporaries live until the end of the statement that made them (see mark/release).
    uint32_t temp(uint32_t cells, int kind, const std::vector<uint32_t>& managedOffsets);
    size_t mark() const { return inUse_.size(); }
    void release(size_t mark);

    // Argument areas nest: a call's arguments may hold further calls.
    uint32_t argAlloc(uint32_t cells) {
        uint32_t at = argTop_;
        argTop_ += cells;
        if (argTop_ > argMax_) argMax_ = argTop_;
        return kArgBase + at;
    }
    void argFree(uint32_t cells) { argTop_ -= cells; }
    uint32_t argMax() const { return argMax_; }

private:
    struct Temp {
        uint32_t slot, cells;
        int kind;
    };
    uint32_t next_ = 0;
    std::vector<uint32_t> managed_;
    std::vector<Temp> inUse_;
    std::map<std::pair<uint32_t, int>, std::vector<uint32_t>> free_;
    uint32_t argTop_ = 0, argMax_ = 0;
};

class Emitter {
public:
    explicit Emitter(vm::Program& prog) : prog_(&prog) {}
    void setProgram(vm::Program& prog) { prog_ = &prog; }

    uint32_t pc() const { return uint32_t(prog_->code.size()); }
    uint32_t emit(vm::Op op, std::initializer_list<Opnd> operands);
    // A jump whose last operand is the label's address.
    void emitJump(vm::Op op, std::initializer_list<Opnd> operands, Label& target);
    void bind(Label& l);
    void line(int row, int col, int file);
    // Throw away the code from `at` on (code compiled only to learn an expression's type).
    void truncate(size_t at);

    // Start and finish a routine's code: finishing moves the argument area above the frame's slots.
    void beginRoutine() { argFixups_.clear(); }
    uint32_t finishRoutine(const Frame& frame);

    vm::Program& program() { return *prog_; }

private:
    vm::Program* prog_;
    std::vector<uint32_t> argFixups_;
};

} // namespace novrix::engine
