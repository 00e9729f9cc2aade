#include "native_call.h"

#include "runtime/script_error.h"
#include "vm/values.h"
#include "vm/vm.h"

namespace novrix::engine {

using vm::Cell;

vm::Cell& NativeCall::cell(size_t k) const {
    const NativeParam& p = sig_.params.at(k);
    Cell& c = base_[p.offset];
    return p.byRef ? *static_cast<Cell*>(c.p) : c;
}

vm::Cell& NativeCall::resultCell() const { return base_[sig_.result.offset]; }

int64_t NativeCall::fit(const NativeParam& p, int64_t v) {
    switch (p.kind) {
    case NativeKind::Integer:
        if (p.bytes == 1) return int8_t(uint8_t(v));
        if (p.bytes == 2) return int16_t(uint16_t(v));
        return int32_t(uint32_t(uint64_t(v)));
    case NativeKind::Cardinal:
        if (p.bytes == 1) return uint8_t(v);
        if (p.bytes == 2) return uint16_t(v);
        return uint32_t(uint64_t(v));
    case NativeKind::Boolean: return v != 0;
    case NativeKind::Char: return uint8_t(v);
    default: return v;
    }
}

int64_t NativeCall::intArg(size_t k) const {
    const NativeParam& p = sig_.params.at(k);
    if (p.kind == NativeKind::Real) return int64_t(cell(k).d);
    return cell(k).i;
}

double NativeCall::realArg(size_t k) const {
    const NativeParam& p = sig_.params.at(k);
    if (p.kind == NativeKind::Real) return cell(k).d;
    return double(cell(k).i);
}

std::string_view NativeCall::strArg(size_t k) const { return vm::strView(cell(k).p); }

namespace {

NativeVariant fromBox(const vm::VarBox* b) {
    NativeVariant v;
    if (!b) return v;
    switch (b->tag) {
    case vm::VarTag::Empty: v.tag = NativeVariant::Tag::Empty; break;
    case vm::VarTag::Null: v.tag = NativeVariant::Tag::Null; break;
    case vm::VarTag::Integer: v.tag = NativeVariant::Tag::Integer; v.i = b->v.i; break;
    case vm::VarTag::Int64: v.tag = NativeVariant::Tag::Int64; v.i = b->v.i; break;
    case vm::VarTag::Real:
        v.tag = NativeVariant::Tag::Real;
        v.d = b->v.d;
        v.isSingle = b->isSingle;
        break;
    case vm::VarTag::Date: v.tag = NativeVariant::Tag::Date; v.d = b->v.d; break;
    case vm::VarTag::Boolean: v.tag = NativeVariant::Tag::Boolean; v.i = b->v.i; break;
    case vm::VarTag::String: v.tag = NativeVariant::Tag::String; v.s = std::string(vm::strView(b->s)); break;
    }
    return v;
}

vm::VarBox* toBox(const NativeVariant& v) {
    using T = NativeVariant::Tag;
    if (v.tag == T::Empty) return nullptr;
    static constexpr vm::VarTag kTags[] = {vm::VarTag::Empty,   vm::VarTag::Null, vm::VarTag::Integer,
                                           vm::VarTag::Int64,   vm::VarTag::Real, vm::VarTag::Boolean,
                                           vm::VarTag::String,  vm::VarTag::Date};
    vm::VarBox* b = vm::varAlloc(kTags[int(v.tag)]);
    if (v.tag == T::Real || v.tag == T::Date)
        b->v.d = v.d;
    else
        b->v.i = v.i;
    if (v.tag == T::String) b->s = vm::strMake(v.s);
    b->isSingle = v.tag == T::Real && v.isSingle;
    return b;
}

} // namespace

NativeVariant NativeCall::variantArg(size_t k) const { return fromBox(static_cast<const vm::VarBox*>(cell(k).p)); }

uint64_t NativeCall::setWord(size_t k, int word) const {
    const NativeParam& p = sig_.params.at(k);
    Cell* c = p.byRef ? static_cast<Cell*>(base_[p.offset].p) : &base_[p.offset];
    return uint64_t(c[word].i);
}

size_t NativeCall::arrayLength(size_t k) const {
    const NativeParam& p = sig_.params.at(k);
    return size_t(base_[p.offset + 1].i + 1);
}

namespace {
const Cell& elemCell(Cell* base, const NativeParam& p, size_t i) {
    if (int64_t(i) > base[p.offset + 1].i) throw rt::ScriptError(rt::ExcClass::ERangeError, "Out Of Range");
    return static_cast<const Cell*>(base[p.offset].p)[i];
}
} // namespace

int64_t NativeCall::intElem(size_t k, size_t i) const { return elemCell(base_, sig_.params.at(k), i).i; }
double NativeCall::realElem(size_t k, size_t i) const {
    const NativeParam& p = sig_.params.at(k);
    const Cell& c = elemCell(base_, p, i);
    return p.elem == NativeKind::Real ? c.d : double(c.i);
}
std::string_view NativeCall::strElem(size_t k, size_t i) const {
    return vm::strView(elemCell(base_, sig_.params.at(k), i).p);
}
NativeVariant NativeCall::variantElem(size_t k, size_t i) const {
    return fromBox(static_cast<const vm::VarBox*>(elemCell(base_, sig_.params.at(k), i).p));
}

void NativeCall::setInt(size_t k, int64_t v) {
    const NativeParam& p = sig_.params.at(k);
    if (p.kind == NativeKind::Real)
        cell(k).d = double(v);
    else
        cell(k).i = fit(p, v);
}

void NativeCall::setReal(size_t k, double v) {
    const NativeParam& p = sig_.params.at(k);
    if (p.kind == NativeKind::Real)
        cell(k).d = v;
    else
        cell(k).i = fit(p, int64_t(v));
}

void NativeCall::setStr(size_t k, std::string_view s) { vm::moveManaged(cell(k), vm::strMake(s)); }
void NativeCall::setVariant(size_t k, const NativeVariant& v) { vm::moveManaged(cell(k), toBox(v)); }

// The result cell held nothing before the call: references are stored, not assigned.
void NativeCall::returnInt(int64_t v) {
    if (sig_.result.kind == NativeKind::Real)
        resultCell().d = double(v);
    else
        resultCell().i = fit(sig_.result, v);
}
void NativeCall::returnReal(double v) {
    if (sig_.result.kind == NativeKind::Real)
        resultCell().d = v;
    else
        resultCell().i = fit(sig_.result, int64_t(v));
}
void NativeCall::returnStr(std::string_view s) { vm::moveManaged(resultCell(), vm::strMake(s)); }
void NativeCall::returnVariant(const NativeVariant& v) { vm::moveManaged(resultCell(), toBox(v)); }

void NativeCall::raise(const std::string& message) const {
    throw rt::ScriptError(rt::ExcClass::Exception, message);
}

bool NativeCall::stopRequested() const { return vm_.stopRequested(); }

} // namespace novrix::engine
