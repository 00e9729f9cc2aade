#include "values.h"

#include <cmath>

#include "engine/runtime/script_error.h"
#include "engine/runtime/runtime.h"

namespace novrix::engine::vm {

using rt::ExcClass;
using rt::ScriptError;

namespace {

[[noreturn]] void invalidType() { throw ScriptError(ExcClass::EVariantError, "Invalid Type"); }

const VarBox* box(const Cell& c) { return static_cast<const VarBox*>(c.p); }
VarTag tagOf(const Cell& c) { return c.p ? box(c)->tag : VarTag::Empty; }


VarBox* makeInt(int64_t v) {
    bool fits = v >= INT32_MIN && v <= INT32_MAX;
    VarBox* b = varAlloc(fits ? VarTag::Integer : VarTag::Int64);
    b->v.i = v;
    return b;
}

VarBox* makeReal(double d) {
    VarBox* b = varAlloc(VarTag::Real);
    b->v.d = d;
    return b;
}

VarBox* makeStr(std::string_view s) {
    VarBox* b = varAlloc(VarTag::String);
    b->s = strMake(s);
    return b;
}

VarBox* makeBool(bool v) {
    VarBox* b = varAlloc(VarTag::Boolean);
    b->v.i = v ? 1 : 0;
    return b;
}

// A variant as a number: integers stay integers, text is parsed (as an integer when it is one).
struct Num {
    bool isReal;
    int64_t i;
    double d;
};

Num toNum(const Cell& c, const rt::FormatSettings& fs) {
    switch (tagOf(c)) {
    case VarTag::Empty: return {false, 0, 0};
    case VarTag::Null: invalidType();
    case VarTag::Integer: case VarTag::Int64: return {false, box(c)->v.i, 0};
    case VarTag::Boolean: return {false, box(c)->v.i ? -1 : 0, 0};
    case VarTag::Real: case VarTag::Date: return {true, 0, box(c)->v.d};
    case VarTag::String: {
        std::string_view s = strView(box(c)->s);
        int64_t i;
        if (rt::tryStrToInt64(s, i)) return {false, i, 0};
        try {
            return {true, 0, rt::strToFloat(s, fs)};
        } catch (const ScriptError&) {
            invalidType();
        }
    }
    }
    invalidType();
}

double toReal(const Num& n) { return n.isReal ? n.d : double(n.i); }

bool toBool(const Cell& c, const rt::FormatSettings& fs) {
    VarTag t = tagOf(c);
    if (t == VarTag::String) {
        std::string_view s = strView(box(c)->s);
        if (rt::sameText(s, "True")) return true;
        if (rt::sameText(s, "False")) return false;
    }
    Num n = toNum(c, fs);
    return n.isReal ? n.d != 0 : n.i != 0;
}

int compareVariants(const Cell& a, const Cell& b, const rt::FormatSettings& fs) {
    VarTag ta = tagOf(a), tb = tagOf(b);
    if (ta == VarTag::String && tb == VarTag::String) return strCompare(box(a)->s, box(b)->s);
    if (ta == VarTag::Empty && tb == VarTag::String) return strLen(box(b)->s) ? -1 : 0;
    if (tb == VarTag::Empty && ta == VarTag::String) return strLen(box(a)->s) ? 1 : 0;
    Num x = toNum(a, fs), y = toNum(b, fs);
    if (!x.isReal && !y.isReal) return x.i < y.i ? -1 : (x.i > y.i ? 1 : 0);
    double p = toReal(x), q = toReal(y);
    return p < q ? -1 : (p > q ? 1 : 0);
}

} // namespace

std::string variantToString(const VarBox* v, const rt::FormatSettings& fs) {
    if (!v) return {};
    switch (v->tag) {
    case VarTag::Empty: case VarTag::Null: return {};
    case VarTag::Integer: case VarTag::Int64: return std::to_string(v->v.i);
    case VarTag::Boolean: return v->v.i ? "True" : "False";
    case VarTag::Real: return rt::floatToStr(v->v.d, fs);
    case VarTag::Date: return rt::dateTimeToStr(v->v.d, fs);
    case VarTag::String: return std::string(strView(v->s));
    }
    return {};
}

void toVariant(Cell& dst, const Cell& src, ValKind kind) {
    VarBox* b = nullptr;
    switch (kind) {
    case ValKind::Integer: case ValKind::Cardinal: b = makeInt(src.i); break;
    case ValKind::Int64:
        b = varAlloc(VarTag::Int64);
        b->v.i = src.i;
        break;
    case ValKind::Real: b = makeReal(src.d); break;
    case ValKind::Single:
        b = makeReal(src.d);
        b->isSingle = true;
        break;
    case ValKind::Date: b = makeReal(src.d); b->tag = VarTag::Date; break;
    case ValKind::Boolean: b = makeBool(src.i != 0); break;
    case ValKind::Char: {
        char c = char(src.i);
        b = makeStr(std::string_view(&c, 1));
        break;
    }
    case ValKind::String: b = makeStr(strView(src.p)); break;
    case ValKind::Variant: assignManaged(dst, src.p); return;
    }
    moveManaged(dst, b);
}

void fromVariant(Cell& dst, const Cell& src, ValKind kind, const rt::FormatSettings& fs) {
    switch (kind) {
    case ValKind::Integer: {
        Num n = toNum(src, fs);
        int64_t v = n.isReal ? rt::roundBankers(n.d) : n.i;
        dst.i = int64_t(int32_t(uint32_t(uint64_t(v))));
        return;
    }
    case ValKind::Cardinal: {
        Num n = toNum(src, fs);
        dst.i = int64_t(uint32_t(uint64_t(n.isReal ? rt::roundBankers(n.d) : n.i)));
        return;
    }
    case ValKind::Int64: {
        Num n = toNum(src, fs);
        dst.i = n.isReal ? rt::roundBankers(n.d) : n.i;
        return;
    }
    case ValKind::Real: case ValKind::Date: dst.d = toReal(toNum(src, fs)); return;
    case ValKind::Single: dst.d = double(float(toReal(toNum(src, fs)))); return;
    case ValKind::Boolean: dst.i = toBool(src, fs) ? 1 : 0; return;
    case ValKind::Char: {
        if (tagOf(src) == VarTag::Null) invalidType();
        std::string s = variantToString(box(src), fs);
        dst.i = s.empty() ? 0 : uint8_t(s[0]);
        return;
    }
    case ValKind::String:
        if (tagOf(src) == VarTag::Null) invalidType();
        moveManaged(dst, strMake(variantToString(box(src), fs)));
        return;
    case ValKind::Variant: assignManaged(dst, src.p); return;
    }
}

void variantOp(Cell& dst, const Cell& a, const Cell& b, VarOpKind op, const rt::FormatSettings& fs) {
    uint32_t code = uint32_t(op);
    if (code >= uint32_t(VarOpKind::Cmp)) {
        VarTag ta = tagOf(a), tb = tagOf(b);
        int c;
        if (ta == VarTag::Null || tb == VarTag::Null)
            c = (ta == tb) ? 0 : (ta == VarTag::Null ? -1 : 1);
        else
            c = compareVariants(a, b, fs);
        bool r = false;
        switch (Rel(code - uint32_t(VarOpKind::Cmp))) {
        case Rel::Eq: r = c == 0; break;
        case Rel::Ne: r = c != 0; break;
        case Rel::Lt: r = c < 0; break;
        case Rel::Le: r = c <= 0; break;
        case Rel::Gt: r = c > 0; break;
        case Rel::Ge: r = c >= 0; break;
        }
        dst.i = r;
        return;
    }
    VarTag ta = tagOf(a), tb = tagOf(b);
    if (ta == VarTag::Null || tb == VarTag::Null) {
        moveManaged(dst, varAlloc(VarTag::Null));
        return;
    }
    if (op == VarOpKind::Not) {
        if (ta == VarTag::Boolean) {
            moveManaged(dst, makeBool(!box(a)->v.i));
            return;
        }
        Num n = toNum(a, fs);
        if (n.isReal) invalidType();
        moveManaged(dst, makeInt(~n.i));
        return;
    }
    if (op == VarOpKind::Neg) {
        Num n = toNum(a, fs);
        moveManaged(dst, n.isReal ? makeReal(-n.d) : makeInt(int64_t(0 - uint64_t(n.i))));
        return;
    }
    if (op == VarOpKind::Add && ta == VarTag::String && tb == VarTag::String) {
        VarBox* r = varAlloc(VarTag::String);
        r->s = strConcat(box(a)->s, box(b)->s);
        moveManaged(dst, r);
        return;
    }
    if ((op == VarOpKind::And || op == VarOpKind::Or || op == VarOpKind::Xor) && ta == VarTag::Boolean &&
        tb == VarTag::Boolean) {
        bool x = box(a)->v.i, y = box(b)->v.i;
        bool r = op == VarOpKind::And ? (x && y) : op == VarOpKind::Or ? (x || y) : (x != y);
        moveManaged(dst, makeBool(r));
        return;
    }
    Num x = toNum(a, fs), y = toNum(b, fs);
    bool real = x.isReal || y.isReal;
    switch (op) {
    case VarOpKind::Add: case VarOpKind::Sub: case VarOpKind::Mul:
        if (real) {
            double p = toReal(x), q = toReal(y);
            double r = op == VarOpKind::Add ? p + q : op == VarOpKind::Sub ? p - q : p * q;
            moveManaged(dst, makeReal(r));
        } else {
            uint64_t p = uint64_t(x.i), q = uint64_t(y.i);
            uint64_t r = op == VarOpKind::Add ? p + q : op == VarOpKind::Sub ? p - q : p * q;
            moveManaged(dst, makeInt(int64_t(r)));
        }
        return;
    case VarOpKind::RealDiv: {
        double q = toReal(y), p = toReal(x);
        if (q == 0) {
            if (p == 0 || std::isnan(p)) throw ScriptError(ExcClass::EInvalidOp, "Invalid Floating Point Operation");
            throw ScriptError(ExcClass::EZeroDivide, "Floating point division by zero");
        }
        moveManaged(dst, makeReal(p / q));
        return;
    }
    case VarOpKind::IntDiv: case VarOpKind::Mod: case VarOpKind::And: case VarOpKind::Or: case VarOpKind::Xor: {
        if (real) invalidType();
        int64_t p = x.i, q = y.i, r = 0;
        if ((op == VarOpKind::IntDiv || op == VarOpKind::Mod) && q == 0)
            throw ScriptError(ExcClass::EDivByZero, "Division by Zero");
        switch (op) {
        case VarOpKind::IntDiv: r = q == -1 ? int64_t(0 - uint64_t(p)) : p / q; break;
        case VarOpKind::Mod: r = q == -1 ? 0 : p % q; break;
        case VarOpKind::And: r = p & q; break;
        case VarOpKind::Or: r = p | q; break;
        default: r = p ^ q; break;
        }
        moveManaged(dst, makeInt(r));
        return;
    }
    default: invalidType();
    }
}

std::string formatForWrite(const Cell& v, ValKind kind, int64_t width, int64_t decimals,
                           const rt::FormatSettings& fs) {
    int w = width < 0 ? 0 : int(std::min<int64_t>(width, 4096));
    switch (kind) {
    case ValKind::Integer: case ValKind::Int64: case ValKind::Cardinal: return rt::writeInt(v.i, w);
    case ValKind::Real: case ValKind::Date: case ValKind::Single:
        if (width < 0) return rt::writeReal(v.d);
        if (decimals < 0) return rt::writeReal(v.d, w);
        return rt::writeReal(v.d, w, int(std::min<int64_t>(decimals, 4096)));
    case ValKind::Boolean: return rt::writeStr(v.i ? "TRUE" : "FALSE", w);
    case ValKind::Char: {
        char c = char(v.i);
        return rt::writeStr(std::string_view(&c, 1), w);
    }
    case ValKind::String: return rt::writeStr(strView(v.p), w);
    case ValKind::Variant: return rt::writeStr(variantToString(static_cast<const VarBox*>(v.p), fs), w);
    }
    return {};
}

} // namespace novrix::engine::vm
