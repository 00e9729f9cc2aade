#pragma once
// What a host routine sees of one call from a script: its arguments typed as declared, its var/out
// parameters, its result, and the run's stop request. Host routines are registered with a declaration
// text (Engine::addDeclaration) and receive a NativeCall.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vm/heap.h"

namespace novrix::engine {

namespace vm {
class VM;
}

// How a value of a declared parameter or result is held.
enum class NativeKind : uint8_t {
    Integer,  // Integer, LongInt, SmallInt, ShortInt (signed)
    Cardinal, // Cardinal, LongWord, Word, Byte (unsigned), with their width in `bytes`
    Int64,
    Boolean,
    Char,
    Real,     // Double, Extended, Single, TDateTime
    String,
    PChar,
    Variant,
    Enum,
    Set,
    OpenArray, // array of T (elem says T)
    ArrayOfConst,
};

struct NativeParam {
    std::string name;
    std::string typeName;
    NativeKind kind = NativeKind::Integer;
    NativeKind elem = NativeKind::Integer; // OpenArray element
    uint8_t bytes = 4;                     // integer width for Cardinal/Integer kinds
    bool byRef = false;                    // var / out
    bool isOut = false;
    bool isConst = false;
    uint32_t offset = 0;                   // cell offset in the call's frame
};

struct NativeSignature {
    std::string name;
    std::vector<NativeParam> params;
    bool hasResult = false;
    NativeParam result;
};

// A script value of type Variant, as a host routine reads or writes it.
struct NativeVariant {
    enum class Tag { Empty, Null, Integer, Int64, Real, Boolean, String, Date } tag = Tag::Empty;
    int64_t i = 0;
    double d = 0;
    std::string s;
    bool isSingle = false; // a Real that came from a single-precision value
};

class NativeCall {
public:
    NativeCall(vm::VM& vm, vm::Cell* base, const NativeSignature& sig) : vm_(vm), base_(base), sig_(sig) {}

    const NativeSignature& signature() const { return sig_; }
    size_t argCount() const { return sig_.params.size(); }

    // Arguments (for var/out parameters: the variable's current value).
    int64_t intArg(size_t k) const;
    double realArg(size_t k) const; // integers are converted
    bool boolArg(size_t k) const { return intArg(k) != 0; }
    char charArg(size_t k) const { return char(intArg(k)); }
    std::string_view strArg(size_t k) const;
    NativeVariant variantArg(size_t k) const;
    uint64_t setWord(size_t k, int word) const; // 64 members of a set argument per word (0..3)

    // Open array arguments.
    size_t arrayLength(size_t k) const;
    int64_t intElem(size_t k, size_t i) const;
    double realElem(size_t k, size_t i) const;
    std::string_view strElem(size_t k, size_t i) const;
    NativeVariant variantElem(size_t k, size_t i) const; // array of const

    // var / out parameters.
    void setInt(size_t k, int64_t v);
    void setReal(size_t k, double v);
    void setBool(size_t k, bool v) { setInt(k, v ? 1 : 0); }
    void setChar(size_t k, char c) { setInt(k, uint8_t(c)); }
    void setStr(size_t k, std::string_view s);
    void setVariant(size_t k, const NativeVariant& v);

    // The result of a function.
    void returnInt(int64_t v);
    void returnReal(double v);
    void returnBool(bool v) { returnInt(v ? 1 : 0); }
    void returnChar(char c) { returnInt(uint8_t(c)); }
    void returnStr(std::string_view s);
    void returnVariant(const NativeVariant& v);

    // Ends the script with a run-time error carrying this message (it can be caught by try/except).
    [[noreturn]] void raise(const std::string& message) const;
    // True once the run was asked to stop: long waits return early.
    bool stopRequested() const;
    vm::VM& vm() { return vm_; }

private:
    vm::Cell& cell(size_t k) const;
    vm::Cell& resultCell() const;
    static int64_t fit(const NativeParam& p, int64_t v);

    vm::VM& vm_;
    vm::Cell* base_;
    const NativeSignature& sig_;
};

using NativeFn = std::function<void(NativeCall&)>;

} // namespace novrix::engine
