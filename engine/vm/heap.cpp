#include "heap.h"

#include <algorithm>
#include <cstdlib>

#include "engine/runtime/script_error.h"

namespace novrix::engine::vm {

namespace {

// A script may ask for far more than the machine has; such requests fail as a script error long before
// the allocator is asked.
constexpr uint64_t kMaxBytes = uint64_t(1) << 31;

[[noreturn]] void outOfMemory() { throw rt::ScriptError(rt::ExcClass::EOutOfMemory, "Out of memory"); }

void* allocBytes(uint64_t bytes) {
    if (bytes >= kMaxBytes) outOfMemory();
    void* p = std::malloc(bytes);
    if (!p) outOfMemory();
    return p;
}

} // namespace

void releaseSlow(HeapObj* o) {
    switch (o->kind) {
    case HeapKind::String: break;
    case HeapKind::DynArray: {
        auto* a = static_cast<DynArr*>(o);
        if (a->elem && a->elem->hasManaged())
            for (uint32_t k = 0; k < a->len; ++k) releaseValue(a->data + size_t(k) * a->elemCells, *a->elem);
        break;
    }
    case HeapKind::Variant: release(static_cast<VarBox*>(o)->s); break;
    case HeapKind::Exception: release(static_cast<ExcObj*>(o)->message); break;
    }
    std::free(o);
}

void copyValue(Cell* dst, const Cell* src, const TypeDesc& td) {
    if (dst == src) return;
    if (!td.hasManaged()) {
        std::memmove(dst, src, sizeof(Cell) * td.cells);
        return;
    }
    for (uint32_t off : td.managed) retain(src[off].p);
    for (uint32_t off : td.managed) release(dst[off].p);
    std::memmove(dst, src, sizeof(Cell) * td.cells);
}

void releaseValue(Cell* v, const TypeDesc& td) {
    for (uint32_t off : td.managed) {
        release(v[off].p);
        v[off].p = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------------------

StrRep* strAlloc(uint32_t len, uint32_t cap) {
    cap = std::max(cap, len);
    auto* s = static_cast<StrRep*>(allocBytes(sizeof(StrRep) + uint64_t(cap)));
    s->rc = 1;
    s->kind = HeapKind::String;
    s->len = len;
    s->cap = cap;
    s->data[len] = 0;
    return s;
}

StrRep* strMake(std::string_view text) {
    if (text.empty()) return nullptr;
    if (text.size() >= kMaxBytes) outOfMemory();
    StrRep* s = strAlloc(uint32_t(text.size()));
    std::memcpy(s->data, text.data(), text.size());
    return s;
}

StrRep* strConcat(const void* a, const void* b) {
    uint64_t la = strLen(a), lb = strLen(b);
    if (la + lb == 0) return nullptr;
    if (la + lb >= kMaxBytes) outOfMemory();
    StrRep* s = strAlloc(uint32_t(la + lb));
    if (la) std::memcpy(s->data, static_cast<const StrRep*>(a)->data, la);
    if (lb) std::memcpy(s->data + la, static_cast<const StrRep*>(b)->data, lb);
    return s;
}

void strAppend(Cell& cell, std::string_view tail) {
    if (tail.empty()) return;
    auto* s = static_cast<StrRep*>(cell.p);
    uint64_t oldLen = s ? s->len : 0;
    uint64_t newLen = oldLen + tail.size();
    if (newLen >= kMaxBytes) outOfMemory();
    if (s && s->rc == 1 && newLen <= s->cap) {
        std::memcpy(s->data + oldLen, tail.data(), tail.size());
        s->len = uint32_t(newLen);
        s->data[newLen] = 0;
        return;
    }
    // The tail may live inside the old string: copy it before the old one goes away.
    uint64_t cap = std::max<uint64_t>(newLen, oldLen + oldLen / 2 + 16);
    if (cap >= kMaxBytes) cap = newLen;
    StrRep* n = strAlloc(uint32_t(newLen), uint32_t(cap));
    if (oldLen) std::memcpy(n->data, s->data, oldLen);
    std::memcpy(n->data + oldLen, tail.data(), tail.size());
    moveManaged(cell, n);
}

StrRep* strUnique(Cell& cell) {
    auto* s = static_cast<StrRep*>(cell.p);
    if (s->rc == 1) return s;
    StrRep* n = strAlloc(s->len);
    std::memcpy(n->data, s->data, s->len);
    moveManaged(cell, n);
    return n;
}

void strSetLength(Cell& cell, int64_t len) {
    if (len <= 0) {
        moveManaged(cell, nullptr);
        return;
    }
    if (uint64_t(len) >= kMaxBytes) outOfMemory();
    auto* s = static_cast<StrRep*>(cell.p);
    uint32_t keep = std::min<uint32_t>(strLen(s), uint32_t(len));
    if (s && s->rc == 1 && uint64_t(len) <= s->cap) {
        s->len = uint32_t(len);
        s->data[len] = 0;
        return;
    }
    StrRep* n = strAlloc(uint32_t(len));
    if (keep) std::memcpy(n->data, s->data, keep);
    std::memset(n->data + keep, 0, size_t(len - keep));
    moveManaged(cell, n);
}

int strCompare(const void* a, const void* b) {
    std::string_view x = strView(a), y = strView(b);
    size_t n = std::min(x.size(), y.size());
    int c = n ? std::memcmp(x.data(), y.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

bool strEqual(const void* a, const void* b) {
    if (a == b) return true;
    uint32_t la = strLen(a);
    if (la != strLen(b)) return false;
    return std::memcmp(static_cast<const StrRep*>(a)->data, static_cast<const StrRep*>(b)->data, la) == 0;
}

// ---------------------------------------------------------------------------------------------------------

DynArr* arrAlloc(uint32_t len, const TypeDesc* elem) {
    uint32_t ec = elem ? elem->cells : 1;
    uint64_t bytes = sizeof(DynArr) + uint64_t(len) * ec * sizeof(Cell);
    auto* a = static_cast<DynArr*>(allocBytes(bytes));
    a->rc = 1;
    a->kind = HeapKind::DynArray;
    a->len = len;
    a->elemCells = ec;
    a->elem = elem;
    std::memset(a->data, 0, uint64_t(len) * ec * sizeof(Cell));
    return a;
}

void arrSetLength(Cell& cell, int64_t len, const TypeDesc* elem) {
    if (len <= 0) {
        moveManaged(cell, nullptr);
        return;
    }
    if (uint64_t(len) * (elem ? elem->cells : 1) * sizeof(Cell) >= kMaxBytes) outOfMemory();
    auto* a = static_cast<DynArr*>(cell.p);
    DynArr* n = arrAlloc(uint32_t(len), elem);
    if (a) {
        uint32_t keep = std::min<uint32_t>(a->len, uint32_t(len));
        for (uint32_t k = 0; k < keep; ++k)
            copyValue(n->data + size_t(k) * n->elemCells, a->data + size_t(k) * a->elemCells,
                      elem ? *elem : TypeDesc{});
    }
    moveManaged(cell, n);
}

DynArr* arrCopy(const DynArr* a, int64_t from, int64_t count) {
    int64_t len = a ? a->len : 0;
    if (from < 0) from = 0;
    if (from > len) from = len;
    if (count > len - from) count = len - from;
    if (count <= 0) return nullptr;
    DynArr* n = arrAlloc(uint32_t(count), a->elem);
    for (int64_t k = 0; k < count; ++k)
        copyValue(n->data + k * n->elemCells, a->data + (from + k) * a->elemCells, *a->elem);
    return n;
}

VarBox* varAlloc(VarTag tag) {
    auto* v = static_cast<VarBox*>(allocBytes(sizeof(VarBox)));
    v->rc = 1;
    v->kind = HeapKind::Variant;
    v->tag = tag;
    v->isSingle = false;
    v->v.i = 0;
    v->s = nullptr;
    return v;
}

ExcObj* excMake(int classId, std::string_view message) {
    auto* e = static_cast<ExcObj*>(allocBytes(sizeof(ExcObj)));
    e->rc = 1;
    e->kind = HeapKind::Exception;
    e->classId = classId;
    e->message = strMake(message);
    e->raisedAt = -1;
    return e;
}

} // namespace novrix::engine::vm
