#include "builtins.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "engine/runtime/runtime.h"
#include "values.h"

namespace novrix::engine::vm {

using rt::ExcClass;
using rt::ScriptError;

namespace {

// Results go into a cell that holds nothing yet: strings are stored without releasing.
void retStr(Cell* base, std::string_view s) { base[0].p = strMake(s); }
std::string_view argStr(Cell* base, int k) { return strView(base[k].p); }
Cell& refArg(Cell* base, int k) { return *static_cast<Cell*>(base[k].p); }

[[noreturn]] void invalidOp() { throw ScriptError(ExcClass::EInvalidOp, "Invalid Floating Point Operation"); }

double checkedResult(double r, double x) {
    if (std::isnan(r) && !std::isnan(x)) invalidOp();
    if (std::isinf(r) && !std::isinf(x)) throw ScriptError(ExcClass::EOverflow, "Floating point overflow");
    return r;
}

void bCopyStr(VM&, Cell* b) {
    std::string_view s = argStr(b, 1);
    int64_t index = b[2].i, count = b[3].i;
    int64_t from = index < 1 ? 0 : index - 1;
    int64_t len = int64_t(s.size());
    if (from >= len || count <= 0) {
        b[0].p = nullptr;
        return;
    }
    if (count > len - from) count = len - from;
    retStr(b, s.substr(size_t(from), size_t(count)));
}

void bCopyArr(VM&, Cell* b) {
    int64_t index = b[2].i < 0 ? 0 : b[2].i;
    b[0].p = arrCopy(static_cast<const DynArr*>(b[1].p), index, b[3].i);
}

void bPosStr(VM&, Cell* b) {
    std::string_view sub = argStr(b, 1), s = argStr(b, 2);
    if (sub.empty()) {
        b[0].i = 0;
        return;
    }
    size_t at = s.find(sub);
    b[0].i = at == std::string_view::npos ? 0 : int64_t(at) + 1;
}

void bDeleteStr(VM&, Cell* b) {
    Cell& cell = refArg(b, 1);
    int64_t len = strLen(cell.p), index = b[2].i, count = b[3].i;
    if (index < 1 || index > len || count <= 0) return;
    if (count > len - index + 1) count = len - index + 1;
    std::string s(strView(cell.p));
    s.erase(size_t(index - 1), size_t(count));
    moveManaged(cell, strMake(s));
}

void bInsertStr(VM&, Cell* b) {
    std::string src(argStr(b, 1));
    Cell& cell = refArg(b, 2);
    if (src.empty()) return;
    std::string s(strView(cell.p));
    int64_t index = b[3].i;
    if (index < 1) index = 1;
    if (index > int64_t(s.size()) + 1) index = int64_t(s.size()) + 1;
    s.insert(size_t(index - 1), src);
    moveManaged(cell, strMake(s));
}

void bStringOfChar(VM&, Cell* b) {
    int64_t n = b[2].i;
    if (n <= 0) {
        b[0].p = nullptr;
        return;
    }
    StrRep* s = strAlloc(uint32_t(std::min<int64_t>(n, INT32_MAX)));
    std::memset(s->data, int(uint8_t(b[1].i)), s->len);
    b[0].p = s;
}

void bUpCase(VM&, Cell* b) {
    int64_t c = b[1].i;
    b[0].i = (c >= 'a' && c <= 'z') ? c - 32 : c;
}

void bIntToStr(VM&, Cell* b) { retStr(b, rt::intToStr(b[1].i)); }
void bIntToHex(VM&, Cell* b) { retStr(b, rt::intToHex32(int32_t(uint32_t(uint64_t(b[1].i))), int(b[2].i))); }
void bIntToHex64(VM&, Cell* b) { retStr(b, rt::intToHex(b[1].i, int(b[2].i))); }
void bStrToInt(VM&, Cell* b) { b[0].i = rt::strToInt(argStr(b, 1)); }
void bStrToIntDef(VM&, Cell* b) { b[0].i = rt::strToIntDef(argStr(b, 1), b[2].i); }
void bStrToInt64(VM&, Cell* b) { b[0].i = rt::strToInt64(argStr(b, 1)); }
void bFloatToStr(VM& vm, Cell* b) { retStr(b, rt::floatToStr(b[1].d, vm.formatSettings())); }
void bStrToFloat(VM& vm, Cell* b) { b[0].d = rt::strToFloat(argStr(b, 1), vm.formatSettings()); }
void bStrToFloatDef(VM& vm, Cell* b) { b[0].d = rt::strToFloatDef(argStr(b, 1), b[2].d, vm.formatSettings()); }
void bFormatFloat(VM& vm, Cell* b) { retStr(b, rt::formatFloat(argStr(b, 1), b[2].d, vm.formatSettings())); }

void bFormat(VM& vm, Cell* b) {
    auto* items = static_cast<const Cell*>(b[2].p);
    int64_t high = b[3].i;
    std::vector<rt::FormatArg> args;
    for (int64_t k = 0; k <= high && items; ++k) {
        auto* v = static_cast<const VarBox*>(items[k].p);
        VarTag tag = v ? v->tag : VarTag::Empty;
        switch (tag) {
        case VarTag::Integer: args.push_back(rt::FormatArg::integer(int32_t(v->v.i))); break;
        case VarTag::Int64: args.push_back(rt::FormatArg::int64(v->v.i)); break;
        case VarTag::Real: case VarTag::Date: args.push_back(rt::FormatArg::real(v->v.d)); break;
        case VarTag::Boolean: args.push_back(rt::FormatArg::boolean(v->v.i != 0)); break;
        case VarTag::String: args.push_back(rt::FormatArg::string(std::string(strView(v->s)))); break;
        default: args.push_back(rt::FormatArg::string({})); break;
        }
    }
    retStr(b, rt::format(argStr(b, 1), args, vm.formatSettings()));
}

void bUpperCase(VM&, Cell* b) { retStr(b, rt::upperCase(argStr(b, 1))); }
void bLowerCase(VM&, Cell* b) { retStr(b, rt::lowerCase(argStr(b, 1))); }
void bTrim(VM&, Cell* b) { retStr(b, rt::trim(argStr(b, 1))); }
void bTrimLeft(VM&, Cell* b) { retStr(b, rt::trimLeft(argStr(b, 1))); }
void bTrimRight(VM&, Cell* b) { retStr(b, rt::trimRight(argStr(b, 1))); }
void bCompareStr(VM&, Cell* b) { b[0].i = rt::compareStr(argStr(b, 1), argStr(b, 2)); }
void bCompareText(VM&, Cell* b) { b[0].i = rt::compareText(argStr(b, 1), argStr(b, 2)); }
void bSameText(VM&, Cell* b) { b[0].i = rt::sameText(argStr(b, 1), argStr(b, 2)); }
void bQuotedStr(VM&, Cell* b) { retStr(b, rt::quotedStr(argStr(b, 1))); }

void bStringReplace(VM&, Cell* b) {
    // The flags are a set of (rfReplaceAll, rfIgnoreCase) in four cells.
    uint64_t flags = uint64_t(b[4].i);
    retStr(b, rt::stringReplace(argStr(b, 1), argStr(b, 2), argStr(b, 3), flags & 1, flags & 2));
}

void bBoolToStr(VM&, Cell* b) { retStr(b, rt::boolToStr(b[1].i != 0, b[2].i != 0)); }

// Val(s, v, code) into an integer variable, by the rules of its width.
template <void (*parse)(std::string_view, int64_t&, int&)>
void valInteger(VM&, Cell* b) {
    int64_t v = 0;
    int code = 0;
    parse(argStr(b, 1), v, code);
    refArg(b, 2).i = v;
    refArg(b, 3).i = code;
}

void bValInt(VM& vm, Cell* b) { valInteger<rt::valInt>(vm, b); }
void bValInt64(VM& vm, Cell* b) { valInteger<rt::valInt64>(vm, b); }

void bValReal(VM&, Cell* b) {
    double v = 0;
    int code = 0;
    rt::valReal(argStr(b, 1), v, code);
    refArg(b, 2).d = v;
    refArg(b, 3).i = code;
}

void bStrInt(VM&, Cell* b) {
    int width = b[2].i < 0 ? 0 : int(std::min<int64_t>(b[2].i, 4096));
    moveManaged(refArg(b, 3), strMake(rt::writeInt(b[1].i, width)));
}

void bStrReal(VM&, Cell* b) {
    std::string s;
    if (b[2].i < 0)
        s = rt::writeReal(b[1].d);
    else if (b[3].i < 0)
        s = rt::writeReal(b[1].d, int(std::min<int64_t>(b[2].i, 4096)));
    else
        s = rt::writeReal(b[1].d, int(std::min<int64_t>(b[2].i, 4096)), int(std::min<int64_t>(b[3].i, 4096)));
    moveManaged(refArg(b, 4), strMake(s));
}

void bSqrt(VM&, Cell* b) {
    if (b[1].d < 0) invalidOp();
    b[0].d = std::sqrt(b[1].d);
}
void bSin(VM&, Cell* b) { b[0].d = checkedResult(std::sin(b[1].d), b[1].d); }
void bCos(VM&, Cell* b) { b[0].d = checkedResult(std::cos(b[1].d), b[1].d); }
void bArcTan(VM&, Cell* b) { b[0].d = std::atan(b[1].d); }
void bExp(VM&, Cell* b) { b[0].d = checkedResult(std::exp(b[1].d), b[1].d); }
void bLn(VM&, Cell* b) {
    double x = b[1].d;
    if (x < 0 || std::isnan(x)) invalidOp();
    if (x == 0) throw ScriptError(ExcClass::EZeroDivide, "Floating point division by zero");
    b[0].d = std::log(x);
}
void bAbsF(VM&, Cell* b) { b[0].d = std::fabs(b[1].d); }
void bAbsI(VM&, Cell* b) {
    int64_t v = b[1].i;
    b[0].i = int64_t(int32_t(uint32_t(v < 0 ? 0 - uint64_t(v) : uint64_t(v))));
}
void bAbsL(VM&, Cell* b) {
    int64_t v = b[1].i;
    b[0].i = v < 0 ? int64_t(0 - uint64_t(v)) : v;
}

void bTrunc(VM&, Cell* b) {
    double x = b[1].d;
    if (std::isnan(x) || x >= 9223372036854775808.0 || x < -9223372036854775808.0) invalidOp();
    b[0].i = int64_t(x);
}
void bRound(VM&, Cell* b) { b[0].i = rt::roundBankers(b[1].d); }
void bInt(VM&, Cell* b) { b[0].d = std::trunc(b[1].d); }
void bFrac(VM&, Cell* b) { b[0].d = b[1].d - std::trunc(b[1].d); }

void bRandom(VM& vm, Cell* b) {
    vm.randSeed = vm.randSeed * 0x08088405u + 1;
    b[0].i = int64_t((uint64_t(vm.randSeed) * uint64_t(uint32_t(b[1].i))) >> 32);
}
void bRandomReal(VM& vm, Cell* b) {
    vm.randSeed = vm.randSeed * 0x08088405u + 1;
    b[0].d = double(vm.randSeed) / 4294967296.0;
}
void bRandomize(VM& vm, Cell*) {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    vm.randSeed = uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void bNow(VM&, Cell* b) { b[0].d = rt::now(); }
void bDate(VM&, Cell* b) { b[0].d = rt::date(); }
void bTime(VM&, Cell* b) { b[0].d = rt::time(); }
void bEncodeDate(VM&, Cell* b) { b[0].d = rt::encodeDate(int(b[1].i), int(b[2].i), int(b[3].i)); }
void bEncodeTime(VM&, Cell* b) { b[0].d = rt::encodeTime(int(b[1].i), int(b[2].i), int(b[3].i), int(b[4].i)); }
void bDecodeDate(VM&, Cell* b) {
    int y, m, d;
    rt::decodeDate(b[1].d, y, m, d);
    refArg(b, 2).i = y;
    refArg(b, 3).i = m;
    refArg(b, 4).i = d;
}
void bDecodeTime(VM&, Cell* b) {
    int h, n, s, ms;
    rt::decodeTime(b[1].d, h, n, s, ms);
    refArg(b, 2).i = h;
    refArg(b, 3).i = n;
    refArg(b, 4).i = s;
    refArg(b, 5).i = ms;
}
void bDayOfWeek(VM&, Cell* b) { b[0].i = rt::dayOfWeek(b[1].d); }
void bDateToStr(VM& vm, Cell* b) { retStr(b, rt::dateToStr(b[1].d, vm.formatSettings())); }
void bTimeToStr(VM& vm, Cell* b) { retStr(b, rt::timeToStr(b[1].d, vm.formatSettings())); }
void bDateTimeToStr(VM& vm, Cell* b) { retStr(b, rt::dateTimeToStr(b[1].d, vm.formatSettings())); }
void bFormatDateTime(VM& vm, Cell* b) { retStr(b, rt::formatDateTime(argStr(b, 1), b[2].d, vm.formatSettings())); }

void bSleep(VM& vm, Cell* b) {
    // Sleep in short slices so that Stop ends a long wait promptly.
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max<int64_t>(b[1].i, 0));
    for (;;) {
        if (vm.stopRequested()) throw StopRun{};
        auto now = std::chrono::steady_clock::now();
        if (now >= until) return;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(5)));
    }
}
void bGetTickCount(VM&, Cell* b) { b[0].i = int64_t(rt::getTickCount()); }

void bVarType(VM&, Cell* b) {
    auto* v = static_cast<const VarBox*>(b[1].p);
    int code = 0;
    switch (v ? v->tag : VarTag::Empty) {
    case VarTag::Empty: code = 0; break;
    case VarTag::Null: code = 1; break;
    case VarTag::Integer: code = 3; break;
    case VarTag::Real: code = v->isSingle ? 4 : 5; break;
    case VarTag::Date: code = 7; break;
    case VarTag::Boolean: code = 11; break;
    case VarTag::Int64: code = 20; break;
    case VarTag::String: code = 0x100; break;
    }
    b[0].i = code;
}
void bVarIsNull(VM&, Cell* b) {
    auto* v = static_cast<const VarBox*>(b[1].p);
    b[0].i = v && v->tag == VarTag::Null;
}
void bVarIsEmpty(VM&, Cell* b) {
    auto* v = static_cast<const VarBox*>(b[1].p);
    b[0].i = !v || v->tag == VarTag::Empty;
}
void bNull(VM&, Cell* b) { b[0].p = varAlloc(VarTag::Null); }
void bUnassigned(VM&, Cell* b) { b[0].p = nullptr; }

} // namespace

const BuiltinEntry kBuiltins[] = {
#define NOVRIX_BUILTIN_ENTRY(name) {#name, b##name},
    NOVRIX_BUILTINS(NOVRIX_BUILTIN_ENTRY)
#undef NOVRIX_BUILTIN_ENTRY
};

} // namespace novrix::engine::vm
