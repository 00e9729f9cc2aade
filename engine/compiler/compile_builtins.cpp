// The built-in routines: argument checks, the overload by argument type, and the code for each.
#include <cmath>

#include "builtin_names.h"
#include "compiler_impl.h"
#include "engine/vm/builtins.h"

namespace novrix::engine {

using vm::Builtin;
using vm::Op;

namespace {
bool isCharT(const Type* t) { return t && t->ordinalBase()->code == TypeCode::Char; }
} // namespace

// The type named by an expression that is a type name or a variable, without emitting code.
static const Type* staticTypeOf(Compiler& c, const ast::Expr& e) {
    if (e.kind == ast::ExprKind::Name) {
        Symbol* s = c.lookup(e.name);
        if (s && s->kind == SymKind::Type) return s->type;
        if (s && s->kind == SymKind::Var) return s->var->type;
        return nullptr;
    }
    if ((e.kind == ast::ExprKind::Index || e.kind == ast::ExprKind::Member) && c.ctx_) {
        // The type of an element or field: work out its place, then drop the code that took.
        size_t mark = c.em_.pc();
        Loc l;
        bool ok = c.lvalue(e, l, false);
        c.em_.truncate(mark);
        if (ok) return l.type;
    }
    return nullptr;
}

bool Compiler::builtinConst(int id, const std::vector<ast::ExprPtr>& args, ConstValue& out) {
    TypeTable& T = *types_;
    BI b = BI(id);
    if (b == BI::Pi && args.empty()) {
        out = {};
        out.type = T.extendedT;
        out.d = M_PI;
        return true;
    }
    if (args.size() != 1) return false;
    const ast::Expr& a = *args[0];
    if (b == BI::High || b == BI::Low || b == BI::SizeOf || b == BI::Length) {
        const Type* t = staticTypeOf(*this, a);
        if (t) {
            out = {};
            if (b == BI::SizeOf) {
                out.type = T.integerT;
                switch (t->ordinalBase()->code) {
                case TypeCode::Byte: case TypeCode::ShortInt: case TypeCode::Boolean: case TypeCode::Char: out.i = 1; break;
                case TypeCode::Word: case TypeCode::SmallInt: out.i = 2; break;
                case TypeCode::Integer: case TypeCode::Cardinal: case TypeCode::Single: case TypeCode::String:
                case TypeCode::DynArray: case TypeCode::ClassRef: case TypeCode::PChar: out.i = 4; break;
                case TypeCode::Extended: out.i = 10; break;
                case TypeCode::Variant: out.i = 16; break;
                case TypeCode::Enum: out.i = 1; break;
                case TypeCode::Set: out.i = 32; break;
                default: out.i = int64_t(t->cells) * 8; break;
                }
                return true;
            }
            if (t->isOrdinal() && b != BI::Length) {
                out.type = t;
                out.i = b == BI::High ? t->ordHigh() : t->ordLow();
                return true;
            }
            if (t->code == TypeCode::StaticArray) {
                if (b == BI::Length) {
                    out.type = T.integerT;
                    out.i = t->index->count();
                    return true;
                }
                out.type = t->index;
                out.i = b == BI::High ? t->index->ordHigh() : t->index->ordLow();
                return true;
            }
            if (b == BI::Low && (t->code == TypeCode::DynArray || t->code == TypeCode::OpenArray)) {
                out.type = T.integerT;
                out.i = 0;
                return true;
            }
            return false;
        }
    }
    ConstValue v;
    if (!evalConst(a, v, false) || !v.type) return false;
    out = {};
    switch (b) {
    case BI::Ord:
        if (!v.type->isOrdinal()) return false;
        out.type = v.type->ordinalBase()->code == TypeCode::Int64 ? T.int64T : T.integerT;
        out.i = v.i;
        return true;
    case BI::Chr:
        if (!v.type->isInteger()) return false;
        out.type = T.charT;
        out.i = uint8_t(v.i);
        return v.i >= 0 && v.i <= 255;
    case BI::Length:
        if (v.type->code == TypeCode::String) {
            out.type = T.integerT;
            out.i = int64_t(v.s.size());
            return true;
        }
        if (isCharT(v.type)) {
            out.type = T.integerT;
            out.i = 1;
            return true;
        }
        return false;
    case BI::Odd:
        if (!v.type->isInteger()) return false;
        out.type = T.booleanT;
        out.i = v.i & 1;
        return true;
    case BI::Succ:
    case BI::Pred:
        if (!v.type->isOrdinal()) return false;
        out.type = v.type;
        out.i = v.i + (b == BI::Succ ? 1 : -1);
        return true;
    case BI::Abs:
        out.type = v.type;
        if (v.type->isInteger()) {
            out.i = v.i < 0 ? -v.i : v.i;
            return true;
        }
        if (v.type->isReal()) {
            out.d = std::fabs(v.d);
            return true;
        }
        return false;
    case BI::Sqr:
        out.type = v.type;
        if (v.type->isInteger()) {
            out.type = commonArith(v.type, T.integerT);
            out.i = int64_t(int32_t(uint32_t(uint64_t(v.i) * uint64_t(v.i))));
            if (out.type == T.int64T) out.i = int64_t(uint64_t(v.i) * uint64_t(v.i));
            return true;
        }
        if (v.type->isReal()) {
            out.d = v.d * v.d;
            return true;
        }
        return false;
    default: return false;
    }
}

Val Compiler::callBuiltinFn(uint32_t fn, const std::vector<std::pair<const ast::Expr*, const Type*>>& args,
                            const Type* result, Reg* dest, const std::vector<bool>& byRef) {
    uint32_t cells = 1;
    std::vector<uint32_t> offs;
    for (size_t k = 0; k < args.size(); ++k) {
        offs.push_back(cells);
        const Type* t = args[k].second;
        bool ref = k < byRef.size() && byRef[k];
        cells += ref ? 1 : (t->code == TypeCode::OpenArray || t->code == TypeCode::ArrayOfConst) ? 2 : t->cells;
    }
    Reg base{ctx_->frame.argAlloc(cells)};
    for (size_t k = 0; k < args.size(); ++k) {
        ParamInfo p;
        p.type = args[k].second;
        p.offset = offs[k];
        p.mode = (k < byRef.size() && byRef[k]) ? ast::ParamMode::Var : ast::ParamMode::Value;
        passArgument(p, args[k].first, base, true);
    }
    em_.emit(Op::CallBuiltin, {fn, base});
    Val r;
    if (result)
        r = takeResult(base, result, dest, false);
    else
        r.type = types_->voidT;
    ctx_->frame.argFree(cells);
    return r;
}

void Compiler::setLengthDims(const Loc& l, const std::vector<ast::ExprPtr>& args, size_t k) {
    // SetLength(a, n, m, ...): the outer array gets n elements, each of them m, and so on.
    TypeTable& T = *types_;
    if (l.type->code != TypeCode::DynArray) {
        typeMismatch(args[0]->pos);
        return;
    }
    Val n = exprTo(*args[k], T.int64T);
    Reg p = address(l);
    em_.emit(Op::ArrSetLen, {p, n.reg, typeDescIndex(l.type->elem)});
    if (k + 1 >= args.size()) return;
    Val arr = load(l);
    Reg count = temp(T.integerT), i = temp(T.integerT);
    em_.emit(Op::ArrLen, {count, arr.reg});
    em_.emit(Op::LoadInt, {i, 0, 0});
    Label loop, done;
    em_.bind(loop);
    em_.emitJump(Op::JumpGeI, {i, count}, done);
    Reg q = temp(T.nilT);
    em_.emit(Op::IndexDyn, {q, arr.reg, i, 1});
    Loc el;
    el.kind = Loc::Kind::Ptr;
    el.type = l.type->elem;
    el.slot = q.slot;
    setLengthDims(el, args, k + 1);
    em_.emit(Op::AddIK, {i, i, 1});
    em_.emitJump(Op::Jump, {}, loop);
    em_.bind(done);
}

void Compiler::writeCall(const std::vector<ast::ExprPtr>& args, bool newline) {
    TypeTable& T = *types_;
    for (const auto& a : args) {
        const ast::Expr* value = a.get();
        const ast::Expr* width = nullptr;
        const ast::Expr* decimals = nullptr;
        if (a->kind == ast::ExprKind::WriteArg) {
            value = a->left.get();
            width = a->width.get();
            decimals = a->decimals.get();
        }
        Val v = expr(*value);
        const Type* t = v.type;
        bool ok = t->isOrdinal() || t->isReal() || t->code == TypeCode::String || t->code == TypeCode::Variant ||
                  t->code == TypeCode::PChar;
        if (!ok || t->ordinalBase()->code == TypeCode::Enum) {
            error(value->pos, "Illegal type in Write/Writeln statement");
            continue;
        }
        if (decimals && !t->isReal()) {
            error(decimals->pos, "Illegal type in Write/Writeln statement");
            continue;
        }
        uint32_t w = UINT32_MAX, d = UINT32_MAX;
        if (width) w = exprTo(*width, T.integerT).reg.slot;
        if (decimals) d = exprTo(*decimals, T.integerT).reg.slot;
        vm::ValKind kind = valKind(t);
        if (kind == vm::ValKind::Date) kind = vm::ValKind::Real;
        em_.emit(Op::Write, {v.reg, uint32_t(kind), w == UINT32_MAX ? Opnd(w) : Opnd(Reg{w}),
                             d == UINT32_MAX ? Opnd(d) : Opnd(Reg{d})});
    }
    if (newline) em_.emit(Op::WriteLn, {});
}

Val Compiler::builtinCall(int id, const std::string& name, const std::vector<ast::ExprPtr>& args, SourcePos pos,
                          Reg* dest, bool asStatement) {
    TypeTable& T = *types_;
    BI b = BI(id);
    Val none;
    none.type = T.voidT;
    auto bad = [&](const Type* t) {
        Val v;
        v.type = t;
        v.reg = dest ? *dest : temp(t);
        return v;
    };
    auto arity = [&](size_t lo, size_t hi) {
        if (args.size() < lo || args.size() > hi) {
            error(pos, "Invalid number of parameters");
            return false;
        }
        return true;
    };
    auto fn = [&](Builtin f, std::initializer_list<const Type*> types, const Type* result,
                  std::vector<bool> byRef = {}) {
        std::vector<std::pair<const ast::Expr*, const Type*>> a;
        size_t k = 0;
        for (const Type* t : types) {
            a.push_back({k < args.size() ? args[k].get() : nullptr, t});
            ++k;
        }
        return callBuiltinFn(uint32_t(f), a, result, dest, byRef);
    };
    auto procResult = [&](Val v) {
        if (!asStatement && v.type == T.voidT) typeMismatch(pos);
        return v;
    };
    ConstValue cv;
    if (builtinConst(id, args, cv)) return materialize(cv, dest);

    switch (b) {
    case BI::Write:
    case BI::WriteLn:
        writeCall(args, b == BI::WriteLn);
        return procResult(none);
    case BI::Halt:
        if (!arity(0, 1)) return none;
        em_.emit(Op::Halt, {});
        return procResult(none);
    case BI::Exit:
    case BI::Break:
    case BI::Continue: error(pos, "Syntax error"); return none;
    case BI::Length: {
        if (!arity(1, 1)) return bad(T.integerT);
        Val v = expr(*args[0]);
        Val r;
        r.type = T.integerT;
        r.reg = dest ? *dest : temp(T.integerT);
        switch (v.type->code) {
        case TypeCode::String: case TypeCode::PChar: em_.emit(Op::StrLen, {r.reg, v.reg}); break;
        case TypeCode::DynArray: em_.emit(Op::ArrLen, {r.reg, v.reg}); break;
        case TypeCode::OpenArray: case TypeCode::ArrayOfConst: em_.emit(Op::AddIK, {r.reg, v.reg + 1, 1}); break;
        case TypeCode::Char: em_.emit(Op::LoadInt, {r.reg, 1, 0}); break;
        default: typeMismatch(args[0]->pos);
        }
        return r;
    }
    case BI::High:
    case BI::Low: {
        if (!arity(1, 1)) return bad(T.integerT);
        Val v = expr(*args[0]);
        Val r;
        r.type = T.integerT;
        r.reg = dest ? *dest : temp(T.integerT);
        bool high = b == BI::High;
        switch (v.type->code) {
        case TypeCode::DynArray:
            if (high) {
                em_.emit(Op::ArrLen, {r.reg, v.reg});
                em_.emit(Op::AddIK, {r.reg, r.reg, uint32_t(-1)});
            } else
                em_.emit(Op::LoadInt, {r.reg, 0, 0});
            break;
        case TypeCode::OpenArray: case TypeCode::ArrayOfConst:
            if (high)
                em_.emit(Op::Mov, {r.reg, v.reg + 1});
            else
                em_.emit(Op::LoadInt, {r.reg, 0, 0});
            break;
        case TypeCode::String:
            if (high)
                em_.emit(Op::StrLen, {r.reg, v.reg});
            else
                em_.emit(Op::LoadInt, {r.reg, 1, 0});
            break;
        default: typeMismatch(args[0]->pos);
        }
        return r;
    }
    case BI::SetLength: {
        if (args.size() < 2) {
            error(pos, "Invalid number of parameters");
            return none;
        }
        Loc l;
        if (!lvalue(*args[0], l, true)) return none;
        if (args.size() > 2) {
            setLengthDims(l, args, 1);
            return procResult(none);
        }
        Val n = exprTo(*args[1], T.int64T);
        Reg p = address(l);
        if (l.type->code == TypeCode::String)
            em_.emit(Op::StrSetLen, {p, n.reg});
        else if (l.type->code == TypeCode::DynArray)
            em_.emit(Op::ArrSetLen, {p, n.reg, typeDescIndex(l.type->elem)});
        else
            typeMismatch(args[0]->pos);
        return procResult(none);
    }
    case BI::Copy: {
        if (!arity(1, 3)) return bad(T.stringT);
        if (args.size() == 1) {
            // Copy(a): the whole dynamic array.
            Val s = expr(*args[0]);
            if (s.type->code != TypeCode::DynArray) {
                error(pos, "Invalid number of parameters");
                return bad(T.stringT);
            }
            uint32_t cells = 4;
            Reg base{ctx_->frame.argAlloc(cells)};
            em_.emit(Op::Mov, {base + 1, s.reg});
            em_.emit(Op::LoadInt, {base + 2, 0, 0});
            em_.emit(Op::LoadInt, {base + 3, uint32_t(INT32_MAX), 0});
            em_.emit(Op::CallBuiltin, {uint32_t(Builtin::CopyArr), base});
            Val r = takeResult(base, s.type, dest, false);
            ctx_->frame.argFree(cells);
            return r;
        }
        Val s = expr(*args[0]);
        if (s.type->code == TypeCode::DynArray) {
            std::vector<std::pair<const ast::Expr*, const Type*>> a = {{args[0].get(), s.type}, {args[1].get(), T.integerT}};
            if (args.size() == 3) a.push_back({args[2].get(), T.integerT});
            if (args.size() == 2) {
                ConstValue big;
                big.type = T.integerT;
                big.i = INT32_MAX;
                Val v = callBuiltinFn(uint32_t(Builtin::CopyArr), {{args[0].get(), s.type}, {args[1].get(), T.integerT}, {args[1].get(), T.integerT}}, s.type, dest);
                (void)v;
                error(pos, "Invalid number of parameters");
                return v;
            }
            return callBuiltinFn(uint32_t(Builtin::CopyArr), a, s.type, dest);
        }
        if (!isCharT(s.type) && s.type->code != TypeCode::String && s.type->code != TypeCode::Variant) {
            typeMismatch(args[0]->pos);
            return bad(T.stringT);
        }
        if (args.size() == 2) {
            // Copy(s, i): to the end.
            std::vector<std::pair<const ast::Expr*, const Type*>> a = {{args[0].get(), T.stringT}, {args[1].get(), T.integerT}};
            uint32_t cells = 4;
            Reg base{ctx_->frame.argAlloc(cells)};
            ParamInfo p0;
            p0.type = T.stringT;
            p0.offset = 1;
            passArgument(p0, args[0].get(), base, true);
            ParamInfo p1;
            p1.type = T.integerT;
            p1.offset = 2;
            passArgument(p1, args[1].get(), base, true);
            em_.emit(Op::LoadInt, {base + 3, uint32_t(INT32_MAX), 0});
            em_.emit(Op::CallBuiltin, {uint32_t(Builtin::CopyStr), base});
            Val r = takeResult(base, T.stringT, dest, false);
            ctx_->frame.argFree(cells);
            return r;
        }
        return fn(Builtin::CopyStr, {T.stringT, T.integerT, T.integerT}, T.stringT);
    }
    case BI::Pos:
        if (!arity(2, 2)) return bad(T.integerT);
        return fn(Builtin::PosStr, {T.stringT, T.stringT}, T.integerT);
    case BI::Delete:
        if (!arity(3, 3)) return none;
        return procResult(fn(Builtin::DeleteStr, {T.stringT, T.integerT, T.integerT}, nullptr, {true}));
    case BI::Insert:
        if (!arity(3, 3)) return none;
        return procResult(fn(Builtin::InsertStr, {T.stringT, T.stringT, T.integerT}, nullptr, {false, true}));
    case BI::Concat: {
        if (args.empty()) {
            error(pos, "Invalid number of parameters");
            return bad(T.stringT);
        }
        Val acc = exprTo(*args[0], T.stringT);
        for (size_t k = 1; k < args.size(); ++k) {
            Val v = exprTo(*args[k], T.stringT);
            Reg r = (dest && k + 1 == args.size()) ? *dest : temp(T.stringT);
            em_.emit(Op::Concat, {r, acc.reg, v.reg});
            acc.reg = r;
            acc.owned = true;
        }
        if (dest && args.size() == 1) return coerce(acc, T.stringT, pos, dest);
        return acc;
    }
    case BI::StringOfChar:
        if (!arity(2, 2)) return bad(T.stringT);
        return fn(Builtin::StringOfChar, {T.charT, T.integerT}, T.stringT);
    case BI::Chr: {
        if (!arity(1, 1)) return bad(T.charT);
        Val v = exprTo(*args[0], T.int64T);
        em_.emit(Op::CheckRange, {v.reg, 0, 255});
        Val r = v;
        r.type = T.charT;
        if (dest && !(*dest == v.reg)) {
            em_.emit(Op::Mov, {*dest, v.reg});
            r.reg = *dest;
        }
        return r;
    }
    case BI::Ord: {
        if (!arity(1, 1)) return bad(T.integerT);
        Val v = expr(*args[0], dest);
        if (!v.type->isOrdinal()) {
            typeMismatch(args[0]->pos);
            return v;
        }
        v.type = v.type->ordinalBase()->code == TypeCode::Int64 ? T.int64T : T.integerT;
        return v;
    }
    case BI::Succ:
    case BI::Pred: {
        if (!arity(1, 1)) return bad(T.integerT);
        Val v = expr(*args[0]);
        if (!v.type->isOrdinal()) {
            typeMismatch(args[0]->pos);
            return v;
        }
        Val r;
        r.type = v.type;
        r.reg = dest ? *dest : temp(v.type);
        int32_t k = b == BI::Succ ? 1 : -1;
        em_.emit(TypeTable::intKind(v.type) == IntKind::I64 ? Op::AddLK : Op::AddLK, {r.reg, v.reg, uint32_t(k)});
        return r;
    }
    case BI::Inc:
    case BI::Dec: {
        if (!arity(1, 2)) return none;
        Loc l;
        if (!lvalue(*args[0], l, true)) return none;
        if (!l.type->isOrdinal()) {
            typeMismatch(args[0]->pos);
            return none;
        }
        if (l.readOnly) {
            error(args[0]->pos, "Left side cannot be assigned to");
            return none;
        }
        IntKind kind = TypeTable::intKind(l.type);
        Val cur = load(l);
        Reg r = l.kind == Loc::Kind::Frame ? Reg{l.slot} : temp(l.type);
        ConstValue step;
        bool constStep = args.size() == 1 || evalConst(*args[1], step, false);
        int64_t amount = args.size() == 1 ? 1 : step.i;
        if (constStep && amount >= INT32_MIN && amount <= INT32_MAX) {
            int64_t signedAmount = b == BI::Inc ? amount : -amount;
            Op o = kind == IntKind::I32 && l.type->ordinalBase()->code == TypeCode::Integer ? Op::AddIK : Op::AddLK;
            em_.emit(o, {r, cur.reg, uint32_t(int32_t(signedAmount))});
        } else {
            Val n = exprTo(*args[1], T.int64T);
            em_.emit(b == BI::Inc ? Op::AddL : Op::SubL, {r, cur.reg, n.reg});
        }
        if (l.type->isInteger() || l.type->ordinalBase()->code == TypeCode::Char) {
            const Type* base = l.type->ordinalBase();
            int w = -1;
            switch (base->code) {
            case TypeCode::Byte: case TypeCode::Char: w = 0; break;
            case TypeCode::ShortInt: w = 1; break;
            case TypeCode::Word: w = 2; break;
            case TypeCode::SmallInt: w = 3; break;
            case TypeCode::Integer: w = (kind == IntKind::I32 && constStep) ? -1 : 4; break;
            case TypeCode::Cardinal: w = 5; break;
            default: break;
            }
            if (w >= 0) em_.emit(Op::Trunc, {r, r, uint32_t(w)});
        }
        if (l.kind != Loc::Kind::Frame) {
            Val nv;
            nv.type = l.type;
            nv.reg = r;
            store(l, nv, pos);
        }
        return procResult(none);
    }
    case BI::Odd: {
        if (!arity(1, 1)) return bad(T.booleanT);
        Val v = exprTo(*args[0], T.int64T);
        Val r;
        r.type = T.booleanT;
        r.reg = dest ? *dest : temp(T.booleanT);
        Reg one = temp(T.integerT);
        em_.emit(Op::LoadInt, {one, 1, 0});
        em_.emit(Op::And, {r.reg, v.reg, one});
        return r;
    }
    case BI::Abs: {
        if (!arity(1, 1)) return bad(T.integerT);
        Val v = expr(*args[0]);
        if (v.type->isReal()) return fn(Builtin::AbsF, {T.doubleT}, v.type->code == TypeCode::Extended ? T.extendedT : T.doubleT);
        if (v.type->isInteger()) {
            const Type* t = commonArith(v.type, T.integerT);
            return fn(t == T.int64T ? Builtin::AbsL : Builtin::AbsI, {t}, t);
        }
        if (v.type->code == TypeCode::Variant) return fn(Builtin::AbsF, {T.doubleT}, T.doubleT);
        typeMismatch(args[0]->pos);
        return v;
    }
    case BI::Sqr: {
        if (!arity(1, 1)) return bad(T.integerT);
        Val v = expr(*args[0]);
        Val r;
        if (v.type->isReal()) {
            r.type = v.type;
            r.reg = dest ? *dest : temp(v.type);
            em_.emit(Op::MulF, {r.reg, v.reg, v.reg});
            return r;
        }
        if (v.type->isInteger()) {
            const Type* t = commonArith(v.type, T.integerT);
            r.type = t;
            r.reg = dest ? *dest : temp(t);
            em_.emit(t == T.int64T ? Op::MulL : t == T.cardinalT ? Op::MulU : Op::MulI, {r.reg, v.reg, v.reg});
            return r;
        }
        typeMismatch(args[0]->pos);
        return v;
    }
    case BI::Sqrt: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Sqrt, {T.doubleT}, T.extendedT);
    case BI::Sin: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Sin, {T.doubleT}, T.extendedT);
    case BI::Cos: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Cos, {T.doubleT}, T.extendedT);
    case BI::ArcTan: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::ArcTan, {T.doubleT}, T.extendedT);
    case BI::Exp: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Exp, {T.doubleT}, T.extendedT);
    case BI::Ln: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Ln, {T.doubleT}, T.extendedT);
    case BI::Int: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Int, {T.doubleT}, T.extendedT);
    case BI::Frac: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::Frac, {T.doubleT}, T.extendedT);
    case BI::Trunc: if (!arity(1, 1)) return bad(T.int64T); return fn(Builtin::Trunc, {T.doubleT}, T.int64T);
    case BI::Round: if (!arity(1, 1)) return bad(T.int64T); return fn(Builtin::Round, {T.doubleT}, T.int64T);
    case BI::Pi: if (!arity(0, 0)) return bad(T.doubleT); break;
    case BI::Random:
        if (!arity(0, 1)) return bad(T.integerT);
        if (args.empty()) return fn(Builtin::RandomReal, {}, T.extendedT);
        return fn(Builtin::Random, {T.integerT}, T.integerT);
    case BI::Randomize: if (!arity(0, 0)) return none; return procResult(fn(Builtin::Randomize, {}, nullptr));
    case BI::Include:
    case BI::Exclude: {
        if (!arity(2, 2)) return none;
        Loc l;
        if (!lvalue(*args[0], l, true)) return none;
        if (l.type->code != TypeCode::Set) {
            typeMismatch(args[0]->pos);
            return none;
        }
        // The member is range-checked by the VM, not cut to the element type.
        Val e = expr(*args[1]);
        const Type* et = l.type->elem ? l.type->elem : T.byteT;
        if (!e.type->isOrdinal() || !(assignable(e.type, et) || (e.type->isInteger() && et->isInteger()))) {
            typeMismatch(args[1]->pos);
            return none;
        }
        Op o = b == BI::Include ? Op::SetIncl : Op::SetExcl;
        if (l.kind == Loc::Kind::Frame) {
            em_.emit(o, {Reg{l.slot}, e.reg});
        } else {
            Val s = load(l);
            Reg t = temp(l.type);
            em_.emit(Op::MovComp, {t, s.reg, typeDescIndex(l.type)});
            em_.emit(o, {t, e.reg});
            Val nv;
            nv.type = l.type;
            nv.reg = t;
            store(l, nv, pos);
        }
        return procResult(none);
    }
    case BI::Assigned: {
        if (!arity(1, 1)) return bad(T.booleanT);
        Val v = expr(*args[0]);
        Val r;
        r.type = T.booleanT;
        r.reg = dest ? *dest : temp(T.booleanT);
        Reg z = temp(T.integerT);
        em_.emit(Op::LoadInt, {z, 0, 0});
        em_.emit(Op::NeI, {r.reg, v.reg, z});
        return r;
    }
    case BI::UpCase: if (!arity(1, 1)) return bad(T.charT); return fn(Builtin::UpCase, {T.charT}, T.charT);
    case BI::Val: {
        if (!arity(3, 3)) return none;
        Loc l;
        if (!lvalue(*args[1], l, true)) return none;
        bool real = l.type->isReal();
        if (!real && !l.type->isInteger()) {
            typeMismatch(args[1]->pos);
            return none;
        }
        std::vector<std::pair<const ast::Expr*, const Type*>> a = {
            {args[0].get(), T.stringT}, {args[1].get(), l.type}, {args[2].get(), T.integerT}};
        Builtin which = real ? Builtin::ValReal
                        : TypeTable::intKind(l.type) == IntKind::I64 ? Builtin::ValInt64 : Builtin::ValInt;
        callBuiltinFn(uint32_t(which), a, nullptr, nullptr, {false, true, true});
        return procResult(none);
    }
    case BI::Str: {
        if (!arity(2, 2)) return none;
        const ast::Expr* value = args[0].get();
        const ast::Expr* width = nullptr;
        const ast::Expr* decimals = nullptr;
        if (value->kind == ast::ExprKind::WriteArg) {
            width = value->width.get();
            decimals = value->decimals.get();
            value = value->left.get();
        }
        Val v = expr(*value);
        uint32_t cells = 6;
        Reg base{ctx_->frame.argAlloc(cells)};
        bool real = v.type->isReal();
        if (!real && !v.type->isInteger()) typeMismatch(value->pos);
        Val cv2 = coerce(v, real ? T.doubleT : T.int64T, value->pos);
        em_.emit(Op::Mov, {base + 1, cv2.reg});
        if (width) {
            Val w = exprTo(*width, T.integerT);
            em_.emit(Op::Mov, {base + 2, w.reg});
        } else {
            em_.emit(Op::LoadInt, {base + 2, uint32_t(-1), uint32_t(-1)});
        }
        Loc l;
        if (!lvalue(*args[1], l, true) || l.type->code != TypeCode::String) {
            if (l.type && l.type->code != TypeCode::String) typeMismatch(args[1]->pos);
            ctx_->frame.argFree(cells);
            return none;
        }
        if (real) {
            if (decimals) {
                Val d = exprTo(*decimals, T.integerT);
                em_.emit(Op::Mov, {base + 3, d.reg});
            } else {
                em_.emit(Op::LoadInt, {base + 3, uint32_t(-1), uint32_t(-1)});
            }
            address(l, nullptr);
            Reg p = address(l);
            em_.emit(Op::Mov, {base + 4, p});
            em_.emit(Op::CallBuiltin, {uint32_t(Builtin::StrReal), base});
        } else {
            Reg p = address(l);
            em_.emit(Op::Mov, {base + 3, p});
            em_.emit(Op::CallBuiltin, {uint32_t(Builtin::StrInt), base});
        }
        ctx_->frame.argFree(cells);
        return procResult(none);
    }
    case BI::IntToStr: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::IntToStr, {T.int64T}, T.stringT);
    case BI::IntToHex: {
        if (!arity(2, 2)) return bad(T.stringT);
        Val v = expr(*args[0]);
        bool wide = v.type->isInteger() && TypeTable::intKind(v.type) == IntKind::I64;
        return fn(wide ? Builtin::IntToHex64 : Builtin::IntToHex, {T.int64T, T.integerT}, T.stringT);
    }
    case BI::StrToInt: if (!arity(1, 1)) return bad(T.integerT); return fn(Builtin::StrToInt, {T.stringT}, T.integerT);
    case BI::StrToIntDef:
        if (!arity(2, 2)) return bad(T.integerT);
        return fn(Builtin::StrToIntDef, {T.stringT, T.integerT}, T.integerT);
    case BI::StrToInt64: if (!arity(1, 1)) return bad(T.int64T); return fn(Builtin::StrToInt64, {T.stringT}, T.int64T);
    case BI::FloatToStr: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::FloatToStr, {T.doubleT}, T.stringT);
    case BI::StrToFloat: if (!arity(1, 1)) return bad(T.doubleT); return fn(Builtin::StrToFloat, {T.stringT}, T.extendedT);
    case BI::StrToFloatDef:
        if (!arity(2, 2)) return bad(T.doubleT);
        return fn(Builtin::StrToFloatDef, {T.stringT, T.doubleT}, T.extendedT);
    case BI::FormatFloat:
        if (!arity(2, 2)) return bad(T.stringT);
        return fn(Builtin::FormatFloat, {T.stringT, T.doubleT}, T.stringT);
    case BI::Format:
        if (!arity(2, 2)) return bad(T.stringT);
        return fn(Builtin::Format, {T.stringT, T.arrayOfConstT}, T.stringT);
    case BI::UpperCase: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::UpperCase, {T.stringT}, T.stringT);
    case BI::LowerCase: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::LowerCase, {T.stringT}, T.stringT);
    case BI::Trim: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::Trim, {T.stringT}, T.stringT);
    case BI::TrimLeft: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::TrimLeft, {T.stringT}, T.stringT);
    case BI::TrimRight: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::TrimRight, {T.stringT}, T.stringT);
    case BI::CompareStr:
        if (!arity(2, 2)) return bad(T.integerT);
        return fn(Builtin::CompareStr, {T.stringT, T.stringT}, T.integerT);
    case BI::CompareText:
        if (!arity(2, 2)) return bad(T.integerT);
        return fn(Builtin::CompareText, {T.stringT, T.stringT}, T.integerT);
    case BI::SameText:
        if (!arity(2, 2)) return bad(T.booleanT);
        return fn(Builtin::SameText, {T.stringT, T.stringT}, T.booleanT);
    case BI::QuotedStr: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::QuotedStr, {T.stringT}, T.stringT);
    case BI::StringReplace: {
        if (!arity(4, 4)) return bad(T.stringT);
        Symbol* flags = lookup("TReplaceFlags");
        return fn(Builtin::StringReplace, {T.stringT, T.stringT, T.stringT, flags->type}, T.stringT);
    }
    case BI::BoolToStr: {
        if (!arity(1, 2)) return bad(T.stringT);
        if (args.size() == 1) {
            uint32_t cells = 3;
            Reg base{ctx_->frame.argAlloc(cells)};
            ParamInfo p0;
            p0.type = T.booleanT;
            p0.offset = 1;
            passArgument(p0, args[0].get(), base, true);
            em_.emit(Op::LoadInt, {base + 2, 0, 0});
            em_.emit(Op::CallBuiltin, {uint32_t(Builtin::BoolToStr), base});
            Val r = takeResult(base, T.stringT, dest, false);
            ctx_->frame.argFree(cells);
            return r;
        }
        return fn(Builtin::BoolToStr, {T.booleanT, T.booleanT}, T.stringT);
    }
    case BI::Now: if (!arity(0, 0)) return bad(T.dateTimeT); return fn(Builtin::Now, {}, T.dateTimeT);
    case BI::Date: if (!arity(0, 0)) return bad(T.dateTimeT); return fn(Builtin::Date, {}, T.dateTimeT);
    case BI::Time: if (!arity(0, 0)) return bad(T.dateTimeT); return fn(Builtin::Time, {}, T.dateTimeT);
    case BI::EncodeDate:
        if (!arity(3, 3)) return bad(T.dateTimeT);
        return fn(Builtin::EncodeDate, {T.integerT, T.integerT, T.integerT}, T.dateTimeT);
    case BI::EncodeTime:
        if (!arity(4, 4)) return bad(T.dateTimeT);
        return fn(Builtin::EncodeTime, {T.integerT, T.integerT, T.integerT, T.integerT}, T.dateTimeT);
    case BI::DecodeDate:
        if (!arity(4, 4)) return none;
        return procResult(fn(Builtin::DecodeDate, {T.doubleT, T.wordT, T.wordT, T.wordT}, nullptr, {false, true, true, true}));
    case BI::DecodeTime:
        if (!arity(5, 5)) return none;
        return procResult(fn(Builtin::DecodeTime, {T.doubleT, T.wordT, T.wordT, T.wordT, T.wordT}, nullptr,
                             {false, true, true, true, true}));
    case BI::DayOfWeek: if (!arity(1, 1)) return bad(T.integerT); return fn(Builtin::DayOfWeek, {T.doubleT}, T.integerT);
    case BI::DateToStr: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::DateToStr, {T.doubleT}, T.stringT);
    case BI::TimeToStr: if (!arity(1, 1)) return bad(T.stringT); return fn(Builtin::TimeToStr, {T.doubleT}, T.stringT);
    case BI::DateTimeToStr:
        if (!arity(1, 1)) return bad(T.stringT);
        return fn(Builtin::DateTimeToStr, {T.doubleT}, T.stringT);
    case BI::FormatDateTime:
        if (!arity(2, 2)) return bad(T.stringT);
        return fn(Builtin::FormatDateTime, {T.stringT, T.doubleT}, T.stringT);
    case BI::Sleep: if (!arity(1, 1)) return none; return procResult(fn(Builtin::Sleep, {T.int64T}, nullptr));
    case BI::GetTickCount: if (!arity(0, 0)) return bad(T.cardinalT); return fn(Builtin::GetTickCount, {}, T.cardinalT);
    case BI::VarType: if (!arity(1, 1)) return bad(T.integerT); return fn(Builtin::VarType, {T.variantT}, T.integerT);
    case BI::VarIsNull: if (!arity(1, 1)) return bad(T.booleanT); return fn(Builtin::VarIsNull, {T.variantT}, T.booleanT);
    case BI::VarIsEmpty: if (!arity(1, 1)) return bad(T.booleanT); return fn(Builtin::VarIsEmpty, {T.variantT}, T.booleanT);
    case BI::Null: if (!arity(0, 0)) return bad(T.variantT); return fn(Builtin::Null, {}, T.variantT);
    case BI::Unassigned: if (!arity(0, 0)) return bad(T.variantT); return fn(Builtin::Unassigned, {}, T.variantT);
    case BI::SizeOf: if (!arity(1, 1)) return bad(T.integerT); typeMismatch(args[0]->pos); return bad(T.integerT);
    case BI::Count: break;
    }
    error(pos, "Invalid number of parameters");
    (void)name;
    return bad(T.integerT);
}

} // namespace novrix::engine
