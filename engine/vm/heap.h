#pragma once
// Reference-counted values of the VM. A cell that holds a string, a dynamic array, a variant or an
// exception object holds a pointer to a HeapObj (nullptr is the empty string, the empty array, Unassigned).
// Every such object says what it is, so releasing a cell needs no type information.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::engine::vm {

struct TypeDesc;

union Cell {
    int64_t i;
    double d;
    void* p;
};
static_assert(sizeof(Cell) == 8);

enum class HeapKind : uint8_t { String, DynArray, Variant, Exception };

// Constants of the code live as long as the compiled program: their count never drops to zero.
inline constexpr uint32_t kImmortal = 0x40000000u;

struct HeapObj {
    uint32_t rc;
    HeapKind kind;
};

struct StrRep : HeapObj {
    uint32_t len;
    uint32_t cap;
    char data[1]; // len bytes followed by a zero byte
};

struct DynArr : HeapObj {
    uint32_t len;
    uint32_t elemCells;
    const TypeDesc* elem; // the element type (for releasing and copying managed elements)
    Cell data[1];
};

enum class VarTag : uint8_t { Empty, Null, Integer, Int64, Real, Boolean, String, Date };

struct VarBox : HeapObj {
    VarTag tag;
    bool isSingle; // a Real that came from a single-precision value
    Cell v;        // Integer/Int64/Boolean in i, Real/Date in d
    StrRep* s;     // String
};

struct ExcObj : HeapObj {
    int classId;
    StrRep* message;
    int64_t raisedAt; // code position where it was first raised, -1 before
};

// A description of a value type that occupies one or more cells, for copying and releasing values that
// hold managed cells (records, static arrays, array elements).
struct TypeDesc {
    uint32_t cells = 1;
    // Offsets (in cells) of the managed cells inside one value. Empty for plain data.
    std::vector<uint32_t> managed;
    bool hasManaged() const { return !managed.empty(); }
};

// ---------------------------------------------------------------------------------------------------------
// Reference counting

void releaseSlow(HeapObj* o);

inline void retain(void* p) {
    if (p) ++static_cast<HeapObj*>(p)->rc;
}
inline void release(void* p) {
    if (p && --static_cast<HeapObj*>(p)->rc == 0) releaseSlow(static_cast<HeapObj*>(p));
}
// Store a managed pointer into a cell that holds one: the new value is retained before the old one is
// released, so assigning a value to itself is safe.
inline void assignManaged(Cell& dst, void* src) {
    retain(src);
    void* old = dst.p;
    dst.p = src;
    release(old);
}
// Move an owned reference into a cell.
inline void moveManaged(Cell& dst, void* owned) {
    void* old = dst.p;
    dst.p = owned;
    release(old);
}

void copyValue(Cell* dst, const Cell* src, const TypeDesc& td); // value-type copy honouring managed cells
void releaseValue(Cell* v, const TypeDesc& td);                 // release managed cells and zero them

// ---------------------------------------------------------------------------------------------------------
// Strings

StrRep* strAlloc(uint32_t len, uint32_t cap = 0);  // rc 1, contents uninitialised, terminated
StrRep* strMake(std::string_view s);               // nullptr for an empty text
inline uint32_t strLen(const void* p) { return p ? static_cast<const StrRep*>(p)->len : 0; }
inline std::string_view strView(const void* p) {
    if (!p) return {};
    auto* s = static_cast<const StrRep*>(p);
    return {s->data, s->len};
}
StrRep* strConcat(const void* a, const void* b);
// Append to the string in `cell` in place when it is not shared and has room; grows geometrically.
void strAppend(Cell& cell, std::string_view tail);
// Make the string in `cell` unshared (copy on write) and return it; the cell must hold a non-empty string.
StrRep* strUnique(Cell& cell);
void strSetLength(Cell& cell, int64_t len);
int strCompare(const void* a, const void* b);
bool strEqual(const void* a, const void* b);

// ---------------------------------------------------------------------------------------------------------
// Dynamic arrays

DynArr* arrAlloc(uint32_t len, const TypeDesc* elem); // zeroed elements, rc 1
inline uint32_t arrLen(const void* p) { return p ? static_cast<const DynArr*>(p)->len : 0; }
// SetLength: keeps the contents that fit, zeroes new elements, makes the array unshared.
void arrSetLength(Cell& cell, int64_t len, const TypeDesc* elem);
DynArr* arrCopy(const DynArr* a, int64_t from, int64_t count); // Copy(a, from, count), clamped

// ---------------------------------------------------------------------------------------------------------
// Variants and exceptions

VarBox* varAlloc(VarTag tag);
ExcObj* excMake(int classId, std::string_view message);

} // namespace novrix::engine::vm
