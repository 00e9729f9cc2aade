// Statements.
#include "builtin_names.h"
#include "compiler_impl.h"
#include "engine/vm/exceptions.h"

namespace novrix::engine {

using vm::Op;

void Compiler::markLine(SourcePos pos) {
    if (pos.row > 0) em_.line(pos.row, pos.col, pos.file);
}

void Compiler::stmts(const std::vector<ast::StmtPtr>& list) {
    for (const auto& s : list)
        if (s) stmt(*s);
}

void Compiler::stmt(const ast::Stmt& s) {
    size_t mark = ctx_->frame.mark();
    if (s.kind != ast::StmtKind::Compound && s.kind != ast::StmtKind::Empty) markLine(s.pos);
    switch (s.kind) {
    case ast::StmtKind::Empty: break;
    case ast::StmtKind::Compound: stmts(s.body); break;
    case ast::StmtKind::Assign: assignStmt(s); break;
    case ast::StmtKind::Call: callStmt(s); break;
    case ast::StmtKind::If: ifStmt(s); break;
    case ast::StmtKind::Case: caseStmt(s); break;
    case ast::StmtKind::For: forStmt(s); break;
    case ast::StmtKind::ForIn: forInStmt(s); break;
    case ast::StmtKind::While: whileStmt(s); break;
    case ast::StmtKind::Repeat: repeatStmt(s); break;
    case ast::StmtKind::Break:
    case ast::StmtKind::Continue: {
        bool isBreak = s.kind == ast::StmtKind::Break;
        if (ctx_->loops.empty()) {
            error(s.pos, isBreak ? "Break outside of loop" : "Continue outside of loop");
            break;
        }
        const LoopContext& loop = ctx_->loops.back();
        jumpOut(isBreak ? *loop.breakLabel : *loop.continueLabel, loop.finallyDepth);
        break;
    }
    case ast::StmtKind::Exit: exitStmt(s); break;
    case ast::StmtKind::With: withStmt(s); break;
    case ast::StmtKind::TryExcept: tryExcept(s); break;
    case ast::StmtKind::TryFinally: tryFinally(s); break;
    case ast::StmtKind::Raise: raiseStmt(s); break;
    }
    ctx_->frame.release(mark);
}

void Compiler::assignStmt(const ast::Stmt& s) {
    TypeTable& T = *types_;
    Loc l;
    if (!lvalue(*s.target, l, true)) {
        // Still check the right-hand side for errors of its own.
        expr(*s.value);
        return;
    }
    if (l.readOnly) {
        error(s.target->pos, "Left side cannot be assigned to");
        return;
    }
    // s := s + a + b ... appends in place, so building a string in a loop takes linear time.
    if (l.kind == Loc::Kind::Frame && l.type->code == TypeCode::String && s.value->kind == ast::ExprKind::Binary &&
        s.value->op == ast::Op::Add) {
        std::vector<const ast::Expr*> tail;
        const ast::Expr* node = s.value.get();
        while (node->kind == ast::ExprKind::Binary && node->op == ast::Op::Add) {
            tail.push_back(node->right.get());
            node = node->left.get();
        }
        Loc head;
        if (node->kind == ast::ExprKind::Name && lvalue(*node, head, false) && head.kind == Loc::Kind::Frame &&
            head.slot == l.slot && head.type->code == TypeCode::String) {
            // Every piece must be a string or a character; anything else takes the general path.
            bool allText = true;
            for (const ast::Expr* piece : tail) {
                ConstValue cv;
                if (evalConst(*piece, cv, false)) {
                    allText = allText && (cv.type->code == TypeCode::String || cv.type->code == TypeCode::Char);
                    continue;
                }
                size_t mark = prog_->code.size();
                size_t tmark = ctx_->frame.mark();
                Val v = expr(*piece);
                allText = allText && (v.type->code == TypeCode::String || v.type->ordinalBase()->code == TypeCode::Char);
                em_.truncate(mark);
                ctx_->frame.release(tmark);
            }
            if (allText) {
                for (size_t k = tail.size(); k-- > 0;) {
                    Val v = expr(*tail[k]);
                    if (v.type->ordinalBase()->code == TypeCode::Char)
                        em_.emit(Op::AppendChar, {Reg{l.slot}, v.reg});
                    else
                        em_.emit(Op::Append, {Reg{l.slot}, v.reg});
                }
                return;
            }
        }
    }
    (void)T;
    if (l.kind == Loc::Kind::Frame) {
        Reg dest{l.slot};
        Val v = exprTo(*s.value, l.type, &dest);
        if (!(v.reg == dest)) store(l, v, s.value->pos);
        return;
    }
    Val v = exprTo(*s.value, l.type);
    store(l, v, s.value->pos);
}

void Compiler::callStmt(const ast::Stmt& s) {
    const ast::Expr& e = *s.value;
    if (e.kind == ast::ExprKind::Name) {
        Symbol* sym = lookup(e.name);
        if (sym && sym->kind == SymKind::Builtin) {
            BI b = BI(sym->builtin);
            if (b == BI::Break || b == BI::Continue) {
                ast::Stmt tmp;
                tmp.kind = b == BI::Break ? ast::StmtKind::Break : ast::StmtKind::Continue;
                tmp.pos = s.pos;
                stmt(tmp);
                return;
            }
            if (b == BI::Exit) {
                jumpOut(ctx_->exitLabel, 0);
                return;
            }
        }
        if (sym && sym->kind == SymKind::Var) {
            error(e.pos, "Syntax error");
            return;
        }
        call(e, nullptr, e.pos, nullptr, true);
        return;
    }
    if (e.kind == ast::ExprKind::Call) {
        if (e.left->kind == ast::ExprKind::Name) {
            Symbol* sym = lookup(e.left->name);
            if (sym && sym->kind == SymKind::Builtin && BI(sym->builtin) == BI::Exit) {
                ast::Stmt tmp;
                tmp.kind = ast::StmtKind::Exit;
                tmp.pos = s.pos;
                if (e.args.size() == 1) {
                    // Exit(value): assign Result, then leave.
                    if (!ctx_->info || !ctx_->info->result) {
                        error(e.pos, "Invalid number of parameters");
                        return;
                    }
                    Loc r;
                    r.kind = Loc::Kind::Frame;
                    r.type = ctx_->info->result;
                    r.slot = ctx_->resultSlot;
                    Reg dest{r.slot};
                    Val v = exprTo(*e.args[0], r.type, &dest);
                    if (!(v.reg == dest)) store(r, v, e.args[0]->pos);
                }
                jumpOut(ctx_->exitLabel, 0);
                return;
            }
        }
        call(*e.left, &e.args, e.pos, nullptr, true);
        return;
    }
    if (e.kind == ast::ExprKind::Member) {
        methodCall(e, nullptr, nullptr);
        return;
    }
    error(e.pos, "Syntax error");
}

void Compiler::ifStmt(const ast::Stmt& s) {
    Label elseL, end;
    condJump(*s.cond, false, elseL);
    if (s.thenStmt) stmt(*s.thenStmt);
    if (s.elseStmt) {
        em_.emitJump(Op::Jump, {}, end);
        em_.bind(elseL);
        stmt(*s.elseStmt);
        em_.bind(end);
    } else {
        em_.bind(elseL);
    }
}

void Compiler::caseStmt(const ast::Stmt& s) {
    TypeTable& T = *types_;
    Val sel = expr(*s.value);
    bool isString = sel.type->code == TypeCode::String || (sel.type->isOrdinal() && sel.type->ordinalBase()->code == TypeCode::Char && false);
    if (!isString && !sel.type->isOrdinal()) {
        error(s.value->pos, "Ordinal type required");
        return;
    }
    Label end;
    std::vector<std::pair<int64_t, int64_t>> seen;
    std::vector<std::pair<std::string, std::string>> seenStr;
    for (const ast::CaseBranch& br : s.branches) {
        Label body, next;
        for (const ast::CaseLabel& lab : br.labels) {
            ConstValue lo, hi;
            if (!evalConst(*lab.low, lo, true)) continue;
            if (lab.high) {
                if (!evalConst(*lab.high, hi, true)) continue;
            } else {
                hi = lo;
            }
            if (isString) {
                if (!convertConst(lo, T.stringT, lab.low->pos, true) || !convertConst(hi, T.stringT, lab.low->pos, true))
                    continue;
                for (auto& [a, b] : seenStr)
                    if (!(hi.s < a || lo.s > b)) error(lab.low->pos, "Duplicate case label");
                seenStr.push_back({lo.s, hi.s});
                Val k = materialize(lo, nullptr);
                Reg r = temp(T.booleanT);
                if (!lab.high) {
                    em_.emit(Op::CmpS, {r, sel.reg, k.reg, uint32_t(vm::Rel::Eq)});
                    em_.emitJump(Op::JumpIfTrue, {r}, body);
                } else {
                    Label skip;
                    Val k2 = materialize(hi, nullptr);
                    em_.emit(Op::CmpS, {r, sel.reg, k.reg, uint32_t(vm::Rel::Lt)});
                    em_.emitJump(Op::JumpIfTrue, {r}, skip);
                    em_.emit(Op::CmpS, {r, sel.reg, k2.reg, uint32_t(vm::Rel::Le)});
                    em_.emitJump(Op::JumpIfTrue, {r}, body);
                    em_.bind(skip);
                }
                continue;
            }
            if (!lo.type || !lo.type->isOrdinal() || !assignable(lo.type, sel.type, &lo)) {
                if (!(lo.type && lo.type->isInteger() && sel.type->isInteger())) {
                    typeMismatch(lab.low->pos);
                    continue;
                }
            }
            if (lo.type->code == TypeCode::String && lo.s.size() == 1) lo.i = uint8_t(lo.s[0]);
            if (hi.type && hi.type->code == TypeCode::String && hi.s.size() == 1) hi.i = uint8_t(hi.s[0]);
            for (auto& [a, b] : seen)
                if (!(hi.i < a || lo.i > b)) error(lab.low->pos, "Duplicate case label");
            seen.push_back({lo.i, hi.i});
            ConstValue klo = lo;
            klo.type = T.int64T;
            Val k = materialize(klo, nullptr);
            if (!lab.high) {
                em_.emitJump(Op::JumpEqI, {sel.reg, k.reg}, body);
            } else {
                Label skip;
                ConstValue khi = hi;
                khi.type = T.int64T;
                Val k2 = materialize(khi, nullptr);
                em_.emitJump(Op::JumpLtI, {sel.reg, k.reg}, skip);
                em_.emitJump(Op::JumpLeI, {sel.reg, k2.reg}, body);
                em_.bind(skip);
            }
        }
        em_.emitJump(Op::Jump, {}, next);
        em_.bind(body);
        if (br.body) stmt(*br.body);
        em_.emitJump(Op::Jump, {}, end);
        em_.bind(next);
    }
    if (s.hasCaseElse) stmts(s.body);
    em_.bind(end);
}

void Compiler::forStmt(const ast::Stmt& s) {
    TypeTable& T = *types_;
    Symbol* sym = lookup(s.loopVar.name);
    if (!sym) {
        error(s.loopVar.pos, "Unknown identifier '" + s.loopVar.name + "'");
        return;
    }
    if (sym->kind != SymKind::Var || !sym->var->type->isOrdinal() || sym->var->storage == Storage::Ref ||
        (sym->var->isParam && sym->var->readOnly)) {
        error(s.loopVar.pos, "For loop control variable must be a local or global ordinal variable");
        return;
    }
    VarInfo* var = sym->var;
    Loc l = varLoc(var);
    const Type* vt = var->type;
    Label loop, cont, exit;
    Reg counter;
    bool direct = l.kind == Loc::Kind::Frame;
    if (direct) {
        counter = Reg{l.slot};
        Val f = exprTo(*s.from, vt, &counter);
        if (!(f.reg == counter)) em_.emit(Op::Mov, {counter, f.reg});
    } else {
        counter = temp(T.int64T);
        Val f = exprTo(*s.from, vt, &counter);
        if (!(f.reg == counter)) em_.emit(Op::Mov, {counter, f.reg});
    }
    Reg end = temp(T.int64T);
    Val t = exprTo(*s.to, vt, &end);
    if (!(t.reg == end)) em_.emit(Op::Mov, {end, t.reg});
    em_.emitJump(s.downto ? Op::JumpLtI : Op::JumpGtI, {counter, end}, exit);
    em_.bind(loop);
    if (!direct) {
        Val cv;
        cv.type = vt;
        cv.reg = counter;
        store(l, cv, s.loopVar.pos);
    }
    ctx_->loops.push_back({&exit, &cont, ctx_->finallies.size()});
    bool savedRO = var->readOnly;
    var->readOnly = true;
    if (s.loopBody) stmt(*s.loopBody);
    var->readOnly = savedRO;
    ctx_->loops.pop_back();
    em_.bind(cont);
    markLine(s.pos);
    em_.emitJump(s.downto ? Op::ForDown : Op::ForUp, {counter, end}, loop);
    em_.bind(exit);
}

void Compiler::forInStmt(const ast::Stmt& s) {
    TypeTable& T = *types_;
    Loc varL;
    if (!nameLoc(s.loopVar.name, s.loopVar.pos, varL)) return;
    Val coll = expr(*s.from);
    const Type* ct = coll.type;
    const Type* et = nullptr;
    Reg n = temp(T.integerT);
    Reg i = temp(T.integerT);
    Reg pair;
    switch (ct->code) {
    case TypeCode::DynArray: et = ct->elem; em_.emit(Op::ArrLen, {n, coll.reg}); break;
    case TypeCode::String: et = T.charT; em_.emit(Op::StrLen, {n, coll.reg}); break;
    case TypeCode::StaticArray:
        et = ct->elem;
        em_.emit(Op::LoadInt, {n, uint32_t(ct->index->count()), 0});
        break;
    case TypeCode::OpenArray:
        et = ct->elem;
        em_.emit(Op::AddIK, {n, coll.reg + 1, 1});
        break;
    case TypeCode::Set:
        et = ct->elem ? ct->elem : T.byteT;
        em_.emit(Op::LoadInt, {n, 256, 0});
        break;
    default: error(s.from->pos, "Type mismatch"); return;
    }
    if (!assignable(et, varL.type)) {
        typeMismatch(s.loopVar.pos);
        return;
    }
    (void)pair;
    Label loop, cont, exit;
    em_.emit(Op::LoadInt, {i, 0, 0});
    em_.bind(loop);
    em_.emitJump(Op::JumpGeI, {i, n}, exit);
    Val elem;
    elem.type = et;
    switch (ct->code) {
    case TypeCode::DynArray: {
        Loc el;
        if (et->cells == 1 && !et->isManagedCell()) {
            el.kind = Loc::Kind::DynElem;
            el.slot = coll.reg.slot;
            el.idx = i.slot;
        } else {
            Reg p = temp(T.nilT);
            em_.emit(Op::IndexDyn, {p, coll.reg, i, et->cells});
            el.kind = Loc::Kind::Ptr;
            el.slot = p.slot;
        }
        el.type = et;
        elem = load(el);
        break;
    }
    case TypeCode::String:
        elem.reg = temp(T.charT);
        {
            Reg k = temp(T.integerT);
            em_.emit(Op::AddIK, {k, i, 1});
            em_.emit(Op::StrChar, {elem.reg, coll.reg, k});
        }
        break;
    case TypeCode::StaticArray: {
        Reg base = temp(T.nilT);
        em_.emit(Op::AddrLocal, {base, coll.reg});
        Reg p = temp(T.nilT);
        em_.emit(Op::IndexPtr, {p, base, i, 0, uint32_t(ct->index->count()), et->cells});
        Loc el;
        el.kind = Loc::Kind::Ptr;
        el.type = et;
        el.slot = p.slot;
        elem = load(el);
        break;
    }
    case TypeCode::OpenArray: {
        Reg p = temp(T.nilT);
        em_.emit(Op::IndexOpen, {p, coll.reg, i, et->cells});
        Loc el;
        el.kind = Loc::Kind::Ptr;
        el.type = et;
        el.slot = p.slot;
        elem = load(el);
        break;
    }
    case TypeCode::Set: {
        Reg in = temp(T.booleanT);
        em_.emit(Op::SetIn, {in, i, coll.reg});
        em_.emitJump(Op::JumpIfFalse, {in}, cont);
        elem.reg = i;
        break;
    }
    default: break;
    }
    store(varL, coerce(elem, varL.type, s.loopVar.pos), s.loopVar.pos);
    ctx_->loops.push_back({&exit, &cont, ctx_->finallies.size()});
    if (s.loopBody) stmt(*s.loopBody);
    ctx_->loops.pop_back();
    em_.bind(cont);
    em_.emit(Op::AddIK, {i, i, 1});
    em_.emitJump(Op::Jump, {}, loop);
    em_.bind(exit);
}

void Compiler::whileStmt(const ast::Stmt& s) {
    Label body, cond, exit;
    em_.emitJump(Op::Jump, {}, cond);
    em_.bind(body);
    ctx_->loops.push_back({&exit, &cond, ctx_->finallies.size()});
    if (s.loopBody) stmt(*s.loopBody);
    ctx_->loops.pop_back();
    em_.bind(cond);
    markLine(s.pos);
    condJump(*s.cond, true, body);
    em_.bind(exit);
}

void Compiler::repeatStmt(const ast::Stmt& s) {
    Label top, cont, exit;
    em_.bind(top);
    ctx_->loops.push_back({&exit, &cont, ctx_->finallies.size()});
    stmts(s.body);
    ctx_->loops.pop_back();
    em_.bind(cont);
    markLine(s.endPos.row > 0 ? s.endPos : s.pos);
    condJump(*s.cond, false, top);
    em_.bind(exit);
}

void Compiler::jumpOut(Label& target, size_t finallyDepth) {
    for (size_t k = ctx_->finallies.size(); k-- > finallyDepth;) {
        Label next;
        em_.emitJump(Op::SetFinally, {Reg{ctx_->finallies[k].slot}}, next);
        em_.emitJump(Op::Jump, {}, *ctx_->finallies[k].finallyLabel);
        em_.bind(next);
    }
    em_.emitJump(Op::Jump, {}, target);
}

void Compiler::exitStmt(const ast::Stmt& s) {
    if (s.value) {
        if (!ctx_->info || !ctx_->info->result) {
            error(s.value->pos, "Invalid number of parameters");
            return;
        }
        Loc r;
        r.kind = Loc::Kind::Frame;
        r.type = ctx_->info->result;
        r.slot = ctx_->resultSlot;
        Reg dest{r.slot};
        Val v = exprTo(*s.value, r.type, &dest);
        if (!(v.reg == dest)) store(r, v, s.value->pos);
    }
    jumpOut(ctx_->exitLabel, 0);
}

void Compiler::withStmt(const ast::Stmt& s) {
    size_t pushed = 0;
    for (const auto& we : s.withExprs) {
        Loc l;
        if (!lvalue(*we, l, false)) {
            Val v = expr(*we);
            if (v.type->code != TypeCode::Record) {
                error(we->pos, "Record type required");
                continue;
            }
            l.kind = Loc::Kind::Frame;
            l.type = v.type;
            l.slot = v.reg.slot;
        }
        if (l.type->code != TypeCode::Record) {
            error(we->pos, "Record type required");
            continue;
        }
        // Element places computed from indexes are fixed for the statement: take their address once.
        if (l.kind == Loc::Kind::Outer) l = materializeLoc(l);
        withs_.push_back({l.type, l});
        ++pushed;
    }
    if (s.loopBody) stmt(*s.loopBody);
    withs_.resize(withs_.size() - pushed);
}

void Compiler::tryFinally(const ast::Stmt& s) {
    TypeTable& T = *types_;
    // Two cells: where to go after the finally part, and the exception it must raise again.
    uint32_t slot = ctx_->frame.temp(2, -1, {1});
    Label fin, after;
    uint32_t start = em_.pc();
    ctx_->finallies.push_back({slot, &fin});
    stmts(s.body);
    ctx_->finallies.pop_back();
    uint32_t end = em_.pc();
    em_.emitJump(Op::SetFinally, {Reg{slot}}, after);
    em_.bind(fin);
    ctx_->handlers.push_back({start, end, uint32_t(fin.pos), true, slot});
    stmts(s.body2);
    markLine(s.endPos);
    em_.emit(Op::EndFinally, {Reg{slot}});
    em_.bind(after);
    (void)T;
}

void Compiler::tryExcept(const ast::Stmt& s) {
    TypeTable& T = *types_;
    Reg slot = temp(T.exceptionT);
    Label handler, after;
    uint32_t start = em_.pc();
    stmts(s.body);
    uint32_t end = em_.pc();
    em_.emitJump(Op::Jump, {}, after);
    em_.bind(handler);
    ctx_->handlers.push_back({start, end, uint32_t(handler.pos), false, slot.slot});
    ctx_->exceptSlots.push_back(slot.slot);
    if (s.hasHandlers) {
        for (const ast::ExceptHandler& h : s.handlers) {
            Symbol* cls = lookup(h.typeName.name);
            if (!cls || cls->kind != SymKind::ExcClass) {
                error(h.typeName.pos, cls ? "Type mismatch" : "Unknown identifier '" + h.typeName.name + "'");
                continue;
            }
            Label next;
            Reg is = temp(T.booleanT);
            em_.emit(Op::ExcIs, {is, slot, uint32_t(cls->classId)});
            em_.emitJump(Op::JumpIfFalse, {is}, next);
            Scope hs(scope_, scope_->level());
            Scope* saved = scope_;
            if (!h.varName.name.empty()) {
                auto var = std::make_unique<VarInfo>();
                var->name = h.varName.name;
                var->type = cls->type;
                var->storage = Storage::Local;
                var->level = ctx_->level;
                var->slot = slot.slot;
                var->used = true;
                var->readOnly = true;
                var->pos = h.varName.pos;
                Symbol vs;
                vs.kind = SymKind::Var;
                vs.name = h.varName.name;
                vs.var = var.get();
                hs.add(lower(h.varName.name), std::move(vs));
                vars_.push_back(std::move(var));
                scope_ = &hs;
            }
            if (h.body) stmt(*h.body);
            scope_ = saved;
            em_.emit(Op::LoadNil, {slot});
            em_.emitJump(Op::Jump, {}, after);
            em_.bind(next);
        }
        if (s.hasExceptElse) {
            stmts(s.body2);
            em_.emit(Op::LoadNil, {slot});
        } else {
            em_.emit(Op::Reraise, {slot});
        }
    } else {
        stmts(s.body2);
        em_.emit(Op::LoadNil, {slot});
    }
    ctx_->exceptSlots.pop_back();
    em_.bind(after);
}

void Compiler::raiseStmt(const ast::Stmt& s) {
    if (!s.value) {
        if (ctx_->exceptSlots.empty()) {
            error(s.pos, "Re-raising exception only allowed in exception handler");
            return;
        }
        em_.emit(Op::Reraise, {Reg{ctx_->exceptSlots.back()}});
        return;
    }
    Val v = expr(*s.value);
    if (v.type->code != TypeCode::ClassRef) {
        typeMismatch(s.value->pos);
        return;
    }
    em_.emit(Op::Raise, {v.reg});
}

} // namespace novrix::engine
