#include "emitter.h"

namespace novrix::engine {

uint32_t Frame::temp(uint32_t cells, int kind, const std::vector<uint32_t>& managedOffsets) {
    auto& list = free_[{cells, kind}];
    uint32_t slot;
    if (!list.empty()) {
        slot = list.back();
        list.pop_back();
    } else {
        slot = reserve(cells);
        // A slot that once held a reference only ever holds references of that layout, so the frame
        // can release it at the routine's end whatever statement used it last.
        for (uint32_t off : managedOffsets) addManaged(slot + off);
    }
    inUse_.push_back({slot, cells, kind});
    return slot;
}

void Frame::release(size_t mark) {
    while (inUse_.size() > mark) {
        const Temp& t = inUse_.back();
        free_[{t.cells, t.kind}].push_back(t.slot);
        inUse_.pop_back();
    }
}

uint32_t Emitter::emit(vm::Op op, std::initializer_list<Opnd> operands) {
    uint32_t at = pc();
    prog_->code.push_back(uint32_t(op));
    for (const Opnd& o : operands) {
        if (o.isSlot && o.v >= kArgBase && o.v != kNoSlot) argFixups_.push_back(pc());
        prog_->code.push_back(o.v);
    }
    return at;
}

void Emitter::emitJump(vm::Op op, std::initializer_list<Opnd> operands, Label& target) {
    emit(op, operands);
    uint32_t where = pc();
    prog_->code.push_back(target.pos >= 0 ? uint32_t(target.pos) : 0);
    if (target.pos < 0) target.patches.push_back(where);
}

void Emitter::bind(Label& l) {
    l.pos = pc();
    for (uint32_t p : l.patches) prog_->code[p] = uint32_t(l.pos);
    l.patches.clear();
}

void Emitter::line(int row, int col, int file) {
    auto& entries = prog_->lines.entries;
    if (!entries.empty() && entries.back().pc == pc()) {
        entries.back() = {pc(), row, col, file};
        return;
    }
    entries.push_back({pc(), row, col, file});
}

void Emitter::truncate(size_t at) {
    prog_->code.resize(at);
    while (!argFixups_.empty() && argFixups_.back() >= at) argFixups_.pop_back();
}

uint32_t Emitter::finishRoutine(const Frame& frame) {
    uint32_t base = frame.size();
    for (uint32_t p : argFixups_) prog_->code[p] = prog_->code[p] - kArgBase + base;
    argFixups_.clear();
    return base + frame.argMax();
}

} // namespace novrix::engine
