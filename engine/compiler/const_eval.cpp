// Constant expressions: folded at compile time for constant declarations, case labels, array bounds,
// default parameters, and wherever an expression happens to be constant.
#include <cmath>

#include "builtin_names.h"
#include "compiler_impl.h"

namespace novrix::engine {

using vm::Op;

namespace {

bool isStrLike(const ConstValue& v) {
    return v.type && (v.type->code == TypeCode::String || v.type->code == TypeCode::Char);
}
std::string strOf(const ConstValue& v) {
    if (v.type->code == TypeCode::Char) return std::string(1, char(v.i));
    return v.s;
}
double realOf(const ConstValue& v) { return v.type->isReal() ? v.d : double(v.i); }

int64_t wrapTo(IntKind k, int64_t v) {
    switch (k) {
    case IntKind::I32: return int64_t(int32_t(uint32_t(uint64_t(v))));
    case IntKind::U32: return int64_t(uint32_t(uint64_t(v)));
    case IntKind::I64: return v;
    }
    return v;
}

} // namespace

const Type* Compiler::commonArith(const Type* a, const Type* b) {
    TypeTable& T = *types_;
    IntKind ka = TypeTable::intKind(a), kb = TypeTable::intKind(b);
    if (ka == IntKind::I64 || kb == IntKind::I64) return T.int64T;
    if (ka == IntKind::U32 && kb == IntKind::U32) return T.cardinalT;
    if (ka == IntKind::U32 || kb == IntKind::U32) {
        // Cardinal with a signed operand is computed in 64 bits, unless the other is a non-negative
        // subrange (Byte, Word).
        const Type* other = ka == IntKind::U32 ? b : a;
        if (other->ordLow() >= 0) return T.cardinalT;
        return T.int64T;
    }
    return T.integerT;
}

bool Compiler::evalConst(const ast::Expr& e, ConstValue& out, bool report) {
    TypeTable& T = *types_;
    auto fail = [&](SourcePos pos) {
        if (report) error(pos, "Constant expression expected");
        return false;
    };
    switch (e.kind) {
    case ast::ExprKind::IntLit:
        out = {};
        out.i = e.intValue;
        out.type = (e.intValue >= INT32_MIN && e.intValue <= INT32_MAX) ? T.integerT : T.int64T;
        return true;
    case ast::ExprKind::RealLit:
        out = {};
        out.d = e.realValue;
        out.type = T.extendedT;
        return true;
    case ast::ExprKind::StrLit:
        out = {};
        if (e.strValue.size() == 1) {
            out.type = T.charT;
            out.i = uint8_t(e.strValue[0]);
        } else {
            out.type = T.stringT;
            out.s = e.strValue;
        }
        return true;
    case ast::ExprKind::Nil:
        out = {};
        out.type = T.nilT;
        out.isNil = true;
        return true;
    case ast::ExprKind::Name: {
        Symbol* s = lookup(e.name);
        if (s && s->kind == SymKind::Const) {
            out = s->constValue;
            return true;
        }
        if (s && s->kind == SymKind::Builtin) {
            static const std::vector<ast::ExprPtr> none;
            if (builtinConst(s->builtin, none, out)) return true;
        }
        if (!s && report) {
            error(e.pos, "Unknown identifier '" + e.name + "'");
            return false;
        }
        return fail(e.pos);
    }
    case ast::ExprKind::Call: {
        if (e.left->kind != ast::ExprKind::Name) return fail(e.pos);
        Symbol* s = lookup(e.left->name);
        if (!s) {
            if (report) error(e.left->pos, "Unknown identifier '" + e.left->name + "'");
            return false;
        }
        if (s->kind == SymKind::Builtin) {
            if (builtinConst(s->builtin, e.args, out)) return true;
            return fail(e.pos);
        }
        if (s->kind == SymKind::Type && e.args.size() == 1) {
            // A cast of a constant: Byte(300), Char(65), TColor(2), Integer('A').
            ConstValue v;
            if (!evalConst(*e.args[0], v, report)) return false;
            const Type* t = s->type;
            if (t->isOrdinal() && v.type && v.type->isOrdinal()) {
                out = {};
                out.type = t;
                out.i = t->isInteger() ? wrapTo(TypeTable::intKind(t), v.i) : v.i;
                if (t->ordinalBase()->code == TypeCode::Byte) out.i = uint8_t(v.i);
                if (t->ordinalBase()->code == TypeCode::Word) out.i = uint16_t(v.i);
                if (t->ordinalBase()->code == TypeCode::ShortInt) out.i = int8_t(v.i);
                if (t->ordinalBase()->code == TypeCode::SmallInt) out.i = int16_t(v.i);
                if (t->code == TypeCode::Char) out.i = uint8_t(v.i);
                return true;
            }
            if (t->isReal() && v.type && (v.type->isReal() || v.type->isInteger())) {
                out = {};
                out.type = t;
                out.d = realOf(v);
                return true;
            }
        }
        return fail(e.pos);
    }
    case ast::ExprKind::Unary: {
        ConstValue v;
        if (!evalConst(*e.left, v, report)) return false;
        if (e.op == ast::Op::Plus && v.type && (v.type->isInteger() || v.type->isReal())) {
            out = v;
            return true;
        }
        if (e.op == ast::Op::Minus && v.type) {
            out = v;
            if (v.type->isReal()) {
                out.d = -v.d;
                return true;
            }
            if (v.type->isInteger()) {
                const Type* t = commonArith(v.type, T.integerT);
                if (t == T.cardinalT) t = T.int64T;
                out.type = t;
                out.i = wrapTo(TypeTable::intKind(t), int64_t(0 - uint64_t(v.i)));
                // -2147483648 written as a literal is still an Integer.
                if (v.type == T.int64T && out.i >= INT32_MIN && out.i <= INT32_MAX) out.type = T.integerT;
                return true;
            }
        }
        if (e.op == ast::Op::Not && v.type) {
            out = v;
            if (v.type->ordinalBase()->code == TypeCode::Boolean) {
                out.i = v.i ? 0 : 1;
                return true;
            }
            if (v.type->isInteger()) {
                out.i = wrapTo(TypeTable::intKind(v.type), ~v.i);
                if (v.type->ordinalBase() != v.type) out.type = v.type->ordinalBase();
                return true;
            }
        }
        if (report) typeMismatch(e.pos);
        return false;
    }
    case ast::ExprKind::Binary: {
        ConstValue a, b;
        if (!evalConst(*e.left, a, report) || !evalConst(*e.right, b, report)) return false;
        if (!a.type || !b.type) return fail(e.pos);
        out = {};
        ast::Op op = e.op;
        // Strings and chars.
        if (isStrLike(a) && isStrLike(b)) {
            std::string x = strOf(a), y = strOf(b);
            switch (op) {
            case ast::Op::Add: out.type = T.stringT; out.s = x + y; return true;
            case ast::Op::Eq: out.type = T.booleanT; out.i = x == y; return true;
            case ast::Op::Ne: out.type = T.booleanT; out.i = x != y; return true;
            case ast::Op::Lt: out.type = T.booleanT; out.i = x < y; return true;
            case ast::Op::Le: out.type = T.booleanT; out.i = x <= y; return true;
            case ast::Op::Gt: out.type = T.booleanT; out.i = x > y; return true;
            case ast::Op::Ge: out.type = T.booleanT; out.i = x >= y; return true;
            default: break;
            }
        }
        // Sets.
        if (a.type->code == TypeCode::Set || b.type->code == TypeCode::Set) {
            if (op == ast::Op::In && a.type->isOrdinal() && b.type->code == TypeCode::Set) {
                out.type = T.booleanT;
                out.i = a.i >= 0 && a.i < 256 && ((b.set[size_t(a.i) >> 6] >> (a.i & 63)) & 1);
                return true;
            }
            if (a.type->code == TypeCode::Set && b.type->code == TypeCode::Set) {
                out.type = a.type->elem ? a.type : b.type;
                bool eq = true, le = true, ge = true;
                for (int k = 0; k < 4; ++k) {
                    switch (op) {
                    case ast::Op::Add: out.set[k] = a.set[k] | b.set[k]; break;
                    case ast::Op::Sub: out.set[k] = a.set[k] & ~b.set[k]; break;
                    case ast::Op::Mul: out.set[k] = a.set[k] & b.set[k]; break;
                    default: break;
                    }
                    eq = eq && a.set[k] == b.set[k];
                    le = le && (a.set[k] & ~b.set[k]) == 0;
                    ge = ge && (b.set[k] & ~a.set[k]) == 0;
                }
                if (op == ast::Op::Add || op == ast::Op::Sub || op == ast::Op::Mul) return true;
                out.type = T.booleanT;
                if (op == ast::Op::Eq) { out.i = eq; return true; }
                if (op == ast::Op::Ne) { out.i = !eq; return true; }
                if (op == ast::Op::Le) { out.i = le; return true; }
                if (op == ast::Op::Ge) { out.i = ge; return true; }
            }
            if (report) typeMismatch(e.pos);
            return false;
        }
        bool boolOps = a.type->ordinalBase()->code == TypeCode::Boolean &&
                       b.type->ordinalBase()->code == TypeCode::Boolean;
        if (boolOps && (op == ast::Op::And || op == ast::Op::Or || op == ast::Op::Xor)) {
            out.type = T.booleanT;
            out.i = op == ast::Op::And ? (a.i && b.i) : op == ast::Op::Or ? (a.i || b.i) : (a.i != b.i);
            return true;
        }
        bool ordinals = a.type->isOrdinal() && b.type->isOrdinal();
        if (ordinals && (op == ast::Op::Eq || op == ast::Op::Ne || op == ast::Op::Lt || op == ast::Op::Le ||
                         op == ast::Op::Gt || op == ast::Op::Ge)) {
            out.type = T.booleanT;
            switch (op) {
            case ast::Op::Eq: out.i = a.i == b.i; break;
            case ast::Op::Ne: out.i = a.i != b.i; break;
            case ast::Op::Lt: out.i = a.i < b.i; break;
            case ast::Op::Le: out.i = a.i <= b.i; break;
            case ast::Op::Gt: out.i = a.i > b.i; break;
            default: out.i = a.i >= b.i; break;
            }
            return true;
        }
        bool numA = a.type->isInteger() || a.type->isReal(), numB = b.type->isInteger() || b.type->isReal();
        if (!numA || !numB) {
            if (report) typeMismatch(e.pos);
            return false;
        }
        bool real = a.type->isReal() || b.type->isReal() || op == ast::Op::RealDiv;
        if (real) {
            double x = realOf(a), y = realOf(b);
            out.type = T.extendedT;
            switch (op) {
            case ast::Op::Add: out.d = x + y; return true;
            case ast::Op::Sub: out.d = x - y; return true;
            case ast::Op::Mul: out.d = x * y; return true;
            case ast::Op::RealDiv:
                if (y == 0) {
                    if (report) error(e.pos, "Division by zero");
                    return false;
                }
                out.d = x / y;
                return true;
            case ast::Op::Eq: out.type = T.booleanT; out.i = x == y; return true;
            case ast::Op::Ne: out.type = T.booleanT; out.i = x != y; return true;
            case ast::Op::Lt: out.type = T.booleanT; out.i = x < y; return true;
            case ast::Op::Le: out.type = T.booleanT; out.i = x <= y; return true;
            case ast::Op::Gt: out.type = T.booleanT; out.i = x > y; return true;
            case ast::Op::Ge: out.type = T.booleanT; out.i = x >= y; return true;
            default:
                if (report) typeMismatch(e.pos);
                return false;
            }
        }
        const Type* t = commonArith(a.type, b.type);
        IntKind k = TypeTable::intKind(t);
        uint64_t x = uint64_t(a.i), y = uint64_t(b.i);
        out.type = t;
        switch (op) {
        case ast::Op::Add: out.i = wrapTo(k, int64_t(x + y)); return true;
        case ast::Op::Sub: out.i = wrapTo(k, int64_t(x - y)); return true;
        case ast::Op::Mul: out.i = wrapTo(k, int64_t(x * y)); return true;
        case ast::Op::IntDiv:
        case ast::Op::Mod:
            if (b.i == 0) {
                if (report) error(e.pos, "Division by zero");
                return false;
            }
            if (k == IntKind::U32)
                out.i = op == ast::Op::IntDiv ? int64_t(uint32_t(x) / uint32_t(y)) : int64_t(uint32_t(x) % uint32_t(y));
            else if (b.i == -1)
                out.i = op == ast::Op::IntDiv ? wrapTo(k, int64_t(0 - x)) : 0;
            else
                out.i = wrapTo(k, op == ast::Op::IntDiv ? a.i / b.i : a.i % b.i);
            return true;
        case ast::Op::And: out.i = a.i & b.i; return true;
        case ast::Op::Or: out.i = a.i | b.i; return true;
        case ast::Op::Xor: out.i = a.i ^ b.i; return true;
        case ast::Op::Shl: out.i = wrapTo(k, int64_t(x << (b.i & (k == IntKind::I64 ? 63 : 31)))); return true;
        case ast::Op::Shr:
            out.i = k == IntKind::I64 ? int64_t(x >> (b.i & 63)) : wrapTo(k, int64_t(uint32_t(x) >> (b.i & 31)));
            return true;
        default:
            if (report) typeMismatch(e.pos);
            return false;
        }
    }
    case ast::ExprKind::SetCons: {
        out = {};
        const Type* elem = nullptr;
        for (const auto& el : e.args) {
            ConstValue lo, hi;
            if (el->kind == ast::ExprKind::Range) {
                if (!evalConst(*el->left, lo, report) || !evalConst(*el->right, hi, report)) return false;
            } else {
                if (!evalConst(*el, lo, report)) return false;
                hi = lo;
            }
            if (!lo.type || !lo.type->isOrdinal()) {
                if (report) typeMismatch(el->pos);
                return false;
            }
            elem = lo.type->ordinalBase();
            for (int64_t v = lo.i; v <= hi.i; ++v) {
                if (v < 0 || v > 255) {
                    if (report) error(el->pos, "Constant expression violates subrange bounds");
                    return false;
                }
                out.set[size_t(v) >> 6] |= uint64_t(1) << (v & 63);
            }
        }
        out.type = elem ? T.setOf(elem) : T.setOf(T.byteT);
        if (!elem) const_cast<Type*>(out.type)->elem = nullptr; // the empty set fits any set type
        return true;
    }
    default:
        return fail(e.pos);
    }
}

bool Compiler::convertConst(ConstValue& v, const Type* target, SourcePos pos, bool report) {
    TypeTable& T = *types_;
    if (!v.type || !target) return false;
    if (target->code == TypeCode::Variant) return true;
    if (target->isReal() && (v.type->isReal() || v.type->isInteger())) {
        v.d = realOf(v);
        if (target->code == TypeCode::Single) v.d = double(float(v.d));
        v.type = target;
        return true;
    }
    if (target->isOrdinal() && v.type->isOrdinal()) {
        if (!assignable(v.type, target, &v)) {
            if (report) typeMismatch(pos);
            return false;
        }
        if (target->isInteger()) v.i = wrapTo(TypeTable::intKind(target), v.i);
        v.type = target;
        return true;
    }
    if (target->code == TypeCode::String && isStrLike(v)) {
        v.s = strOf(v);
        v.type = T.stringT;
        return true;
    }
    if (target->code == TypeCode::Set && v.type->code == TypeCode::Set) {
        v.type = target;
        return true;
    }
    if (v.isNil && (target->code == TypeCode::DynArray || target->code == TypeCode::PChar ||
                    target->code == TypeCode::ClassRef))
        return true;
    if (report) typeMismatch(pos);
    return false;
}

bool Compiler::constInitializer(const ast::Expr& e, const Type* t, ConstValue& out) {
    if (t->code == TypeCode::StaticArray) {
        if (e.kind != ast::ExprKind::InitList) {
            error(e.pos, "'(' expected");
            return false;
        }
        if (int64_t(e.args.size()) != t->index->count()) {
            error(e.pos, "Number of elements differs from declaration");
            return false;
        }
        out = {};
        out.type = t;
        for (const auto& el : e.args) {
            ConstValue v;
            if (!constInitializer(*el, t->elem, v)) return false;
            out.elems.push_back(std::move(v));
        }
        return true;
    }
    if (t->code == TypeCode::Record) {
        if (e.kind != ast::ExprKind::InitList) {
            error(e.pos, "'(' expected");
            return false;
        }
        out = {};
        out.type = t;
        out.elems.resize(t->fields.size());
        for (size_t k = 0; k < t->fields.size(); ++k) out.elems[k].type = t->fields[k].type;
        for (const auto& el : e.args) {
            size_t k = 0;
            while (k < t->fields.size() && lower(t->fields[k].name) != lower(el->field.name)) ++k;
            if (k == t->fields.size()) {
                error(el->field.pos, "Unknown identifier '" + el->field.name + "'");
                return false;
            }
            if (!constInitializer(*el, t->fields[k].type, out.elems[k])) return false;
        }
        return true;
    }
    const ast::Expr* inner = &e;
    if (e.kind == ast::ExprKind::InitList && e.args.size() == 1 && e.args[0]->field.name.empty()) inner = e.args[0].get();
    if (!evalConst(*inner, out, true)) return false;
    return convertConst(out, t, inner->pos, true);
}

Val Compiler::materialize(const ConstValue& cv, Reg* dest) {
    TypeTable& T = *types_;
    Val v;
    v.type = cv.type;
    const Type* t = cv.type;
    if (t->code == TypeCode::Set) {
        v.reg = dest ? *dest : temp(t);
        for (uint32_t k = 0; k < 4; ++k) {
            uint64_t w = cv.set[k];
            em_.emit(Op::LoadInt, {v.reg + k, uint32_t(w), uint32_t(w >> 32)});
        }
        v.owned = !dest;
        return v;
    }
    if (t->code == TypeCode::String) {
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::LoadStr, {v.reg, prog_->addString(cv.s)});
        v.owned = true;
        return v;
    }
    if (t->isReal()) {
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::LoadReal, {v.reg, prog_->addReal(cv.d)});
        return v;
    }
    if (cv.isNil) {
        v.reg = dest ? *dest : temp(T.variantT);
        em_.emit(Op::LoadNil, {v.reg});
        v.owned = true;
        return v;
    }
    v.reg = dest ? *dest : temp(t);
    uint64_t w = uint64_t(cv.i);
    em_.emit(Op::LoadInt, {v.reg, uint32_t(w), uint32_t(w >> 32)});
    return v;
}

} // namespace novrix::engine
