// Declarations: the predefined names, the host's registrations, constants, types, variables, routines.
#include <cmath>

#include "builtin_names.h"
#include "compiler_impl.h"
#include "engine/vm/exceptions.h"

namespace novrix::engine {

using vm::Op;

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

Symbol* Scope::findLocal(const std::string& lowerName) {
    auto it = map_.find(lowerName);
    return it == map_.end() ? nullptr : it->second.get();
}

Symbol* Scope::find(const std::string& lowerName) {
    for (Scope* s = this; s; s = s->parent_)
        if (Symbol* sym = s->findLocal(lowerName)) return sym;
    return nullptr;
}

Symbol* Scope::add(const std::string& lowerName, Symbol sym) {
    auto p = std::make_unique<Symbol>(std::move(sym));
    Symbol* raw = p.get();
    map_[lowerName] = std::move(p);
    if (raw->kind == SymKind::Var) varsInOrder_.push_back(raw->var);
    return raw;
}

Compiler::Compiler(const HostTable& host, Diagnostics& diags)
    : host_(host), diags_(diags), types_(std::make_shared<TypeTable>()), prog_(std::make_unique<vm::Program>()),
      em_(*prog_) {}

void Compiler::error(SourcePos pos, std::string text) { diags_.error(pos, std::move(text)); }

Symbol* Compiler::lookup(const std::string& name) { return scope_->find(lower(name)); }

// ---------------------------------------------------------------------------------------------------------

void Compiler::declareBuiltins() {
    TypeTable& T = *types_;
    auto addType = [&](const char* name, const Type* t) {
        Symbol s;
        s.kind = SymKind::Type;
        s.name = name;
        s.type = t;
        builtinScope_.add(lower(name), std::move(s));
    };
    addType("Byte", T.byteT);
    addType("ShortInt", T.shortIntT);
    addType("Word", T.wordT);
    addType("SmallInt", T.smallIntT);
    addType("Integer", T.integerT);
    addType("LongInt", T.integerT);
    addType("Cardinal", T.cardinalT);
    addType("LongWord", T.cardinalT);
    addType("DWord", T.cardinalT);
    addType("Int64", T.int64T);
    addType("Boolean", T.booleanT);
    addType("Char", T.charT);
    addType("AnsiChar", T.charT);
    addType("Single", T.singleT);
    addType("Double", T.doubleT);
    addType("Real", T.doubleT);
    addType("Extended", T.extendedT);
    addType("Comp", T.extendedT);
    addType("Currency", T.currencyT);
    addType("String", T.stringT);
    addType("AnsiString", T.stringT);
    addType("ShortString", T.stringT);
    addType("Variant", T.variantT);
    addType("PChar", T.pcharT);
    addType("Pointer", T.nilT);
    addType("TDateTime", T.dateTimeT);

    auto addConst = [&](const char* name, const Type* t, int64_t i) {
        Symbol s;
        s.kind = SymKind::Const;
        s.name = name;
        s.constValue.type = t;
        s.constValue.i = i;
        builtinScope_.add(lower(name), std::move(s));
    };
    addConst("True", T.booleanT, 1);
    addConst("False", T.booleanT, 0);
    addConst("MaxInt", T.integerT, INT32_MAX);
    addConst("MaxLongInt", T.integerT, INT32_MAX);
    addConst("varEmpty", T.integerT, 0);
    addConst("varNull", T.integerT, 1);
    addConst("varSmallint", T.integerT, 2);
    addConst("varInteger", T.integerT, 3);
    addConst("varSingle", T.integerT, 4);
    addConst("varDouble", T.integerT, 5);
    addConst("varCurrency", T.integerT, 6);
    addConst("varDate", T.integerT, 7);
    addConst("varBoolean", T.integerT, 11);
    addConst("varVariant", T.integerT, 12);
    addConst("varByte", T.integerT, 17);
    addConst("varInt64", T.integerT, 20);
    addConst("varString", T.integerT, 0x100);
    {
        Symbol s;
        s.kind = SymKind::Const;
        s.name = "nil";
        s.constValue.type = T.nilT;
        s.constValue.isNil = true;
        builtinScope_.add("nil", std::move(s));
    }
    // TReplaceFlags for StringReplace.
    Type* flag = T.make(TypeCode::Enum, "TReplaceFlag");
    flag->enumNames = {"rfReplaceAll", "rfIgnoreCase"};
    flag->low = 0;
    flag->high = 1;
    flag->base = flag;
    addType("TReplaceFlag", flag);
    addType("TReplaceFlags", T.setOf(flag));
    addConst("rfReplaceAll", flag, 0);
    addConst("rfIgnoreCase", flag, 1);

    for (int k = 0; k < int(BI::Count); ++k) {
        Symbol s;
        s.kind = SymKind::Builtin;
        s.name = kBuiltinNames[k];
        s.builtin = k;
        builtinScope_.add(lower(kBuiltinNames[k]), std::move(s));
    }
    for (int k = 0; k < int(std::size(vm::kExcClasses)); ++k) {
        Symbol s;
        s.kind = SymKind::ExcClass;
        s.name = std::string(vm::kExcClasses[k].name);
        s.classId = k;
        s.type = k == 0 ? T.exceptionT : T.classRef(k, s.name);
        std::string key = lower(s.name);
        builtinScope_.add(key, std::move(s));
    }
    for (const char* unit : {"SysUtils", "Math", "DateUtils", "StrUtils", "Classes", "Windows"}) {
        Symbol s;
        s.kind = SymKind::Unit;
        s.name = unit;
        builtinScope_.add("unit:" + lower(unit), std::move(s));
    }
}

namespace {

NativeParam nativeParam(const Type* t, const std::string& typeName) {
    NativeParam p;
    p.typeName = typeName;
    const Type* b = t->ordinalBase();
    switch (b->code) {
    case TypeCode::Byte: p.kind = NativeKind::Cardinal; p.bytes = 1; break;
    case TypeCode::Word: p.kind = NativeKind::Cardinal; p.bytes = 2; break;
    case TypeCode::Cardinal: p.kind = NativeKind::Cardinal; p.bytes = 4; break;
    case TypeCode::ShortInt: p.kind = NativeKind::Integer; p.bytes = 1; break;
    case TypeCode::SmallInt: p.kind = NativeKind::Integer; p.bytes = 2; break;
    case TypeCode::Integer: p.kind = NativeKind::Integer; p.bytes = 4; break;
    case TypeCode::Int64: p.kind = NativeKind::Int64; p.bytes = 8; break;
    case TypeCode::Boolean: p.kind = NativeKind::Boolean; break;
    case TypeCode::Char: p.kind = NativeKind::Char; break;
    case TypeCode::Enum: p.kind = NativeKind::Enum; break;
    case TypeCode::Single: case TypeCode::Double: case TypeCode::Extended: case TypeCode::Currency:
        p.kind = NativeKind::Real;
        break;
    case TypeCode::String: p.kind = NativeKind::String; break;
    case TypeCode::PChar: p.kind = NativeKind::PChar; break;
    case TypeCode::Variant: p.kind = NativeKind::Variant; break;
    case TypeCode::Set: p.kind = NativeKind::Set; break;
    case TypeCode::OpenArray:
        p.kind = NativeKind::OpenArray;
        p.elem = nativeParam(t->elem, "").kind;
        break;
    case TypeCode::ArrayOfConst: p.kind = NativeKind::ArrayOfConst; break;
    default: p.kind = NativeKind::Integer; break;
    }
    return p;
}

std::string typeText(const ast::TypeExpr* t) {
    if (!t) return "";
    if (t->kind == ast::TypeKind::Named) return t->name;
    if (t->kind == ast::TypeKind::Array) return t->isArrayOfConst ? "array of const" : "array of " + typeText(t->elem.get());
    return "";
}

} // namespace

NativeSignature Compiler::nativeSignature(const RoutineInfo& info, const ast::RoutineDecl& decl) {
    NativeSignature sig;
    sig.name = info.name;
    size_t k = 0;
    for (const ast::Param& ap : decl.params)
        for (size_t n = 0; n < ap.names.size() && k < info.params.size(); ++n, ++k) {
            const ParamInfo& pi = info.params[k];
            NativeParam p = nativeParam(pi.type, typeText(ap.type.get()));
            p.name = pi.name;
            p.byRef = pi.byRef() && pi.type->code != TypeCode::OpenArray && pi.type->code != TypeCode::ArrayOfConst;
            p.isOut = pi.mode == ast::ParamMode::Out;
            p.isConst = pi.mode == ast::ParamMode::Const;
            p.offset = pi.offset;
            sig.params.push_back(p);
        }
    if (info.result) {
        sig.hasResult = true;
        sig.result = nativeParam(info.result, typeText(decl.resultType.get()));
        sig.result.offset = info.paramCells;
    }
    return sig;
}

void Compiler::declareHost() {
    Scope* saved = scope_;
    scope_ = &hostScope_;
    for (const auto& entry : host_.entries) {
        if (auto* t = std::get_if<HostTypeReg>(&entry)) {
            const Type* ty = resolveType(*t->type);
            // TDateTime is a type of its own on top of Double (a date in a Variant says so).
            if (lower(t->name) == "tdatetime" && ty == types_->doubleT) ty = types_->dateTimeT;
            Symbol s;
            s.kind = SymKind::Type;
            s.name = t->name;
            s.type = ty;
            if (ty && ty->code == TypeCode::Enum) {
                // The members of a registered enumeration are constants of it.
                for (size_t k = 0; k < ty->enumNames.size(); ++k) {
                    Symbol c;
                    c.kind = SymKind::Const;
                    c.name = ty->enumNames[k];
                    c.constValue.type = ty;
                    c.constValue.i = int64_t(k);
                    std::string key = lower(c.name);
                    hostScope_.add(key, std::move(c));
                }
            }
            hostScope_.add(lower(t->name), std::move(s));
        } else if (auto* c = std::get_if<HostConstReg>(&entry)) {
            Symbol s;
            s.kind = SymKind::Const;
            s.name = c->name;
            const Type* ty = lookupType(c->typeName, {});
            s.constValue.type = ty ? ty : types_->integerT;
            if (auto* i = std::get_if<int64_t>(&c->value)) {
                s.constValue.i = *i;
                s.constValue.d = double(*i);
            } else if (auto* d = std::get_if<double>(&c->value)) {
                s.constValue.d = *d;
            } else {
                s.constValue.s = std::get<std::string>(c->value);
            }
            hostScope_.add(lower(c->name), std::move(s));
        } else if (auto* hv = std::get_if<HostVarReg>(&entry)) {
            const Type* ty = lookupType(hv->typeName, {});
            auto var = std::make_unique<VarInfo>();
            var->name = hv->name;
            var->type = ty ? ty : types_->stringT;
            var->storage = Storage::Host;
            var->slot = uint32_t(hv->varIndex);
            var->used = true;
            Symbol s;
            s.kind = SymKind::Var;
            s.name = hv->name;
            s.var = var.get();
            std::string key = lower(hv->name);
            hostScope_.add(key, std::move(s));
            vars_.push_back(std::move(var));
        } else if (auto* r = std::get_if<HostRoutineReg>(&entry)) {
            if (!r->decl) continue;
            RoutineInfo* info = makeRoutineInfo(*r->decl, 1);
            info->nativeIndex = r->nativeIndex;
            info->defined = true;
            info->declText = r->declText;
            if (r->nativeIndex >= 0) {
                if (nativeSigs_.size() <= size_t(r->nativeIndex)) nativeSigs_.resize(size_t(r->nativeIndex) + 1);
                nativeSigs_[size_t(r->nativeIndex)] = nativeSignature(*info, *r->decl);
            }
            Symbol s;
            s.kind = SymKind::Routine;
            s.name = r->decl->name.name;
            s.routines = {info};
            std::string key = lower(s.name);
            hostScope_.add(key, std::move(s));
        }
    }
    scope_ = saved;
}

// ---------------------------------------------------------------------------------------------------------

CompileResult compileProgram(const ast::Program& program, const HostTable& host, Diagnostics& diags) {
    Compiler c(host, diags);
    CompileResult r;
    r.program = c.compile(program);
    r.nativeSigs = std::move(c.nativeSigs_);
    return r;
}

std::unique_ptr<vm::Program> Compiler::compile(const ast::Program& program) {
    declareBuiltins();
    declareHost();
    for (const auto& u : program.uses)
        if (!builtinScope_.findLocal("unit:" + lower(u.name))) error(u.pos, "Unknown unit '" + u.name + "'");

    prog_->routines.emplace_back(); // the main block
    RoutineContext main;
    main.level = 0;
    ctx_ = &main;

    // Declarations first: routines are compiled as they come, so the main block follows them.
    block(program.block, main, globalScope_);
    if (diags_.hasErrors()) return nullptr;
    prog_->typeStore = types_;
    return std::move(prog_);
}

void Compiler::block(const ast::Block& b, RoutineContext& ctx, Scope& scope) {
    RoutineContext* savedCtx = ctx_;
    ctx_ = &ctx;
    for (const ast::Decl& d : b.decls) {
        switch (d.kind) {
        case ast::DeclKind::Const: constDecl(d.constDecl); break;
        case ast::DeclKind::Type: typeDecl(d.typeDecl); break;
        case ast::DeclKind::Var: varDecl(d.varDecl, ctx); break;
        case ast::DeclKind::Routine: routineDecl(*d.routine, ctx); break;
        }
    }
    checkForwards(scope);

    // The body.
    bool isMain = ctx.info == nullptr;
    vm::Routine& r = prog_->routines[isMain ? 0 : size_t(ctx.info->index)];
    em_.beginRoutine();
    if (isMain) {
        // The main block's frame is the globals followed by its own temporaries.
        ctx.frame.reserve(globalCells_);
        for (uint32_t s : prog_->globalManaged) ctx.frame.addManaged(s);
    }
    r.entry = em_.pc();
    {
        size_t mark = ctx.frame.mark();
        for (auto& [loc, value] : isMain ? globalInits_ : ctx.localInits) emitInit(loc, value);
        ctx.frame.release(mark);
    }
    stmts(b.body.body);
    em_.bind(ctx.exitLabel);
    markLine(b.body.endPos);
    em_.emit(isMain ? Op::Halt : Op::Return, {});
    r.codeEnd = em_.pc();
    r.frameSize = em_.finishRoutine(ctx.frame);
    r.managedSlots = ctx.frame.managed();
    r.zeroFrame = !r.managedSlots.empty() || (ctx.info && ctx.info->result && ctx.info->result->desc.hasManaged());
    r.handlers = ctx.handlers;
    r.level = ctx.level;
    if (!isMain) {
        r.paramCells = ctx.info->paramCells;
        r.isFunction = ctx.info->result != nullptr;
        r.name = ctx.info->name;
    } else {
        r.paramCells = 0;
        r.name = "";
        prog_->globalCells = globalCells_;
    }
    checkUnusedVars(scope);
    ctx_ = savedCtx;
}

void Compiler::checkUnusedVars(Scope& scope) {
    if (scope.level() == 0) return;
    for (VarInfo* v : scope.vars())
        if (!v->used && !v->isParam) diags_.hint(v->pos, "Variable '" + v->name + "' never used");
}

void Compiler::checkForwards(Scope& scope) {
    (void)scope;
    for (auto& r : routines_)
        if (r->forward && !r->defined && r->level == ctx_->level + 1 && r->nativeIndex < 0) {
            error(r->pos, "Unsatisfied forward declaration '" + r->name + "'");
            r->defined = true; // once
        }
}

uint32_t Compiler::allocGlobal(uint32_t cells, const Type* t) {
    uint32_t slot = globalCells_;
    globalCells_ += cells;
    for (uint32_t off : t->desc.managed) prog_->globalManaged.push_back(slot + off);
    return slot;
}

// ---------------------------------------------------------------------------------------------------------

void Compiler::constDecl(const ast::ConstDecl& d) {
    if (scope_->findLocal(lower(d.name.name))) {
        error(d.name.pos, "Duplicate identifier '" + d.name.name + "'");
        return;
    }
    if (!d.type) {
        ConstValue v;
        if (!evalConst(*d.value, v, true)) return;
        Symbol s;
        s.kind = SymKind::Const;
        s.name = d.name.name;
        s.constValue = std::move(v);
        scope_->add(lower(d.name.name), std::move(s));
        return;
    }
    // A typed constant is a variable with an initial value that scripts are not meant to change.
    const Type* t = resolveType(*d.type);
    if (!t) return;
    ConstValue v;
    if (!constInitializer(*d.value, t, v)) return;
    auto var = std::make_unique<VarInfo>();
    var->name = d.name.name;
    var->type = t;
    var->storage = Storage::Global;
    var->level = 0;
    var->slot = allocGlobal(t->cells, t);
    var->pos = d.name.pos;
    var->used = true;
    Loc loc;
    loc.kind = Loc::Kind::Global;
    loc.type = t;
    loc.slot = var->slot;
    globalInits_.push_back({loc, std::move(v)});
    Symbol s;
    s.kind = SymKind::Var;
    s.name = d.name.name;
    s.var = var.get();
    scope_->add(lower(d.name.name), std::move(s));
    vars_.push_back(std::move(var));
}

void Compiler::typeDecl(const ast::TypeDecl& d) {
    if (scope_->findLocal(lower(d.name.name))) {
        error(d.name.pos, "Duplicate identifier '" + d.name.name + "'");
        return;
    }
    const Type* t = resolveType(*d.type);
    if (!t) return;
    if (d.type->kind != ast::TypeKind::Named && t->name.empty()) const_cast<Type*>(t)->name = d.name.name;
    if (d.type->kind == ast::TypeKind::Enum || d.type->kind == ast::TypeKind::Record)
        const_cast<Type*>(t)->name = d.name.name;
    Symbol s;
    s.kind = SymKind::Type;
    s.name = d.name.name;
    s.type = t;
    scope_->add(lower(d.name.name), std::move(s));
}

void Compiler::varDecl(const ast::VarDecl& d, RoutineContext& ctx) {
    const Type* t = resolveType(*d.type);
    if (!t) return;
    ConstValue init;
    bool hasInit = false;
    if (d.init) hasInit = constInitializer(*d.init, t, init);
    for (const ast::Ident& id : d.names) {
        if (scope_->findLocal(lower(id.name))) {
            error(id.pos, "Duplicate identifier '" + id.name + "'");
            continue;
        }
        auto var = std::make_unique<VarInfo>();
        var->name = id.name;
        var->type = t;
        var->pos = id.pos;
        var->level = ctx.level;
        if (ctx.level == 0) {
            var->storage = Storage::Global;
            var->slot = allocGlobal(t->cells, t);
            var->used = true;
        } else {
            var->storage = Storage::Local;
            var->slot = ctx.frame.reserve(t->cells);
            for (uint32_t off : t->desc.managed) ctx.frame.addManaged(var->slot + off);
        }
        if (hasInit) {
            Loc loc = varLoc(var.get());
            if (ctx.level == 0) {
                globalInits_.push_back({loc, init});
            } else {
                var->used = true;
                ctx.localInits.push_back({loc, init});
            }
        }
        Symbol s;
        s.kind = SymKind::Var;
        s.name = id.name;
        s.var = var.get();
        scope_->add(lower(id.name), std::move(s));
        vars_.push_back(std::move(var));
    }
}

void Compiler::emitInit(const Loc& loc, const ConstValue& v) {
    const Type* t = loc.type;
    if (t->code == TypeCode::Record) {
        for (size_t k = 0; k < t->fields.size() && k < v.elems.size(); ++k)
            emitInit(fieldLoc(loc, t->fields[k]), v.elems[k]);
        return;
    }
    if (t->code == TypeCode::StaticArray) {
        for (size_t k = 0; k < v.elems.size(); ++k) {
            Loc e = loc;
            e.type = t->elem;
            e.slot = loc.slot + uint32_t(k) * t->elem->cells;
            emitInit(e, v.elems[k]);
        }
        return;
    }
    Val val = materialize(v, nullptr);
    store(loc, coerce(val, t, {}), {});
}

// ---------------------------------------------------------------------------------------------------------

RoutineInfo* Compiler::makeRoutineInfo(const ast::RoutineDecl& d, int level) {
    auto info = std::make_unique<RoutineInfo>();
    info->name = d.name.name;
    info->level = level;
    info->pos = d.name.pos;
    info->overload = d.isOverload;
    uint32_t off = 0;
    for (const ast::Param& p : d.params) {
        const Type* t = nullptr;
        if (p.type) t = resolveType(*p.type, true);
        if (!t) t = types_->variantT;
        std::optional<ConstValue> def;
        if (p.defaultValue) {
            ConstValue v;
            if (evalConst(*p.defaultValue, v, true) && convertConst(v, t, p.defaultValue->pos, true)) def = v;
        }
        for (const ast::Ident& id : p.names) {
            ParamInfo pi;
            pi.name = id.name;
            pi.mode = p.mode;
            pi.type = t;
            pi.defaultValue = def;
            pi.offset = off;
            pi.pos = id.pos;
            bool open = t->code == TypeCode::OpenArray || t->code == TypeCode::ArrayOfConst;
            pi.cells = pi.byRef() && !open ? 1 : t->cells;
            if (t->code == TypeCode::ArrayOfConst) pi.cells = 2;
            off += pi.cells;
            info->params.push_back(pi);
        }
    }
    info->paramCells = off;
    if (d.resultType) {
        info->result = resolveType(*d.resultType);
        if (!info->result) info->result = types_->variantT;
    }
    routines_.push_back(std::move(info));
    return routines_.back().get();
}

namespace {
bool sameSignature(const RoutineInfo& a, const RoutineInfo& b) {
    if (a.params.size() != b.params.size()) return false;
    for (size_t k = 0; k < a.params.size(); ++k)
        if (!sameType(a.params[k].type, b.params[k].type) || a.params[k].mode != b.params[k].mode) return false;
    return sameType(a.result, b.result);
}
} // namespace

void Compiler::routineDecl(const ast::RoutineDecl& d, RoutineContext& outer) {
    int level = outer.level + 1;
    RoutineInfo* info = makeRoutineInfo(d, level);
    std::string key = lower(d.name.name);
    Symbol* existing = scope_->findLocal(key);
    RoutineInfo* target = info;
    if (existing) {
        if (existing->kind != SymKind::Routine) {
            error(d.name.pos, "Duplicate identifier '" + d.name.name + "'");
            return;
        }
        // The body of a forward declaration, or another overload.
        RoutineInfo* fwd = nullptr;
        for (RoutineInfo* r : existing->routines)
            if (r->forward && !r->defined && (sameSignature(*r, *info) || d.params.empty())) fwd = r;
        if (fwd && !d.isForward) {
            target = fwd;
        } else if (d.isOverload || existing->routines.front()->overload) {
            existing->routines.insert(existing->routines.begin(), info);
        } else {
            error(d.name.pos, "Duplicate identifier '" + d.name.name + "'");
            return;
        }
    } else {
        Symbol s;
        s.kind = SymKind::Routine;
        s.name = d.name.name;
        s.routines = {info};
        scope_->add(key, std::move(s));
    }
    if (target->index < 0) {
        target->index = int(prog_->routines.size());
        prog_->routines.emplace_back();
    }
    if (d.isForward || d.isExternal || !d.body) {
        target->forward = true;
        return;
    }
    target->defined = true;
    compileRoutineBody(target, d);
}

void Compiler::compileRoutineBody(RoutineInfo* info, const ast::RoutineDecl& d) {
    auto scope = std::make_unique<Scope>(scope_, info->level);
    Scope* saved = scope_;
    scope_ = scope.get();
    std::vector<WithContext> savedWiths;
    savedWiths.swap(withs_);

    RoutineContext ctx;
    ctx.info = info;
    ctx.level = info->level;
    // Parameters, then Result, then locals.
    ctx.frame.reserve(info->paramCells);
    for (const ParamInfo& p : info->params) {
        auto var = std::make_unique<VarInfo>();
        var->name = p.name;
        var->type = p.type;
        var->level = info->level;
        var->slot = p.offset;
        var->isParam = true;
        var->used = true;
        var->readOnly = p.mode == ast::ParamMode::Const;
        bool open = p.type->code == TypeCode::OpenArray || p.type->code == TypeCode::ArrayOfConst;
        var->storage = (p.byRef() && !open) ? Storage::Ref : Storage::Local;
        // Value and const parameters own their references: the caller retains, the routine releases.
        if (var->storage == Storage::Local)
            for (uint32_t off : p.type->desc.managed) ctx.frame.addManaged(p.offset + off);
        if (scope_->findLocal(lower(p.name))) {
            error(p.pos.row ? p.pos : d.name.pos, "Duplicate identifier '" + p.name + "'");
            continue;
        }
        Symbol s;
        s.kind = SymKind::Var;
        s.name = p.name;
        s.var = var.get();
        scope_->add(lower(p.name), std::move(s));
        vars_.push_back(std::move(var));
    }
    if (info->result) {
        ctx.resultSlot = ctx.frame.reserve(info->result->cells);
        auto var = std::make_unique<VarInfo>();
        var->name = "Result";
        var->type = info->result;
        var->level = info->level;
        var->slot = ctx.resultSlot;
        var->isParam = true;
        var->used = true;
        var->storage = Storage::Local;
        Symbol s;
        s.kind = SymKind::Var;
        s.name = "Result";
        s.var = var.get();
        if (!scope_->findLocal("result")) scope_->add("result", std::move(s));
        vars_.push_back(std::move(var));
    }
    block(*d.body, ctx, *scope_);
    scopes_.push_back(std::move(scope));
    scope_ = saved;
    withs_.swap(savedWiths);
}

// ---------------------------------------------------------------------------------------------------------

const Type* Compiler::lookupType(const std::string& name, SourcePos pos) {
    Symbol* s = lookup(name);
    if (s && s->kind == SymKind::Type) return s->type;
    if (s && s->kind == SymKind::ExcClass) return s->type;
    if (pos.row > 0) error(pos, "Unknown type '" + name + "'");
    return nullptr;
}

const Type* Compiler::resolveType(const ast::TypeExpr& t, bool paramContext) {
    TypeTable& T = *types_;
    switch (t.kind) {
    case ast::TypeKind::Named: return lookupType(t.name, t.pos);
    case ast::TypeKind::String: return T.stringT;
    case ast::TypeKind::Subrange: {
        ConstValue lo, hi;
        if (!evalConst(*t.low, lo, true) || !evalConst(*t.high, hi, true)) return nullptr;
        if (!lo.type || !lo.type->isOrdinal() || !hi.type || !hi.type->isOrdinal()) {
            error(t.low->pos, "Constant expression expected");
            return nullptr;
        }
        if (lo.i > hi.i) {
            error(t.high->pos, "Low bound exceeds high bound");
            return nullptr;
        }
        const Type* base = lo.type->ordinalBase();
        if (base->isInteger()) base = (lo.i >= INT32_MIN && hi.i <= INT32_MAX) ? T.integerT : T.int64T;
        return T.subrange(base, lo.i, hi.i);
    }
    case ast::TypeKind::Enum: {
        Type* e = T.make(TypeCode::Enum, "");
        e->base = e;
        e->low = 0;
        e->high = int64_t(t.members.size()) - 1;
        for (size_t k = 0; k < t.members.size(); ++k) {
            const ast::Ident& m = t.members[k];
            e->enumNames.push_back(m.name);
            if (scope_->findLocal(lower(m.name))) {
                error(m.pos, "Duplicate identifier '" + m.name + "'");
                continue;
            }
            Symbol s;
            s.kind = SymKind::Const;
            s.name = m.name;
            s.constValue.type = e;
            s.constValue.i = int64_t(k);
            scope_->add(lower(m.name), std::move(s));
        }
        return e;
    }
    case ast::TypeKind::Set: {
        const Type* elem = t.elem ? resolveType(*t.elem) : nullptr;
        if (!elem) return nullptr;
        if (!elem->isOrdinal() || elem->ordLow() < 0 || elem->ordHigh() > 255) {
            error(t.elem->pos, "Sets may have at most 256 elements");
            return nullptr;
        }
        return T.setOf(elem);
    }
    case ast::TypeKind::Array: {
        if (t.isArrayOfConst) return T.arrayOfConstT;
        const Type* elem = t.elem ? resolveType(*t.elem) : nullptr;
        if (!elem) return nullptr;
        if (t.indexes.empty()) return paramContext ? T.openArrayOf(elem) : T.dynArrayOf(elem);
        // array[a, b] of T is array[a] of array[b] of T.
        const Type* result = elem;
        for (size_t k = t.indexes.size(); k-- > 0;) {
            const Type* idx = resolveType(*t.indexes[k]);
            if (!idx) return nullptr;
            if (!idx->isOrdinal()) {
                error(t.indexes[k]->pos, "Type mismatch");
                return nullptr;
            }
            if (idx->count() <= 0 || idx->count() * int64_t(result->cells) > (int64_t(1) << 24)) {
                error(t.indexes[k]->pos, "Data type too large");
                return nullptr;
            }
            result = T.staticArray(idx, result);
        }
        return result;
    }
    case ast::TypeKind::Record: {
        Type* r = T.make(TypeCode::Record, "record");
        for (const ast::FieldDecl& f : t.fields) {
            const Type* ft = resolveType(*f.type);
            if (!ft) continue;
            for (const ast::Ident& id : f.names) {
                bool dup = false;
                for (const Field& ex : r->fields) dup = dup || lower(ex.name) == lower(id.name);
                if (dup) {
                    error(id.pos, "Duplicate identifier '" + id.name + "'");
                    continue;
                }
                r->fields.push_back({id.name, ft, 0});
            }
        }
        T.layout(r);
        return r;
    }
    }
    return nullptr;
}

} // namespace novrix::engine
