// Expressions: places (variables, elements, fields), values, operators, conversions and calls.
#include "builtin_names.h"
#include "compiler_impl.h"
#include "engine/vm/exceptions.h"

namespace novrix::engine {

using vm::Op;
using vm::ValKind;

namespace {

bool isPlain(const Type* t) { return !t->isManagedCell() && !t->isComposite() && t->cells == 1; }
bool isBool(const Type* t) { return t && t->ordinalBase()->code == TypeCode::Boolean; }
bool isChar(const Type* t) { return t && t->ordinalBase()->code == TypeCode::Char; }
bool isStrOrChar(const Type* t) { return t && (t->code == TypeCode::String || isChar(t)); }
bool isNumeric(const Type* t) { return t && (t->isInteger() || t->isReal()); }

// Trunc widths of the VM: 0 u8, 1 s8, 2 u16, 3 s16, 4 s32, 5 u32, -1 none.
int truncWidth(const Type* t) {
    switch (t->ordinalBase()->code) {
    case TypeCode::Byte: return 0;
    case TypeCode::ShortInt: return 1;
    case TypeCode::Word: return 2;
    case TypeCode::SmallInt: return 3;
    case TypeCode::Integer: return 4;
    case TypeCode::Cardinal: return 5;
    case TypeCode::Char: return 0;
    default: return -1;
    }
}

// Whether a value of integer type `from` may need cutting to fit `to`.
bool needsTrunc(const Type* from, const Type* to) {
    int w = truncWidth(to);
    if (w < 0) return false;
    const Type* f = from->ordinalBase();
    const Type* t = to->ordinalBase();
    if (f == t) return false;
    return from->ordLow() < t->ordLow() || from->ordHigh() > t->ordHigh();
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// helpers

uint32_t Compiler::typeDescIndex(const Type* t) {
    auto it = descIndex_.find(t);
    if (it != descIndex_.end()) return it->second;
    prog_->typeTable.push_back(&t->desc);
    uint32_t k = uint32_t(prog_->typeTable.size() - 1);
    descIndex_[t] = k;
    return k;
}

Reg Compiler::temp(const Type* t) {
    int kind = 0;
    if (t->isManagedCell())
        kind = 1;
    else if (t->desc.hasManaged())
        kind = 2 + int(typeDescIndex(t));
    return {ctx_->frame.temp(t->cells, kind, t->desc.managed)};
}

ValKind Compiler::valKind(const Type* t) {
    if (t == types_->dateTimeT) return ValKind::Date;
    switch (t->ordinalBase()->code) {
    case TypeCode::Int64: return ValKind::Int64;
    case TypeCode::Cardinal: return ValKind::Cardinal;
    case TypeCode::Boolean: return ValKind::Boolean;
    case TypeCode::Char: return ValKind::Char;
    case TypeCode::String: case TypeCode::PChar: return ValKind::String;
    case TypeCode::Variant: return ValKind::Variant;
    case TypeCode::Single: return ValKind::Single;
    case TypeCode::Double: case TypeCode::Extended: case TypeCode::Currency:
        return ValKind::Real;
    default: return ValKind::Integer;
    }
}

bool Compiler::assignable(const Type* from, const Type* to, const ConstValue* cv) {
    if (!from || !to) return false;
    if (from == to || sameType(from, to)) return true;
    if (to->code == TypeCode::Variant) return from->code != TypeCode::Void && !from->isComposite() &&
                                              from->code != TypeCode::DynArray;
    if (from->code == TypeCode::Variant)
        return to->isOrdinal() || to->isReal() || to->code == TypeCode::String;
    if (to->isInteger() && from->isInteger()) return true;
    if (to->isReal() && (from->isReal() || from->isInteger())) return true;
    if (to->code == TypeCode::String && (isStrOrChar(from) || from->code == TypeCode::PChar)) return true;
    if (to->code == TypeCode::PChar && (from->code == TypeCode::String || isChar(from) || from->code == TypeCode::Nil))
        return true;
    if (isChar(to) && isChar(from)) return true;
    if (isChar(to) && cv && cv->type && cv->type->code == TypeCode::String && cv->s.size() == 1) return true;
    if (isBool(to) && isBool(from)) return true;
    if (to->ordinalBase()->code == TypeCode::Enum && from->ordinalBase() == to->ordinalBase()) return true;
    if (to->code == TypeCode::Set && from->code == TypeCode::Set)
        return !from->elem || !to->elem || sameType(from->elem->ordinalBase(), to->elem->ordinalBase()) ||
               (from->elem->isInteger() && to->elem->isInteger());
    if (from->code == TypeCode::Nil &&
        (to->code == TypeCode::DynArray || to->code == TypeCode::ClassRef || to->code == TypeCode::PChar))
        return true;
    if (to->code == TypeCode::ClassRef && from->code == TypeCode::ClassRef) return vm::classIsA(from->classId, to->classId);
    if (to->code == TypeCode::DynArray && from->code == TypeCode::DynArray) return sameType(from->elem, to->elem);
    return false;
}

Val Compiler::coerce(Val v, const Type* target, SourcePos pos, Reg* dest, bool report) {
    TypeTable& T = *types_;
    if (!v.type || !target) return v;
    auto out = [&](const Type* t) { return dest ? *dest : temp(t); };
    auto moveTo = [&](Val x) {
        if (!dest || *dest == x.reg) return x;
        const Type* t = target;
        if (t->isManagedCell()) {
            em_.emit(x.owned ? Op::MovOwn : Op::MovRef, {*dest, x.reg});
        } else if (t->isComposite() || t->cells > 1) {
            em_.emit(Op::MovComp, {*dest, x.reg, typeDescIndex(t)});
        } else {
            em_.emit(Op::Mov, {*dest, x.reg});
        }
        x.reg = *dest;
        x.owned = t->isManagedCell();
        return x;
    };
    // A conversion writes a new value of the target type: into dest, or a fresh temporary.
    auto result = [&](bool owned) {
        Val r;
        r.type = target;
        r.reg = out(target);
        r.owned = owned;
        return r;
    };
    const Type* from = v.type;
    if (from == target || (sameType(from, target) && from->code != TypeCode::Enum)) {
        v.type = target;
        return moveTo(v);
    }
    if (target->code == TypeCode::Variant) {
        if (!assignable(from, target)) {
            if (report) typeMismatch(pos);
            return v;
        }
        Val r = result(true);
        em_.emit(Op::ToVar, {r.reg, v.reg, uint32_t(valKind(from))});
        return r;
    }
    if (from->code == TypeCode::Variant) {
        if (!assignable(from, target)) {
            if (report) typeMismatch(pos);
            return v;
        }
        Val r = result(target->isManagedCell());
        em_.emit(Op::FromVar, {r.reg, v.reg, uint32_t(valKind(target))});
        if (target->isInteger() && needsTrunc(T.integerT, target))
            em_.emit(Op::Trunc, {r.reg, r.reg, uint32_t(truncWidth(target))});
        return r;
    }
    if (target->isReal() && from->isInteger()) {
        Val r = result(false);
        em_.emit(Op::IntToF, {r.reg, v.reg});
        if (target->code == TypeCode::Single) em_.emit(Op::ToSingle, {r.reg, r.reg});
        return r;
    }
    if (target->isReal() && from->isReal()) {
        if (target->code == TypeCode::Single && from->code != TypeCode::Single) {
            Val r = result(false);
            em_.emit(Op::ToSingle, {r.reg, v.reg});
            return r;
        }
        v.type = target;
        return moveTo(v);
    }
    if (target->isInteger() && from->isInteger()) {
        if (needsTrunc(from, target)) {
            Val r = result(false);
            em_.emit(Op::Trunc, {r.reg, v.reg, uint32_t(truncWidth(target))});
            return r;
        }
        v.type = target;
        return moveTo(v);
    }
    if (target->code == TypeCode::String && isChar(from)) {
        Val r = result(true);
        em_.emit(Op::CharToStr, {r.reg, v.reg});
        return r;
    }
    if ((target->code == TypeCode::String && from->code == TypeCode::PChar) ||
        (target->code == TypeCode::PChar && from->code == TypeCode::String)) {
        v.type = target;
        return moveTo(v);
    }
    if (assignable(from, target)) {
        v.type = target;
        return moveTo(v);
    }
    if (report) typeMismatch(pos);
    return v;
}

// ---------------------------------------------------------------------------------------------------------
// places

Loc Compiler::varLoc(VarInfo* v) {
    v->used = true;
    Loc l;
    l.type = v->type;
    l.var = v;
    l.readOnly = v->readOnly;
    int level = ctx_->level;
    if (v->storage == Storage::Host) {
        l.kind = Loc::Kind::Host;
        l.slot = v->slot;
        return l;
    }
    if (v->storage == Storage::Global || v->level == 0) {
        l.kind = level == 0 ? Loc::Kind::Frame : Loc::Kind::Global;
        l.slot = v->slot;
        return l;
    }
    if (v->storage == Storage::Ref) {
        if (v->level == level) {
            l.kind = Loc::Kind::Ptr;
            l.slot = v->slot;
            return l;
        }
        Reg p = temp(types_->nilT);
        em_.emit(Op::AddrOuter, {p, uint32_t(level - v->level), v->slot});
        em_.emit(Op::LoadPtr, {p, p, 0});
        l.kind = Loc::Kind::Ptr;
        l.slot = p.slot;
        return l;
    }
    if (v->level == level) {
        l.kind = Loc::Kind::Frame;
        l.slot = v->slot;
        return l;
    }
    l.kind = Loc::Kind::Outer;
    l.hops = level - v->level;
    l.slot = v->slot;
    return l;
}

Reg Compiler::address(const Loc& loc, Reg* dest) {
    Reg p = dest ? *dest : temp(types_->nilT);
    switch (loc.kind) {
    case Loc::Kind::Frame: em_.emit(Op::AddrLocal, {p, Reg{loc.slot}}); break;
    case Loc::Kind::Global: em_.emit(Op::AddrGlobal, {p, loc.slot}); break;
    case Loc::Kind::Outer: em_.emit(Op::AddrOuter, {p, uint32_t(loc.hops), loc.slot}); break;
    case Loc::Kind::Ptr:
        if (loc.off == 0 && !dest) return Reg{loc.slot};
        em_.emit(Op::PtrAdd, {p, Reg{loc.slot}, loc.off});
        break;
    case Loc::Kind::FrameElem:
        em_.emit(Op::AddrLocal, {p, Reg{loc.slot}});
        em_.emit(Op::IndexPtr, {p, p, Reg{loc.idx}, uint32_t(loc.low), loc.len, 1});
        break;
    case Loc::Kind::DynElem: em_.emit(Op::IndexDyn, {p, Reg{loc.slot}, Reg{loc.idx}, 1}); break;
    case Loc::Kind::PtrElem:
        em_.emit(Op::IndexPtr, {p, Reg{loc.slot}, Reg{loc.idx}, uint32_t(loc.low), loc.len, 1});
        break;
    case Loc::Kind::StrChar:
    case Loc::Kind::Host:
    case Loc::Kind::None: break;
    }
    return p;
}

Loc Compiler::materializeLoc(const Loc& loc) {
    if (loc.kind == Loc::Kind::Ptr) return loc;
    Loc r = loc;
    r.kind = Loc::Kind::Ptr;
    r.slot = address(loc).slot;
    r.off = 0;
    return r;
}

Loc Compiler::fieldLoc(const Loc& base, const Field& f) {
    Loc l = base;
    l.type = f.type;
    l.var = nullptr;
    if (base.kind == Loc::Kind::Ptr)
        l.off = base.off + f.offset;
    else
        l.slot = base.slot + f.offset;
    return l;
}

Loc Compiler::indexLoc(const Loc& base, const ast::Expr& index, SourcePos pos) {
    TypeTable& T = *types_;
    const Type* t = base.type;
    Loc l;
    l.readOnly = base.readOnly;
    switch (t->code) {
    case TypeCode::StaticArray: {
        const Type* it = t->index;
        const Type* et = t->elem;
        int64_t low = it->ordLow();
        uint32_t len = uint32_t(it->count());
        ConstValue cv;
        if (evalConst(index, cv, false)) {
            if (!convertConst(cv, it->ordinalBase(), index.pos, true)) return {};
            if (cv.i < low || cv.i > it->ordHigh()) {
                error(index.pos, "Constant expression violates subrange bounds");
                return {};
            }
            l = base;
            l.type = et;
            l.var = nullptr;
            uint32_t off = uint32_t(cv.i - low) * et->cells;
            if (base.kind == Loc::Kind::Ptr)
                l.off += off;
            else
                l.slot += off;
            return l;
        }
        Val iv = expr(index);
        if (!assignable(iv.type, it->ordinalBase()) && !(iv.type && iv.type->isInteger() && it->isInteger())) {
            typeMismatch(index.pos);
            return {};
        }
        if (base.kind == Loc::Kind::Frame && isPlain(et)) {
            l.kind = Loc::Kind::FrameElem;
            l.type = et;
            l.slot = base.slot;
            l.idx = iv.reg.slot;
            l.low = low;
            l.len = len;
            return l;
        }
        Reg p = address(base);
        if (isPlain(et)) {
            l.kind = Loc::Kind::PtrElem;
            l.type = et;
            l.slot = p.slot;
            l.idx = iv.reg.slot;
            l.low = low;
            l.len = len;
            return l;
        }
        Reg q = temp(T.nilT);
        em_.emit(Op::IndexPtr, {q, p, iv.reg, uint32_t(low), len, et->cells});
        l.kind = Loc::Kind::Ptr;
        l.type = et;
        l.slot = q.slot;
        return l;
    }
    case TypeCode::DynArray: {
        Val arr = load(base);
        Val iv = exprTo(index, T.integerT);
        const Type* et = t->elem;
        if (isPlain(et)) {
            l.kind = Loc::Kind::DynElem;
            l.type = et;
            l.slot = arr.reg.slot;
            l.idx = iv.reg.slot;
            return l;
        }
        Reg q = temp(T.nilT);
        em_.emit(Op::IndexDyn, {q, arr.reg, iv.reg, et->cells});
        l.kind = Loc::Kind::Ptr;
        l.type = et;
        l.slot = q.slot;
        return l;
    }
    case TypeCode::OpenArray:
    case TypeCode::ArrayOfConst: {
        Reg pair;
        if (base.kind == Loc::Kind::Frame) {
            pair = Reg{base.slot};
        } else {
            Reg p = address(base);
            pair = Reg{ctx_->frame.temp(2, 0, {})};
            em_.emit(Op::LoadPtr, {pair, p, 0});
            em_.emit(Op::LoadPtr, {pair + 1, p, 1});
        }
        Val iv = exprTo(index, T.integerT);
        const Type* et = t->code == TypeCode::OpenArray ? t->elem : T.variantT;
        Reg q = temp(T.nilT);
        em_.emit(Op::IndexOpen, {q, pair, iv.reg, et->cells});
        l.kind = Loc::Kind::Ptr;
        l.type = et;
        l.slot = q.slot;
        l.readOnly = base.readOnly;
        return l;
    }
    case TypeCode::String: {
        Reg p = address(base);
        Val iv = exprTo(index, T.integerT);
        l.kind = Loc::Kind::StrChar;
        l.type = T.charT;
        l.slot = p.slot;
        l.idx = iv.reg.slot;
        return l;
    }
    default:
        error(pos, "Array type required");
        return {};
    }
}

bool Compiler::nameLoc(const std::string& name, SourcePos pos, Loc& out) {
    std::string key = lower(name);
    for (size_t k = withs_.size(); k-- > 0;) {
        const WithContext& w = withs_[k];
        for (const Field& f : w.recordType->fields)
            if (lower(f.name) == key) {
                out = fieldLoc(w.base, f);
                return true;
            }
    }
    Symbol* s = lookup(name);
    if (!s) {
        error(pos, "Unknown identifier '" + name + "'");
        return false;
    }
    if (s->kind == SymKind::Var) {
        out = varLoc(s->var);
        return true;
    }
    // Assigning to the function's own name sets its result.
    if (s->kind == SymKind::Routine) {
        for (RoutineContext* c = ctx_; c; c = nullptr)
            if (c->info && c->info->result && lower(c->info->name) == key) {
                out.kind = Loc::Kind::Frame;
                out.type = c->info->result;
                out.slot = c->resultSlot;
                return true;
            }
    }
    error(pos, "Variable expected");
    return false;
}

bool Compiler::lvalue(const ast::Expr& e, Loc& out, bool report) {
    switch (e.kind) {
    case ast::ExprKind::Name:
        if (!report) {
            Symbol* s = lookup(e.name);
            bool withField = false;
            for (const auto& w : withs_)
                for (const Field& f : w.recordType->fields) withField = withField || lower(f.name) == lower(e.name);
            if (!withField && (!s || s->kind != SymKind::Var)) return false;
        }
        return nameLoc(e.name, e.pos, out);
    case ast::ExprKind::Member: {
        Loc base;
        if (!lvalue(*e.left, base, report)) return false;
        if (base.type->code != TypeCode::Record) {
            if (report) error(e.namePos, "Record type required");
            return false;
        }
        for (const Field& f : base.type->fields)
            if (lower(f.name) == lower(e.name)) {
                out = fieldLoc(base, f);
                return true;
            }
        if (report) error(e.namePos, "Unknown identifier '" + e.name + "'");
        return false;
    }
    case ast::ExprKind::Index: {
        Loc base;
        if (!lvalue(*e.left, base, report)) return false;
        if (base.kind == Loc::Kind::Host) {
            // A host variable is read whole; its characters are read from the copy.
            Val v = load(base);
            base.kind = Loc::Kind::Frame;
            base.slot = v.reg.slot;
            base.readOnly = true;
        }
        for (const auto& idx : e.args) {
            if (base.kind == Loc::Kind::None) return false;
            if (base.kind == Loc::Kind::FrameElem || base.kind == Loc::Kind::DynElem ||
                base.kind == Loc::Kind::PtrElem || base.kind == Loc::Kind::StrChar) {
                if (report) error(idx->pos, "Array type required");
                return false;
            }
            base = indexLoc(base, *idx, e.pos);
        }
        out = base;
        return out.kind != Loc::Kind::None;
    }
    default:
        if (report) error(e.pos, "Variable expected");
        return false;
    }
}

Val Compiler::load(const Loc& loc, Reg* dest) {
    const Type* t = loc.type;
    Val v;
    v.type = t;
    bool managed = t->isManagedCell();
    bool comp = !managed && (t->isComposite() || t->cells > 1);
    switch (loc.kind) {
    case Loc::Kind::Frame:
        v.reg = Reg{loc.slot};
        if (dest && !(*dest == v.reg)) {
            if (managed)
                em_.emit(Op::MovRef, {*dest, v.reg});
            else if (comp)
                em_.emit(Op::MovComp, {*dest, v.reg, typeDescIndex(t)});
            else
                em_.emit(Op::Mov, {*dest, v.reg});
            v.reg = *dest;
            v.owned = managed;
        }
        return v;
    case Loc::Kind::Global:
        v.reg = dest ? *dest : temp(t);
        if (managed)
            em_.emit(Op::LoadGlobalRef, {v.reg, loc.slot});
        else if (comp) {
            Reg p = temp(types_->nilT);
            em_.emit(Op::AddrGlobal, {p, loc.slot});
            em_.emit(Op::LoadPtrComp, {v.reg, p, 0, typeDescIndex(t)});
        } else
            em_.emit(Op::LoadGlobal, {v.reg, loc.slot});
        v.owned = managed;
        return v;
    case Loc::Kind::Outer: return load(materializeLoc(loc), dest);
    case Loc::Kind::Ptr:
        v.reg = dest ? *dest : temp(t);
        if (managed)
            em_.emit(Op::LoadPtrRef, {v.reg, Reg{loc.slot}, loc.off});
        else if (comp)
            em_.emit(Op::LoadPtrComp, {v.reg, Reg{loc.slot}, loc.off, typeDescIndex(t)});
        else
            em_.emit(Op::LoadPtr, {v.reg, Reg{loc.slot}, loc.off});
        v.owned = managed;
        return v;
    case Loc::Kind::FrameElem:
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::LoadElem, {v.reg, Reg{loc.slot}, Reg{loc.idx}, uint32_t(loc.low), loc.len});
        return v;
    case Loc::Kind::DynElem:
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::LoadDyn, {v.reg, Reg{loc.slot}, Reg{loc.idx}});
        return v;
    case Loc::Kind::PtrElem:
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::LoadPtrElem, {v.reg, Reg{loc.slot}, Reg{loc.idx}, uint32_t(loc.low), loc.len});
        return v;
    case Loc::Kind::Host:
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::LoadHost, {v.reg, loc.slot});
        v.owned = true;
        return v;
    case Loc::Kind::StrChar: {
        Reg s = temp(types_->nilT);
        em_.emit(Op::LoadPtr, {s, Reg{loc.slot}, 0});
        v.reg = dest ? *dest : temp(t);
        em_.emit(Op::StrChar, {v.reg, s, Reg{loc.idx}});
        return v;
    }
    case Loc::Kind::None: break;
    }
    v.reg = dest ? *dest : temp(t);
    return v;
}

void Compiler::store(const Loc& loc, Val v, SourcePos pos) {
    const Type* t = loc.type;
    if (!t || !v.reg.valid()) return;
    (void)pos;
    bool managed = t->isManagedCell();
    bool comp = !managed && (t->isComposite() || t->cells > 1);
    switch (loc.kind) {
    case Loc::Kind::Frame:
        if (v.reg.slot == loc.slot) return;
        if (managed)
            em_.emit(v.owned ? Op::MovOwn : Op::MovRef, {Reg{loc.slot}, v.reg});
        else if (comp)
            em_.emit(Op::MovComp, {Reg{loc.slot}, v.reg, typeDescIndex(t)});
        else
            em_.emit(Op::Mov, {Reg{loc.slot}, v.reg});
        return;
    case Loc::Kind::Global:
        if (managed)
            em_.emit(Op::StoreGlobalRef, {loc.slot, v.reg});
        else if (comp) {
            Reg p = temp(types_->nilT);
            em_.emit(Op::AddrGlobal, {p, loc.slot});
            em_.emit(Op::StorePtrComp, {p, 0, v.reg, typeDescIndex(t)});
        } else
            em_.emit(Op::StoreGlobal, {loc.slot, v.reg});
        return;
    case Loc::Kind::Outer: store(materializeLoc(loc), v, pos); return;
    case Loc::Kind::Ptr:
        if (managed)
            em_.emit(Op::StorePtrRef, {Reg{loc.slot}, loc.off, v.reg});
        else if (comp)
            em_.emit(Op::StorePtrComp, {Reg{loc.slot}, loc.off, v.reg, typeDescIndex(t)});
        else
            em_.emit(Op::StorePtr, {Reg{loc.slot}, loc.off, v.reg});
        return;
    case Loc::Kind::FrameElem:
        em_.emit(Op::StoreElem, {Reg{loc.slot}, Reg{loc.idx}, uint32_t(loc.low), loc.len, v.reg});
        return;
    case Loc::Kind::DynElem: em_.emit(Op::StoreDyn, {Reg{loc.slot}, Reg{loc.idx}, v.reg}); return;
    case Loc::Kind::PtrElem:
        em_.emit(Op::StorePtrElem, {Reg{loc.slot}, Reg{loc.idx}, uint32_t(loc.low), loc.len, v.reg});
        return;
    case Loc::Kind::StrChar: em_.emit(Op::StrSetChar, {Reg{loc.slot}, Reg{loc.idx}, v.reg}); return;
    case Loc::Kind::Host: em_.emit(Op::StoreHost, {loc.slot, v.reg}); return;
    case Loc::Kind::None: return;
    }
}

// ---------------------------------------------------------------------------------------------------------
// values

// The first token of an expression: where a message about the whole expression points.
SourcePos startPos(const ast::Expr& e) {
    const ast::Expr* x = &e;
    while (!x->parenthesized && x->left &&
           (x->kind == ast::ExprKind::Binary || x->kind == ast::ExprKind::Index ||
            x->kind == ast::ExprKind::Member || x->kind == ast::ExprKind::Call || x->kind == ast::ExprKind::WriteArg))
        x = x->left.get();
    return x->pos;
}

Val Compiler::exprTo(const ast::Expr& e, const Type* target, Reg* dest) {
    ConstValue cv;
    if (evalConst(e, cv, false)) {
        if (!convertConst(cv, target, startPos(e), true)) {
            Val bad;
            bad.type = target;
            bad.reg = dest ? *dest : temp(target);
            return bad;
        }
        if (target->code == TypeCode::Variant) {
            Val v = materialize(cv, nullptr);
            return coerce(v, target, e.pos, dest);
        }
        cv.type = target->code == TypeCode::Subrange ? target : cv.type;
        Val v = materialize(cv, dest);
        v.type = target;
        return v;
    }
    // Compute straight into the destination when the value is of the same kind of cell (plain, reference,
    // composite) as the destination: a conversion that follows then works in place.
    const Type* qt = dest ? quickType(e) : nullptr;
    bool fits = qt && ((isPlain(qt) && isPlain(target)) ||
                       (qt->code == TypeCode::String && target->code == TypeCode::String));
    Val v = expr(e, fits ? dest : nullptr, target);
    return coerce(v, target, startPos(e), dest);
}

const Type* Compiler::typeOf(const ast::Expr& e) {
    if (const Type* t = quickType(e)) return t;
    ConstValue cv;
    if (evalConst(e, cv, false)) return cv.type;
    // Compile it to learn its type, then drop the code.
    size_t mark = em_.pc();
    size_t temps = ctx_->frame.mark();
    Val v = expr(e);
    em_.truncate(mark);
    ctx_->frame.release(temps);
    return v.type;
}

const Type* Compiler::quickType(const ast::Expr& e) {
    TypeTable& T = *types_;
    switch (e.kind) {
    case ast::ExprKind::IntLit: return T.integerT;
    case ast::ExprKind::RealLit: return T.doubleT;
    case ast::ExprKind::Name: {
        for (const auto& w : withs_)
            for (const Field& f : w.recordType->fields)
                if (lower(f.name) == lower(e.name)) return f.type;
        Symbol* s = lookup(e.name);
        if (!s) return nullptr;
        if (s->kind == SymKind::Var) return s->var->type;
        if (s->kind == SymKind::Const) return s->constValue.type;
        if (s->kind == SymKind::Routine && s->routines.size() == 1) return s->routines[0]->result;
        return nullptr;
    }
    case ast::ExprKind::Call:
        if (e.left->kind == ast::ExprKind::Name) {
            Symbol* s = lookup(e.left->name);
            if (s && s->kind == SymKind::Routine && s->routines.size() == 1) return s->routines[0]->result;
        }
        return nullptr;
    case ast::ExprKind::Unary:
        if (e.op == ast::Op::Not) return nullptr;
        return quickType(*e.left);
    case ast::ExprKind::Binary: {
        switch (e.op) {
        case ast::Op::Eq: case ast::Op::Ne: case ast::Op::Lt: case ast::Op::Le: case ast::Op::Gt:
        case ast::Op::Ge: case ast::Op::In:
            return T.booleanT;
        default: break;
        }
        const Type* a = quickType(*e.left);
        const Type* b = quickType(*e.right);
        if (!a || !b) return nullptr;
        if (a->code == TypeCode::Variant || b->code == TypeCode::Variant) return T.variantT;
        if (isStrOrChar(a) && isStrOrChar(b) && e.op == ast::Op::Add) return T.stringT;
        if (isNumeric(a) && isNumeric(b)) {
            if (e.op == ast::Op::RealDiv || a->isReal() || b->isReal()) return T.doubleT;
            return commonArith(a, b);
        }
        if (isBool(a) && isBool(b)) return T.booleanT;
        return nullptr;
    }
    default: return nullptr;
    }
}

Val Compiler::expr(const ast::Expr& e, Reg* dest, const Type* expected) {
    TypeTable& T = *types_;
    ConstValue cv;
    if (e.kind != ast::ExprKind::SetCons && evalConst(e, cv, false)) return materialize(cv, dest);
    switch (e.kind) {
    case ast::ExprKind::IntLit:
    case ast::ExprKind::RealLit:
    case ast::ExprKind::StrLit:
    case ast::ExprKind::Nil:
        evalConst(e, cv, true);
        return materialize(cv, dest);
    case ast::ExprKind::Name: {
        std::string key = lower(e.name);
        for (size_t k = withs_.size(); k-- > 0;)
            for (const Field& f : withs_[k].recordType->fields)
                if (lower(f.name) == key) return load(fieldLoc(withs_[k].base, f), dest);
        Symbol* s = lookup(e.name);
        if (!s) {
            error(e.pos, "Unknown identifier '" + e.name + "'");
            Val bad;
            bad.type = T.integerT;
            bad.reg = dest ? *dest : temp(T.integerT);
            return bad;
        }
        switch (s->kind) {
        case SymKind::Var: return load(varLoc(s->var), dest);
        case SymKind::Routine:
        case SymKind::Builtin: return call(e, nullptr, e.pos, dest, false);
        default: break;
        }
        typeMismatch(e.pos);
        Val bad;
        bad.type = T.integerT;
        bad.reg = dest ? *dest : temp(T.integerT);
        return bad;
    }
    case ast::ExprKind::Member: {
        // Properties of exceptions, then record fields of any value.
        if (e.left->kind == ast::ExprKind::Name) {
            Symbol* s = lookup(e.left->name);
            if (s && s->kind == SymKind::ExcClass) return methodCall(e, nullptr, dest);
        }
        Loc l;
        if (lvalue(e, l, false)) return load(l, dest);
        Val base = expr(*e.left);
        if (base.type->code == TypeCode::ClassRef) {
            std::string m = lower(e.name);
            Val r;
            r.type = T.stringT;
            r.reg = dest ? *dest : temp(T.stringT);
            r.owned = true;
            if (m == "message") {
                em_.emit(Op::ExcMessage, {r.reg, base.reg});
                return r;
            }
            if (m == "classname") {
                em_.emit(Op::ExcClassName, {r.reg, base.reg});
                return r;
            }
            error(e.namePos, "Unknown identifier '" + e.name + "'");
            return r;
        }
        if (base.type->code == TypeCode::Record) {
            for (const Field& f : base.type->fields)
                if (lower(f.name) == lower(e.name)) {
                    Loc fl;
                    fl.kind = Loc::Kind::Frame;
                    fl.type = base.type;
                    fl.slot = base.reg.slot;
                    return load(fieldLoc(fl, f), dest);
                }
        }
        error(e.namePos, "Unknown identifier '" + e.name + "'");
        Val bad;
        bad.type = T.integerT;
        bad.reg = dest ? *dest : temp(T.integerT);
        return bad;
    }
    case ast::ExprKind::Index: {
        // A character of a string held in this frame is read without taking the string's address.
        if (e.left->kind == ast::ExprKind::Name && e.args.size() == 1) {
            Loc base;
            if (lvalue(*e.left, base, false) && base.type->code == TypeCode::String &&
                base.kind == Loc::Kind::Frame) {
                Val iv = exprTo(*e.args[0], T.integerT);
                Val r;
                r.type = T.charT;
                r.reg = dest ? *dest : temp(T.charT);
                em_.emit(Op::StrChar, {r.reg, Reg{base.slot}, iv.reg});
                return r;
            }
        }
        Loc l;
        if (lvalue(e, l, false)) return load(l, dest);
        // Indexing a value that is not a variable: a function result, a constant string.
        Val base = expr(*e.left);
        for (size_t k = 0; k < e.args.size(); ++k) {
            if (base.type->code == TypeCode::String) {
                Val iv = exprTo(*e.args[k], T.integerT);
                Val r;
                r.type = T.charT;
                r.reg = (dest && k + 1 == e.args.size()) ? *dest : temp(T.charT);
                em_.emit(Op::StrChar, {r.reg, base.reg, iv.reg});
                base = r;
                continue;
            }
            Loc bl;
            bl.kind = Loc::Kind::Frame;
            bl.type = base.type;
            bl.slot = base.reg.slot;
            Loc el = indexLoc(bl, *e.args[k], e.pos);
            if (el.kind == Loc::Kind::None) return base;
            base = load(el, (dest && k + 1 == e.args.size()) ? dest : nullptr);
        }
        return base;
    }
    case ast::ExprKind::Call: return call(*e.left, &e.args, e.pos, dest, false);
    case ast::ExprKind::Unary: return unary(e, dest);
    case ast::ExprKind::Binary: return binary(e, dest);
    case ast::ExprKind::SetCons: return setConstructor(e, expected, dest);
    case ast::ExprKind::Range:
    case ast::ExprKind::WriteArg:
    case ast::ExprKind::InitList: break;
    }
    error(e.pos, "Syntax error");
    Val bad;
    bad.type = T.integerT;
    bad.reg = dest ? *dest : temp(T.integerT);
    return bad;
}

Val Compiler::setConstructor(const ast::Expr& e, const Type* expected, Reg* dest) {
    TypeTable& T = *types_;
    const Type* st = expected && expected->code == TypeCode::Set ? expected : nullptr;
    ConstValue cv;
    if (evalConst(e, cv, false)) {
        if (st) cv.type = st;
        return materialize(cv, dest);
    }
    Reg r = dest ? *dest : temp(st ? st : T.setOf(T.byteT));
    em_.emit(Op::Zero, {r, 4});
    const Type* elemType = st ? st->elem : nullptr;
    for (const auto& el : e.args) {
        if (el->kind == ast::ExprKind::Range) {
            Val lo = expr(*el->left);
            Val hi = expr(*el->right);
            if (!lo.type->isOrdinal() || !hi.type->isOrdinal()) typeMismatch(el->pos);
            if (!elemType) elemType = lo.type->ordinalBase();
            em_.emit(Op::SetInclRange, {r, lo.reg, hi.reg});
        } else {
            Val v = expr(*el);
            if (!v.type->isOrdinal()) typeMismatch(el->pos);
            if (!elemType) elemType = v.type->ordinalBase();
            em_.emit(Op::SetIncl, {r, v.reg});
        }
    }
    Val v;
    v.type = st ? st : T.setOf(elemType ? elemType : T.byteT);
    v.reg = r;
    return v;
}

Val Compiler::unary(const ast::Expr& e, Reg* dest) {
    TypeTable& T = *types_;
    Val v = expr(*e.left);
    Val r;
    r.type = v.type;
    auto out = [&](const Type* t) { return dest ? *dest : temp(t); };
    switch (e.op) {
    case ast::Op::Plus:
        if (!isNumeric(v.type) && v.type->code != TypeCode::Variant) typeMismatch(e.pos);
        return v;
    case ast::Op::Minus:
        if (v.type->code == TypeCode::Variant) {
            r.reg = out(v.type);
            r.owned = true;
            em_.emit(Op::VarOp, {r.reg, v.reg, v.reg, uint32_t(vm::VarOpKind::Neg)});
            return r;
        }
        if (v.type->isReal()) {
            r.reg = out(v.type);
            em_.emit(Op::NegF, {r.reg, v.reg});
            return r;
        }
        if (v.type->isInteger()) {
            const Type* t = commonArith(v.type, T.integerT);
            if (t == T.cardinalT) t = T.int64T;
            r.type = t;
            r.reg = out(t);
            em_.emit(t == T.int64T ? Op::NegL : Op::NegI, {r.reg, v.reg});
            return r;
        }
        typeMismatch(e.pos);
        return v;
    case ast::Op::Not:
        if (v.type->code == TypeCode::Variant) {
            r.reg = out(v.type);
            r.owned = true;
            em_.emit(Op::VarOp, {r.reg, v.reg, v.reg, uint32_t(vm::VarOpKind::Not)});
            return r;
        }
        if (isBool(v.type)) {
            r.type = T.booleanT;
            r.reg = out(T.booleanT);
            em_.emit(Op::NotB, {r.reg, v.reg});
            return r;
        }
        if (v.type->isInteger()) {
            const Type* t = v.type->ordinalBase();
            IntKind k = TypeTable::intKind(t);
            r.type = t;
            r.reg = out(t);
            em_.emit(k == IntKind::I64 ? Op::NotL : k == IntKind::U32 ? Op::NotU : Op::NotI, {r.reg, v.reg});
            if (needsTrunc(T.integerT, t)) em_.emit(Op::Trunc, {r.reg, r.reg, uint32_t(truncWidth(t))});
            return r;
        }
        typeMismatch(e.pos);
        return v;
    default: error(e.pos, "Syntax error"); return v;
    }
}

Val Compiler::comparison(const ast::Expr& e, Reg* dest) {
    TypeTable& T = *types_;
    Val a = expr(*e.left);
    Val b = expr(*e.right, nullptr, a.type);
    Val r;
    r.type = T.booleanT;
    r.reg = dest ? *dest : temp(T.booleanT);
    ast::Op op = e.op;
    auto rel = [&]() {
        switch (op) {
        case ast::Op::Eq: return vm::Rel::Eq;
        case ast::Op::Ne: return vm::Rel::Ne;
        case ast::Op::Lt: return vm::Rel::Lt;
        case ast::Op::Le: return vm::Rel::Le;
        case ast::Op::Gt: return vm::Rel::Gt;
        default: return vm::Rel::Ge;
        }
    };
    const Type* ta = a.type;
    const Type* tb = b.type;
    if (ta->code == TypeCode::Variant || tb->code == TypeCode::Variant) {
        Val va = coerce(a, T.variantT, e.pos);
        Val vb = coerce(b, T.variantT, e.pos);
        em_.emit(Op::VarOp, {r.reg, va.reg, vb.reg, uint32_t(vm::VarOpKind::Cmp) + uint32_t(rel())});
        return r;
    }
    if ((ta->code == TypeCode::String || tb->code == TypeCode::String) && isStrOrChar(ta) && isStrOrChar(tb)) {
        Val sa = coerce(a, T.stringT, e.pos);
        Val sb = coerce(b, T.stringT, e.pos);
        em_.emit(Op::CmpS, {r.reg, sa.reg, sb.reg, uint32_t(rel())});
        return r;
    }
    if (ta->code == TypeCode::Set && tb->code == TypeCode::Set) {
        switch (op) {
        case ast::Op::Eq: em_.emit(Op::SetEq, {r.reg, a.reg, b.reg}); break;
        case ast::Op::Ne:
            em_.emit(Op::SetEq, {r.reg, a.reg, b.reg});
            em_.emit(Op::NotB, {r.reg, r.reg});
            break;
        case ast::Op::Le: em_.emit(Op::SetLe, {r.reg, a.reg, b.reg}); break;
        case ast::Op::Ge: em_.emit(Op::SetLe, {r.reg, b.reg, a.reg}); break;
        default: typeMismatch(e.pos);
        }
        return r;
    }
    if (ta->isReal() || tb->isReal()) {
        if (!isNumeric(ta) || !isNumeric(tb)) {
            typeMismatch(e.pos);
            return r;
        }
        Val fa = coerce(a, T.doubleT, e.pos);
        Val fb = coerce(b, T.doubleT, e.pos);
        emitRelation(op, r.reg, fa.reg, fb.reg, Op::EqF, Op::NeF, Op::LtF, Op::LeF);
        return r;
    }
    bool ok = (ta->isOrdinal() && tb->isOrdinal() &&
               (assignable(ta, tb) || assignable(tb, ta) || (ta->isInteger() && tb->isInteger()))) ||
              ((ta->code == TypeCode::Nil || tb->code == TypeCode::Nil || ta->code == TypeCode::ClassRef ||
                ta->code == TypeCode::DynArray || ta->code == TypeCode::PChar) &&
               (op == ast::Op::Eq || op == ast::Op::Ne));
    if (!ok) {
        typeMismatch(e.pos);
        return r;
    }
    emitRelation(op, r.reg, a.reg, b.reg, Op::EqI, Op::NeI, Op::LtI, Op::LeI);
    return r;
}

// r := a op b with the four instructions of one kind of operand; > and >= swap the operands.
void Compiler::emitRelation(ast::Op op, Reg r, Reg a, Reg b, Op eq, Op ne, Op lt, Op le) {
    switch (op) {
    case ast::Op::Eq: em_.emit(eq, {r, a, b}); break;
    case ast::Op::Ne: em_.emit(ne, {r, a, b}); break;
    case ast::Op::Lt: em_.emit(lt, {r, a, b}); break;
    case ast::Op::Le: em_.emit(le, {r, a, b}); break;
    case ast::Op::Gt: em_.emit(lt, {r, b, a}); break;
    default: em_.emit(le, {r, b, a}); break;
    }
}

Val Compiler::binary(const ast::Expr& e, Reg* dest) {
    TypeTable& T = *types_;
    ast::Op op = e.op;
    if (op == ast::Op::Eq || op == ast::Op::Ne || op == ast::Op::Lt || op == ast::Op::Le || op == ast::Op::Gt ||
        op == ast::Op::Ge)
        return comparison(e, dest);
    if (op == ast::Op::In) {
        Val a = expr(*e.left);
        Val s = expr(*e.right);
        Val r;
        r.type = T.booleanT;
        r.reg = dest ? *dest : temp(T.booleanT);
        if (s.type->code != TypeCode::Set || !a.type->isOrdinal()) {
            typeMismatch(e.pos);
            return r;
        }
        em_.emit(Op::SetIn, {r.reg, a.reg, s.reg});
        return r;
    }
    if (op == ast::Op::Is || op == ast::Op::As || op == ast::Op::AddrOf) {
        error(e.pos, "Syntax error");
        return expr(*e.left);
    }
    // Boolean and/or short-circuit; their result is built from jumps.
    if (op == ast::Op::And || op == ast::Op::Or) {
        if (isBool(typeOf(*e.left))) {
            Label f, end;
            Val r;
            r.type = T.booleanT;
            r.reg = dest ? *dest : temp(T.booleanT);
            size_t before = prog_->code.size();
            condJump(e, false, f);
            (void)before;
            em_.emit(Op::LoadInt, {r.reg, 1, 0});
            em_.emitJump(Op::Jump, {}, end);
            em_.bind(f);
            em_.emit(Op::LoadInt, {r.reg, 0, 0});
            em_.bind(end);
            return r;
        }
    }
    Val a = expr(*e.left);
    size_t rightMark = em_.pc();
    Val b = expr(*e.right, nullptr, a.type);
    const Type* ta = a.type;
    const Type* tb = b.type;
    Val r;
    auto out = [&](const Type* t) {
        r.type = t;
        r.reg = dest ? *dest : temp(t);
        return r.reg;
    };

    if (ta->code == TypeCode::Variant || tb->code == TypeCode::Variant) {
        Val va = coerce(a, T.variantT, e.pos);
        Val vb = coerce(b, T.variantT, e.pos);
        vm::VarOpKind k;
        switch (op) {
        case ast::Op::Add: k = vm::VarOpKind::Add; break;
        case ast::Op::Sub: k = vm::VarOpKind::Sub; break;
        case ast::Op::Mul: k = vm::VarOpKind::Mul; break;
        case ast::Op::RealDiv: k = vm::VarOpKind::RealDiv; break;
        case ast::Op::IntDiv: k = vm::VarOpKind::IntDiv; break;
        case ast::Op::Mod: k = vm::VarOpKind::Mod; break;
        case ast::Op::And: k = vm::VarOpKind::And; break;
        case ast::Op::Or: k = vm::VarOpKind::Or; break;
        case ast::Op::Xor: k = vm::VarOpKind::Xor; break;
        default: typeMismatch(e.pos); return a;
        }
        em_.emit(Op::VarOp, {out(T.variantT), va.reg, vb.reg, uint32_t(k)});
        r.owned = true;
        return r;
    }
    if (op == ast::Op::Add && isStrOrChar(ta) && isStrOrChar(tb)) {
        Val sa = coerce(a, T.stringT, e.pos);
        Val sb = coerce(b, T.stringT, e.pos);
        em_.emit(Op::Concat, {out(T.stringT), sa.reg, sb.reg});
        r.owned = true;
        return r;
    }
    if (ta->code == TypeCode::Set && tb->code == TypeCode::Set) {
        if (op != ast::Op::Add && op != ast::Op::Sub && op != ast::Op::Mul) {
            typeMismatch(e.pos);
            return a;
        }
        Op o = op == ast::Op::Add ? Op::SetUnion : op == ast::Op::Sub ? Op::SetDiff : Op::SetInter;
        em_.emit(o, {out(ta->elem ? ta : tb), a.reg, b.reg});
        return r;
    }
    if (isBool(ta) && isBool(tb) && (op == ast::Op::And || op == ast::Op::Or || op == ast::Op::Xor)) {
        Op o = op == ast::Op::And ? Op::And : op == ast::Op::Or ? Op::Or : Op::Xor;
        em_.emit(o, {out(T.booleanT), a.reg, b.reg});
        return r;
    }
    if (!isNumeric(ta) || !isNumeric(tb)) {
        typeMismatch(e.pos);
        return a;
    }
    if (op == ast::Op::RealDiv || ta->isReal() || tb->isReal()) {
        Op o;
        switch (op) {
        case ast::Op::Add: o = Op::AddF; break;
        case ast::Op::Sub: o = Op::SubF; break;
        case ast::Op::Mul: o = Op::MulF; break;
        case ast::Op::RealDiv: o = Op::DivF; break;
        default: typeMismatch(e.pos); return a;
        }
        const Type* rt = (ta->code == TypeCode::Extended || tb->code == TypeCode::Extended) ? T.extendedT : T.doubleT;
        Val fa = coerce(a, T.doubleT, e.pos);
        Val fb = coerce(b, T.doubleT, e.pos);
        em_.emit(o, {out(rt), fa.reg, fb.reg});
        return r;
    }
    // A non-negative constant takes the signedness of the other operand (Cardinal - 1 stays Cardinal).
    ConstValue kc;
    if (TypeTable::intKind(ta) == IntKind::U32 && evalConst(*e.right, kc, false) && kc.i >= 0 && kc.i <= UINT32_MAX)
        tb = T.cardinalT;
    if (TypeTable::intKind(tb) == IntKind::U32 && evalConst(*e.left, kc, false) && kc.i >= 0 && kc.i <= UINT32_MAX)
        ta = T.cardinalT;
    const Type* t = commonArith(ta, tb);
    IntKind k = TypeTable::intKind(t);
    // x + k and x - k with a small constant take the constant as an operand.
    if ((op == ast::Op::Add || op == ast::Op::Sub) && k != IntKind::U32 && evalConst(*e.right, kc, false) &&
        kc.type->isInteger() && kc.i > INT32_MIN && kc.i <= INT32_MAX) {
        int64_t amount = op == ast::Op::Add ? kc.i : -kc.i;
        em_.truncate(rightMark);
        em_.emit(k == IntKind::I32 ? Op::AddIK : Op::AddLK, {out(t), a.reg, uint32_t(int32_t(amount))});
        return r;
    }
    Op o;
    switch (op) {
    case ast::Op::Add: o = k == IntKind::I32 ? Op::AddI : k == IntKind::U32 ? Op::AddU : Op::AddL; break;
    case ast::Op::Sub: o = k == IntKind::I32 ? Op::SubI : k == IntKind::U32 ? Op::SubU : Op::SubL; break;
    case ast::Op::Mul: o = k == IntKind::I32 ? Op::MulI : k == IntKind::U32 ? Op::MulU : Op::MulL; break;
    case ast::Op::IntDiv: o = k == IntKind::I32 ? Op::DivI : k == IntKind::U32 ? Op::DivU : Op::DivL; break;
    case ast::Op::Mod: o = k == IntKind::I32 ? Op::ModI : k == IntKind::U32 ? Op::ModU : Op::ModL; break;
    case ast::Op::And: o = Op::And; break;
    case ast::Op::Or: o = Op::Or; break;
    case ast::Op::Xor: o = Op::Xor; break;
    case ast::Op::Shl: o = k == IntKind::I64 ? Op::ShlL : Op::ShlI; break;
    case ast::Op::Shr: o = k == IntKind::I64 ? Op::ShrL : Op::ShrI; break;
    default: typeMismatch(e.pos); return a;
    }
    em_.emit(o, {out(t), a.reg, b.reg});
    if (k == IntKind::U32 && (o == Op::ShlI || o == Op::ShrI)) em_.emit(Op::Trunc, {r.reg, r.reg, 5});
    return r;
}

void Compiler::condJump(const ast::Expr& e, bool jumpIf, Label& target) {
    TypeTable& T = *types_;
    // `not x` of a Boolean inverts the jump; of an integer it is a value.
    if (e.kind == ast::ExprKind::Unary && e.op == ast::Op::Not && isBool(typeOf(*e.left))) {
        condJump(*e.left, !jumpIf, target);
        return;
    }
    if (e.kind == ast::ExprKind::Binary && (e.op == ast::Op::And || e.op == ast::Op::Or)) {
        if (isBool(typeOf(*e.left))) {
            bool isAnd = e.op == ast::Op::And;
            if (isAnd == !jumpIf) {
                // (a and b) false -> target: either false jumps.  (a or b) true -> target: either true jumps.
                condJump(*e.left, jumpIf, target);
                condJump(*e.right, jumpIf, target);
            } else {
                Label skip;
                condJump(*e.left, !jumpIf, skip);
                condJump(*e.right, jumpIf, target);
                em_.bind(skip);
            }
            return;
        }
    }
    if (e.kind == ast::ExprKind::Binary &&
        (e.op == ast::Op::Lt || e.op == ast::Op::Le || e.op == ast::Op::Gt || e.op == ast::Op::Ge ||
         e.op == ast::Op::Eq || e.op == ast::Op::Ne)) {
        // Integer and real comparisons jump directly.
        size_t codeMark = prog_->code.size();
        size_t diagMark = diags_.all().size();
        Val a = expr(*e.left);
        size_t rightMark = em_.pc();
        Val b = expr(*e.right, nullptr, a.type);
        bool ints = a.type->isOrdinal() && b.type->isOrdinal() && diags_.all().size() == diagMark &&
                    (assignable(a.type, b.type) || assignable(b.type, a.type) ||
                     (a.type->isInteger() && b.type->isInteger()));
        bool reals = !ints && isNumeric(a.type) && isNumeric(b.type) && diags_.all().size() == diagMark &&
                     e.op != ast::Op::Eq && e.op != ast::Op::Ne;
        if (ints) {
            ast::Op op = e.op;
            if (!jumpIf) {
                switch (op) {
                case ast::Op::Lt: op = ast::Op::Ge; break;
                case ast::Op::Le: op = ast::Op::Gt; break;
                case ast::Op::Gt: op = ast::Op::Le; break;
                case ast::Op::Ge: op = ast::Op::Lt; break;
                case ast::Op::Eq: op = ast::Op::Ne; break;
                default: op = ast::Op::Eq; break;
                }
            }
            ConstValue kc;
            if (evalConst(*e.right, kc, false) && kc.type->isOrdinal() && kc.i >= INT32_MIN && kc.i <= INT32_MAX) {
                em_.truncate(rightMark);
                Op o = op == ast::Op::Lt ? Op::JumpLtIK : op == ast::Op::Le ? Op::JumpLeIK : op == ast::Op::Gt ? Op::JumpGtIK
                     : op == ast::Op::Ge ? Op::JumpGeIK : op == ast::Op::Eq ? Op::JumpEqIK : Op::JumpNeIK;
                em_.emitJump(o, {a.reg, uint32_t(int32_t(kc.i))}, target);
                return;
            }
            Op o = op == ast::Op::Lt ? Op::JumpLtI : op == ast::Op::Le ? Op::JumpLeI : op == ast::Op::Gt ? Op::JumpGtI
                 : op == ast::Op::Ge ? Op::JumpGeI : op == ast::Op::Eq ? Op::JumpEqI : Op::JumpNeI;
            em_.emitJump(o, {a.reg, b.reg}, target);
            return;
        }
        if (reals) {
            Val fa = coerce(a, T.doubleT, e.pos);
            Val fb = coerce(b, T.doubleT, e.pos);
            Reg x = fa.reg, y = fb.reg;
            ast::Op op = e.op;
            if (op == ast::Op::Gt || op == ast::Op::Ge) {
                std::swap(x, y);
                op = op == ast::Op::Gt ? ast::Op::Lt : ast::Op::Le;
            }
            Op o = op == ast::Op::Lt ? (jumpIf ? Op::JumpLtF : Op::JumpGeF) : (jumpIf ? Op::JumpLeF : Op::JumpGtF);
            em_.emitJump(o, {x, y}, target);
            return;
        }
        // Anything else: undo and compute the Boolean value.
        em_.truncate(codeMark);
    }
    Val v = expr(e);
    if (!isBool(v.type)) {
        if (v.type->code == TypeCode::Variant)
            v = coerce(v, T.booleanT, e.pos);
        else
            typeMismatch(e.pos);
    }
    em_.emitJump(jumpIf ? Op::JumpIfTrue : Op::JumpIfFalse, {v.reg}, target);
}

// ---------------------------------------------------------------------------------------------------------
// calls

Val Compiler::call(const ast::Expr& callee, const std::vector<ast::ExprPtr>* args, SourcePos pos, Reg* dest,
                   bool asStatement) {
    TypeTable& T = *types_;
    static const std::vector<ast::ExprPtr> none;
    const std::vector<ast::ExprPtr>& a = args ? *args : none;
    Val bad;
    bad.type = T.integerT;
    if (callee.kind == ast::ExprKind::Member) return methodCall(callee, args, dest);
    if (callee.kind != ast::ExprKind::Name) {
        error(callee.pos, "Syntax error");
        bad.reg = temp(T.integerT);
        return bad;
    }
    Symbol* s = lookup(callee.name);
    if (!s) {
        error(callee.pos, "Unknown identifier '" + callee.name + "'");
        for (const auto& x : a) (void)x;
        bad.reg = dest ? *dest : temp(T.integerT);
        return bad;
    }
    switch (s->kind) {
    case SymKind::Routine: return callRoutine(s, a, callee.pos, dest, asStatement);
    case SymKind::Builtin: return builtinCall(s->builtin, s->name, a, callee.pos, dest, asStatement);
    case SymKind::Type:
        if (a.size() != 1) {
            error(callee.pos, "Invalid number of parameters");
            bad.reg = temp(T.integerT);
            return bad;
        }
        return typeCast(s->type, *a[0], pos, dest);
    case SymKind::Var: {
        if (!args) return load(varLoc(s->var), dest);
        error(callee.pos, "Syntax error");
        break;
    }
    default: typeMismatch(callee.pos); break;
    }
    bad.reg = dest ? *dest : temp(T.integerT);
    return bad;
}

Val Compiler::typeCast(const Type* t, const ast::Expr& arg, SourcePos pos, Reg* dest) {
    TypeTable& T = *types_;
    Val v = expr(arg);
    Val r;
    r.type = t;
    if (t->isOrdinal() && v.type->isOrdinal()) {
        r.reg = dest ? *dest : temp(t);
        int w = truncWidth(t);
        if (w >= 0 && (v.type->ordLow() < t->ordinalBase()->ordLow() || v.type->ordHigh() > t->ordinalBase()->ordHigh()))
            em_.emit(Op::Trunc, {r.reg, v.reg, uint32_t(w)});
        else if (isBool(t) && !isBool(v.type)) {
            Reg z = temp(T.integerT);
            em_.emit(Op::LoadInt, {z, 0, 0});
            em_.emit(Op::NeI, {r.reg, v.reg, z});
        } else
            em_.emit(Op::Mov, {r.reg, v.reg});
        return r;
    }
    if (t->isReal() && (v.type->isReal() || v.type->isInteger())) return coerce(v, t, pos, dest);
    if (t->code == TypeCode::Variant || v.type->code == TypeCode::Variant) return coerce(v, t, pos, dest);
    if (t->code == TypeCode::String && (isStrOrChar(v.type) || v.type->code == TypeCode::PChar))
        return coerce(v, t, pos, dest);
    if (t->code == TypeCode::PChar && (v.type->code == TypeCode::String || v.type->code == TypeCode::PChar))
        return coerce(v, t, pos, dest);
    if (sameType(t, v.type)) return coerce(v, t, pos, dest);
    typeMismatch(arg.pos);
    return v;
}

Val Compiler::methodCall(const ast::Expr& member, const std::vector<ast::ExprPtr>* args, Reg* dest) {
    TypeTable& T = *types_;
    static const std::vector<ast::ExprPtr> none;
    const std::vector<ast::ExprPtr>& a = args ? *args : none;
    Val r;
    r.type = T.integerT;
    if (member.left->kind == ast::ExprKind::Name) {
        Symbol* s = lookup(member.left->name);
        if (s && s->kind == SymKind::ExcClass) {
            std::string m = lower(member.name);
            r.type = s->type;
            r.reg = dest ? *dest : temp(s->type);
            r.owned = true;
            if (m == "create" && a.size() == 1) {
                Val msg = exprTo(*a[0], T.stringT);
                em_.emit(Op::NewExc, {r.reg, uint32_t(s->classId), msg.reg});
                return r;
            }
            if (m == "createfmt" && a.size() == 2) {
                std::vector<ast::ExprPtr> fa;
                Val msg = builtinCall(int(BI::Format), "Format", *args, member.namePos, nullptr, false);
                em_.emit(Op::NewExc, {r.reg, uint32_t(s->classId), msg.reg});
                return r;
            }
            if (m == "create" || m == "createfmt") {
                error(member.namePos, "Invalid number of parameters");
                return r;
            }
            error(member.namePos, "Unknown identifier '" + member.name + "'");
            return r;
        }
    }
    if (args) {
        error(member.namePos, "Unknown identifier '" + member.name + "'");
        r.reg = temp(T.integerT);
        return r;
    }
    return expr(member, dest);
}

RoutineInfo* Compiler::chooseOverload(Symbol* sym, const std::vector<ast::ExprPtr>& args, SourcePos pos) {
    RoutineInfo* best = nullptr;
    int bestScore = -1;
    bool arityMatch = false;
    for (RoutineInfo* r : sym->routines) {
        size_t required = 0;
        for (const ParamInfo& p : r->params)
            if (!p.defaultValue) ++required;
        if (args.size() < required || args.size() > r->params.size()) continue;
        arityMatch = true;
        if (sym->routines.size() == 1) return r;
        // Score: exact types count most, then compatible ones.
        int score = 0;
        bool ok = true;
        for (size_t k = 0; k < args.size() && ok; ++k) {
            const ParamInfo& p = r->params[k];
            ConstValue cv;
            const Type* at = nullptr;
            if (evalConst(*args[k], cv, false)) {
                at = cv.type;
            } else {
                Loc l;
                size_t mark = prog_->code.size();
                size_t dmark = diags_.all().size();
                if (lvalue(*args[k], l, false)) at = l.type;
                em_.truncate(mark);
                if (diags_.all().size() != dmark) at = nullptr;
                if (!at) {
                    // Compile it to learn its type, then throw the code away.
                    Diagnostics scratch;
                    size_t m2 = prog_->code.size();
                    Val v = expr(*args[k]);
                    at = v.type;
                    em_.truncate(m2);
                }
            }
            if (!at) {
                ok = false;
                break;
            }
            if (sameType(at, p.type) || at == p.type)
                score += 3;
            else if (at->isInteger() && p.type->isInteger())
                score += 2;
            else if (assignable(at, p.type, &cv))
                score += 1;
            else if (p.type->code == TypeCode::OpenArray && args[k]->kind == ast::ExprKind::SetCons)
                score += 1;
            else
                ok = false;
        }
        if (ok && score > bestScore) {
            best = r;
            bestScore = score;
        }
    }
    if (!best) {
        if (!arityMatch)
            error(pos, "Invalid number of parameters");
        else
            error(pos, "There is no overloaded version of '" + sym->name + "' that can be called with these arguments");
    }
    return best;
}

Val Compiler::openArray(const ast::Expr& arg, const Type* elem, Reg dest) {
    TypeTable& T = *types_;
    Val r;
    r.reg = dest;
    r.type = T.openArrayOf(elem);
    if (arg.kind == ast::ExprKind::SetCons) {
        // An array constructor: a temporary dynamic array holds the elements for the call.
        const Type* dt = T.dynArrayOf(elem);
        Reg arr = temp(dt);
        Reg n = temp(T.integerT);
        em_.emit(Op::LoadInt, {n, uint32_t(arg.args.size()), 0});
        em_.emit(Op::NewArray, {arr, n, typeDescIndex(elem)});
        for (size_t k = 0; k < arg.args.size(); ++k) {
            Val v = exprTo(*arg.args[k], elem);
            Reg ki = temp(T.integerT);
            em_.emit(Op::LoadInt, {ki, uint32_t(k), 0});
            Reg p = temp(T.nilT);
            em_.emit(Op::IndexDyn, {p, arr, ki, elem->cells});
            Loc l;
            l.kind = Loc::Kind::Ptr;
            l.type = elem;
            l.slot = p.slot;
            store(l, v, arg.pos);
        }
        em_.emit(Op::MakeOpen, {dest, arr, 0});
        return r;
    }
    Loc l;
    if (lvalue(arg, l, false)) {
        if (l.type->code == TypeCode::StaticArray && assignable(l.type->elem, elem) && sameType(l.type->elem, elem)) {
            address(l, &dest);
            em_.emit(Op::LoadInt, {dest + 1, uint32_t(l.type->index->count() - 1), 0});
            return r;
        }
        if (l.type->code == TypeCode::OpenArray && sameType(l.type->elem, elem)) {
            Reg p = address(l);
            em_.emit(Op::LoadPtr, {dest, p, 0});
            em_.emit(Op::LoadPtr, {dest + 1, p, 1});
            return r;
        }
    }
    Val v = expr(arg);
    if (v.type->code == TypeCode::DynArray && sameType(v.type->elem, elem)) {
        em_.emit(Op::MakeOpen, {dest, v.reg, 0});
        return r;
    }
    typeMismatch(arg.pos);
    return r;
}

Val Compiler::arrayOfConst(const ast::Expr& arg, Reg dest) {
    TypeTable& T = *types_;
    if (arg.kind != ast::ExprKind::SetCons) {
        Loc l;
        if (lvalue(arg, l, false) && l.type->code == TypeCode::ArrayOfConst) {
            Reg p = address(l);
            em_.emit(Op::LoadPtr, {dest, p, 0});
            em_.emit(Op::LoadPtr, {dest + 1, p, 1});
            Val r;
            r.type = T.arrayOfConstT;
            r.reg = dest;
            return r;
        }
        typeMismatch(arg.pos);
        Val r;
        r.type = T.arrayOfConstT;
        r.reg = dest;
        return r;
    }
    return openArray(arg, T.variantT, dest);
}

void Compiler::passArgument(const ParamInfo& p, const ast::Expr* arg, Reg argBase, bool forBuiltin) {
    Reg slot = argBase + p.offset;
    const Type* t = p.type;
    if (!arg) {
        // A default value.
        Val v = materialize(*p.defaultValue, nullptr);
        v = coerce(v, t, {});
        if (t->isManagedCell())
            em_.emit(forBuiltin ? Op::Mov : Op::InitOwn, {slot, v.reg});
        else if (t->isComposite() || t->cells > 1)
            em_.emit(forBuiltin ? Op::MovComp : Op::InitComp, {slot, v.reg, typeDescIndex(t)});
        else
            em_.emit(Op::Mov, {slot, v.reg});
        return;
    }
    if (t->code == TypeCode::OpenArray) {
        openArray(*arg, t->elem, slot);
        return;
    }
    if (t->code == TypeCode::ArrayOfConst) {
        arrayOfConst(*arg, slot);
        return;
    }
    if (p.byRef()) {
        Loc l;
        if (arg->parenthesized || !lvalue(*arg, l, false)) {
            error(startPos(*arg), "Variable expected");
            return;
        }
        if (l.kind == Loc::Kind::StrChar || l.kind == Loc::Kind::Host) {
            error(startPos(*arg), "Variable expected");
            return;
        }
        bool ok = sameType(l.type, t) || l.type == t ||
                  (l.type->isInteger() && t->isInteger() && l.type->cells == t->cells &&
                   TypeTable::intKind(l.type) == TypeTable::intKind(t) && truncWidth(l.type) == truncWidth(t)) ||
                  (t->isReal() && l.type->isReal()) || (l.type->code == TypeCode::Subrange && sameType(l.type->base, t));
        if (!ok) {
            typeMismatch(arg->pos);
            return;
        }
        if (l.readOnly) {
            error(arg->pos, "Variable expected");
            return;
        }
        Reg a = address(l, &slot);
        if (p.mode == ast::ParamMode::Out && t->isManagedCell()) {
            // An out parameter starts empty.
            Reg nil = temp(t);
            em_.emit(Op::LoadNil, {nil});
            em_.emit(Op::StorePtrRef, {a, 0, nil});
        }
        return;
    }
    if (t->isManagedCell() || t->isComposite() || t->cells > 1) {
        Val v = exprTo(*arg, t);
        if (forBuiltin) {
            if (t->isManagedCell())
                em_.emit(Op::Mov, {slot, v.reg});
            else
                em_.emit(Op::MovComp, {slot, v.reg, typeDescIndex(t)});
        } else if (t->isManagedCell()) {
            em_.emit(v.owned ? Op::InitOwn : Op::InitRef, {slot, v.reg});
        } else {
            em_.emit(Op::InitComp, {slot, v.reg, typeDescIndex(t)});
        }
        return;
    }
    // Plain values are computed straight into the argument slot.
    Val v = exprTo(*arg, t, &slot);
    if (!(v.reg == slot)) em_.emit(Op::Mov, {slot, v.reg});
}

Val Compiler::takeResult(Reg at, const Type* t, Reg* dest, bool asStatement) {
    Val r;
    r.type = t;
    if (t->isManagedCell()) {
        if (asStatement) {
            em_.emit(Op::InitOwn, {at, at});
            Reg tmp = temp(t);
            em_.emit(Op::MovOwn, {tmp, at});
            r.reg = tmp;
            return r;
        }
        r.reg = dest ? *dest : temp(t);
        em_.emit(Op::MovOwn, {r.reg, at});
        r.owned = true;
        return r;
    }
    if (t->isComposite() || t->cells > 1) {
        r.reg = dest ? *dest : temp(t);
        em_.emit(Op::MovComp, {r.reg, at, typeDescIndex(t)});
        if (t->desc.hasManaged()) em_.emit(Op::ClearComp, {at, typeDescIndex(t)});
        return r;
    }
    if (asStatement) {
        r.reg = at;
        return r;
    }
    r.reg = dest ? *dest : temp(t);
    em_.emit(Op::Mov, {r.reg, at});
    return r;
}

Val Compiler::callRoutine(Symbol* sym, const std::vector<ast::ExprPtr>& args, SourcePos pos, Reg* dest,
                          bool asStatement) {
    TypeTable& T = *types_;
    RoutineInfo* info = chooseOverload(sym, args, pos);
    Val bad;
    bad.type = T.integerT;
    if (!info) {
        bad.reg = dest ? *dest : temp(T.integerT);
        return bad;
    }
    if (!info->result && !asStatement) {
        error(pos, "Type mismatch");
        bad.reg = dest ? *dest : temp(T.integerT);
        return bad;
    }
    uint32_t resultCells = info->result ? info->result->cells : 0;
    uint32_t cells = info->paramCells + resultCells;
    bool native = info->nativeIndex >= 0 || info->index < 0;
    Reg base{ctx_->frame.argAlloc(cells)};
    for (size_t k = 0; k < info->params.size(); ++k)
        passArgument(info->params[k], k < args.size() ? args[k].get() : nullptr, base, native);
    if (native) {
        uint32_t ni = uint32_t(info->nativeIndex >= 0 ? info->nativeIndex : 0);
        if (info->nativeIndex < 0) {
            ni = uint32_t(prog_->nativeNames.size());
            prog_->nativeNames.push_back(info->name);
        } else {
            if (prog_->nativeNames.size() <= ni) prog_->nativeNames.resize(ni + 1);
            prog_->nativeNames[ni] = info->name;
        }
        if (resultCells && info->result->isManagedCell()) em_.emit(Op::Zero, {base + info->paramCells, resultCells});
        em_.emit(Op::CallNative, {ni, base});
    } else {
        em_.emit(Op::Call, {uint32_t(info->index), base});
    }
    Val r;
    if (info->result)
        r = takeResult(base + info->paramCells, info->result, dest, asStatement);
    else
        r.type = T.voidT;
    ctx_->frame.argFree(cells);
    return r;
}

} // namespace novrix::engine
