#include "ast_dump.h"

#include <cstdio>
#include <string_view>

namespace novrix::engine {

namespace {

using namespace ast;

const char* opText(Op op) {
    switch (op) {
    case Op::None: return "?";
    case Op::Minus: return "-";
    case Op::Plus: return "+";
    case Op::Not: return "not";
    case Op::AddrOf: return "@";
    case Op::Mul: return "*";
    case Op::RealDiv: return "/";
    case Op::IntDiv: return "div";
    case Op::Mod: return "mod";
    case Op::And: return "and";
    case Op::Shl: return "shl";
    case Op::Shr: return "shr";
    case Op::Add: return "+";
    case Op::Sub: return "-";
    case Op::Or: return "or";
    case Op::Xor: return "xor";
    case Op::Eq: return "=";
    case Op::Ne: return "<>";
    case Op::Lt: return "<";
    case Op::Le: return "<=";
    case Op::Gt: return ">";
    case Op::Ge: return ">=";
    case Op::In: return "in";
    case Op::Is: return "is";
    case Op::As: return "as";
    }
    return "?";
}

const char* modeText(ParamMode mode) {
    switch (mode) {
    case ParamMode::Value: return "";
    case ParamMode::Var: return "var ";
    case ParamMode::Const: return "const ";
    case ParamMode::Out: return "out ";
    }
    return "";
}

// The bytes as a Pascal literal: printable runs quoted, other bytes as #n.
std::string pascalString(const std::string& bytes) {
    if (bytes.empty())
        return "''";
    std::string out;
    bool quoted = false;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            if (!quoted)
                out += '\'';
            quoted = true;
            out += c;
            if (c == '\'')
                out += '\'';
        } else {
            if (quoted)
                out += '\'';
            quoted = false;
            out += '#' + std::to_string(u);
        }
    }
    if (quoted)
        out += '\'';
    return out;
}

std::string posText(SourcePos pos) {
    std::string s = " @";
    if (pos.file != 0)
        s += "[" + std::to_string(pos.file) + "]";
    return s + std::to_string(pos.row) + ":" + std::to_string(pos.col);
}

std::string identList(const std::vector<Ident>& names) {
    std::string s;
    for (const Ident& id : names)
        s += (s.empty() ? "" : ", ") + id.name;
    return s;
}

std::string exprList(const std::vector<ExprPtr>& exprs, std::string_view separator = ", ") {
    std::string s;
    for (const ExprPtr& e : exprs) {
        if (!s.empty())
            s += separator;
        if (!e->field.name.empty())
            s += e->field.name + ": ";
        s += formatExpr(*e);
    }
    return s;
}

std::string paramText(const Param& p) {
    std::string s = modeText(p.mode) + identList(p.names);
    if (p.type)
        s += ": " + formatType(*p.type);
    if (p.defaultValue)
        s += " = " + formatExpr(*p.defaultValue);
    return s;
}

const char* stmtName(StmtKind kind) {
    switch (kind) {
    case StmtKind::Empty: return "Empty";
    case StmtKind::Compound: return "Compound";
    case StmtKind::Assign: return "Assign";
    case StmtKind::Call: return "CallStmt";
    case StmtKind::If: return "If";
    case StmtKind::Case: return "Case";
    case StmtKind::For: return "For";
    case StmtKind::ForIn: return "ForIn";
    case StmtKind::While: return "While";
    case StmtKind::Repeat: return "Repeat";
    case StmtKind::Break: return "Break";
    case StmtKind::Continue: return "Continue";
    case StmtKind::Exit: return "Exit";
    case StmtKind::With: return "With";
    case StmtKind::TryExcept: return "TryExcept";
    case StmtKind::TryFinally: return "TryFinally";
    case StmtKind::Raise: return "Raise";
    }
    return "?";
}

class Dumper {
public:
    std::string take() { return std::move(out_); }

    void program(const Program& p) {
        line("Program" + (p.name.name.empty() ? std::string() : " " + p.name.name), p.name.pos);
        ++indent_;
        for (const Ident& u : p.uses)
            line("Uses " + u.name, u.pos);
        block(p.block);
        line("End", p.endPos);
        --indent_;
    }

private:
    void line(const std::string& text, SourcePos pos, const std::string& tail = "") {
        out_ += std::string(indent_ * 2, ' ') + text + posText(pos) + tail + "\n";
    }
    void label(const std::string& text) { out_ += std::string(indent_ * 2, ' ') + text + "\n"; }

    void block(const Block& b) {
        for (const Decl& d : b.decls)
            decl(d);
        stmt(b.body, "");
    }

    void decl(const Decl& d) {
        switch (d.kind) {
        case DeclKind::Const:
            line("Const " + d.constDecl.name.name, d.constDecl.name.pos);
            ++indent_;
            if (d.constDecl.type)
                type(*d.constDecl.type, "type: ");
            if (d.constDecl.value)
                expr(*d.constDecl.value, "value: ");
            --indent_;
            break;
        case DeclKind::Type:
            line("Type " + d.typeDecl.name.name, d.typeDecl.name.pos);
            ++indent_;
            if (d.typeDecl.type)
                type(*d.typeDecl.type, "");
            --indent_;
            break;
        case DeclKind::Var:
            line("Var " + identList(d.varDecl.names), d.pos);
            ++indent_;
            if (d.varDecl.type)
                type(*d.varDecl.type, "type: ");
            if (d.varDecl.init)
                expr(*d.varDecl.init, "init: ");
            --indent_;
            break;
        case DeclKind::Routine:
            if (d.routine)
                routine(*d.routine, d.pos);
            break;
        }
    }

    void routine(const RoutineDecl& r, SourcePos pos) {
        std::string head = r.isFunction ? "Function " : "Procedure ";
        head += r.name.name;
        if (r.isForward)
            head += " forward";
        if (r.isOverload)
            head += " overload";
        if (r.isExternal)
            head += " external";
        for (const std::string& d : r.directives)
            head += " " + d;
        line(head, pos);
        ++indent_;
        for (const Param& p : r.params) {
            line(std::string("Param ") + modeText(p.mode) + identList(p.names), p.names.empty() ? pos : p.names[0].pos);
            ++indent_;
            if (p.type)
                type(*p.type, "type: ");
            if (p.defaultValue)
                expr(*p.defaultValue, "default: ");
            --indent_;
        }
        if (r.resultType)
            type(*r.resultType, "result: ");
        if (r.body) {
            block(*r.body);
            line("End;", r.endPos);
        }
        --indent_;
    }

    void type(const TypeExpr& t, const std::string& role) {
        std::string head = role + (t.packed ? "packed " : "");
        switch (t.kind) {
        case TypeKind::Named: line(head + "Named " + (t.name.empty() ? "<missing>" : t.name), t.pos); return;
        case TypeKind::String: line(head + "String[" + std::to_string(t.length) + "]", t.pos); return;
        case TypeKind::Enum: line(head + "Enum (" + identList(t.members) + ")", t.pos); return;
        case TypeKind::Subrange:
            line(head + "Subrange", t.pos);
            ++indent_;
            expr(*t.low, "low: ");
            expr(*t.high, "high: ");
            --indent_;
            return;
        case TypeKind::Set:
            line(head + "Set", t.pos);
            ++indent_;
            type(*t.elem, "of: ");
            --indent_;
            return;
        case TypeKind::Array:
            line(head + (t.isArrayOfConst ? "Array of const" : "Array"), t.pos);
            ++indent_;
            for (const TypeExprPtr& index : t.indexes)
                type(*index, "index: ");
            if (t.elem)
                type(*t.elem, "of: ");
            --indent_;
            return;
        case TypeKind::Record:
            line(head + "Record", t.pos);
            ++indent_;
            for (const FieldDecl& f : t.fields) {
                line("Field " + identList(f.names), f.names.empty() ? t.pos : f.names[0].pos);
                ++indent_;
                type(*f.type, "");
                --indent_;
            }
            --indent_;
            return;
        }
    }

    void expr(const Expr& e, const std::string& role) {
        std::string head = role;
        if (!e.field.name.empty())
            head += "field " + e.field.name + posText(e.field.pos) + ": ";
        const std::string paren = e.parenthesized ? " (parenthesized)" : "";
        switch (e.kind) {
        case ExprKind::IntLit: {
            std::string value = std::to_string(e.intValue);
            line(head + "IntLit " + (e.text == value || e.text.empty() ? value : e.text + " = " + value) + paren, e.pos);
            return;
        }
        case ExprKind::RealLit: line(head + "RealLit " + e.text + paren, e.pos); return;
        case ExprKind::StrLit: line(head + "StrLit " + pascalString(e.strValue) + paren, e.pos); return;
        case ExprKind::Nil: line(head + "Nil" + paren, e.pos); return;
        case ExprKind::Name: line(head + "Name " + (e.name.empty() ? "<missing>" : e.name) + paren, e.pos); return;
        case ExprKind::Member:
            line(head + "Member", e.pos, " ." + e.name + posText(e.namePos) + paren);
            ++indent_;
            expr(*e.left, "");
            --indent_;
            return;
        case ExprKind::Index:
        case ExprKind::Call:
            line(head + (e.kind == ExprKind::Index ? "Index" : "Call") + paren, e.pos);
            ++indent_;
            expr(*e.left, "");
            for (const ExprPtr& a : e.args)
                expr(*a, "arg: ");
            --indent_;
            return;
        case ExprKind::Unary:
            line(head + "Unary " + opText(e.op) + paren, e.pos);
            ++indent_;
            expr(*e.left, "");
            --indent_;
            return;
        case ExprKind::Binary:
        case ExprKind::Range:
            line(head + (e.kind == ExprKind::Range ? std::string("Range") : std::string("Binary ") + opText(e.op)) +
                     paren,
                 e.pos);
            ++indent_;
            expr(*e.left, "");
            expr(*e.right, "");
            --indent_;
            return;
        case ExprKind::SetCons:
        case ExprKind::InitList:
            line(head + (e.kind == ExprKind::SetCons ? "SetCons" : "InitList") + paren, e.pos);
            ++indent_;
            for (const ExprPtr& a : e.args)
                expr(*a, "");
            --indent_;
            return;
        case ExprKind::WriteArg:
            line(head + "WriteArg" + paren, e.pos);
            ++indent_;
            expr(*e.left, "");
            expr(*e.width, "width: ");
            if (e.decimals)
                expr(*e.decimals, "decimals: ");
            --indent_;
            return;
        }
    }

    void stmts(const std::vector<StmtPtr>& list) {
        for (const StmtPtr& s : list)
            stmt(*s, "");
    }

    void section(const std::string& name, const std::vector<StmtPtr>& list) {
        label(name);
        ++indent_;
        stmts(list);
        --indent_;
    }

    void stmt(const Stmt& s, const std::string& role) {
        std::string tail;
        if (s.kind == StmtKind::For || s.kind == StmtKind::ForIn)
            tail = " " + s.loopVar.name + posText(s.loopVar.pos);
        if (s.kind == StmtKind::For)
            tail += s.downto ? " downto" : " to";
        const bool hasEnd = s.kind == StmtKind::Compound || s.kind == StmtKind::Repeat || s.kind == StmtKind::Case ||
                            s.kind == StmtKind::TryExcept || s.kind == StmtKind::TryFinally;
        if (hasEnd)
            tail += " end" + posText(s.endPos);
        line(role + stmtName(s.kind), s.pos, tail);
        ++indent_;
        switch (s.kind) {
        case StmtKind::Empty:
        case StmtKind::Break:
        case StmtKind::Continue: break;
        case StmtKind::Compound: stmts(s.body); break;
        case StmtKind::Assign:
            expr(*s.target, "");
            expr(*s.value, "");
            break;
        case StmtKind::Call: expr(*s.value, ""); break;
        case StmtKind::If:
            expr(*s.cond, "");
            stmt(*s.thenStmt, "then: ");
            if (s.elseStmt)
                stmt(*s.elseStmt, "else: ");
            break;
        case StmtKind::Case:
            expr(*s.value, "");
            for (const CaseBranch& b : s.branches) {
                label("Branch");
                ++indent_;
                for (const CaseLabel& l : b.labels) {
                    expr(*l.low, "label: ");
                    if (l.high)
                        expr(*l.high, "high: ");
                }
                stmt(*b.body, "");
                --indent_;
            }
            if (s.hasCaseElse)
                section("else:", s.body);
            break;
        case StmtKind::For:
            expr(*s.from, "");
            expr(*s.to, "");
            stmt(*s.loopBody, "do: ");
            break;
        case StmtKind::ForIn:
            expr(*s.from, "");
            stmt(*s.loopBody, "do: ");
            break;
        case StmtKind::While:
            expr(*s.cond, "");
            stmt(*s.loopBody, "do: ");
            break;
        case StmtKind::Repeat:
            stmts(s.body);
            expr(*s.cond, "until: ");
            break;
        case StmtKind::Exit:
        case StmtKind::Raise:
            if (s.value)
                expr(*s.value, "");
            break;
        case StmtKind::With:
            for (const ExprPtr& e : s.withExprs)
                expr(*e, "");
            stmt(*s.loopBody, "do: ");
            break;
        case StmtKind::TryExcept:
            section("try:", s.body);
            label("except:");
            ++indent_;
            if (s.hasHandlers) {
                for (const ExceptHandler& h : s.handlers) {
                    std::string on = "On ";
                    if (!h.varName.name.empty())
                        on += h.varName.name + ": ";
                    line(on + h.typeName.name, h.typeName.pos);
                    ++indent_;
                    stmt(*h.body, "");
                    --indent_;
                }
                if (s.hasExceptElse)
                    section("else:", s.body2);
            } else {
                stmts(s.body2);
            }
            --indent_;
            break;
        case StmtKind::TryFinally:
            section("try:", s.body);
            section("finally:", s.body2);
            break;
        }
        --indent_;
    }

    std::string out_;
    int indent_ = 0;
};

} // namespace

std::string dumpAst(const Program& program) {
    Dumper d;
    d.program(program);
    return d.take();
}

std::string formatExpr(const Expr& e) {
    std::string s;
    switch (e.kind) {
    case ExprKind::IntLit:
    case ExprKind::RealLit: s = e.text.empty() ? std::to_string(e.intValue) : e.text; break;
    case ExprKind::StrLit: s = pascalString(e.strValue); break;
    case ExprKind::Nil: s = "nil"; break;
    case ExprKind::Name: s = e.name.empty() ? "<missing>" : e.name; break;
    case ExprKind::Member: s = formatExpr(*e.left) + "." + e.name; break;
    case ExprKind::Index: s = formatExpr(*e.left) + "[" + exprList(e.args) + "]"; break;
    case ExprKind::Call: s = formatExpr(*e.left) + "(" + exprList(e.args) + ")"; break;
    case ExprKind::Unary: {
        const std::string operand = formatExpr(*e.left);
        const bool word = e.op == Op::Not;
        const bool wrap = e.left->kind == ExprKind::Unary && !e.left->parenthesized;
        s = std::string(opText(e.op)) + (word ? " " : "") + (wrap ? "(" + operand + ")" : operand);
        break;
    }
    case ExprKind::Binary:
        // Always in parentheses; a parenthesised binary needs no second pair.
        return "(" + formatExpr(*e.left) + " " + opText(e.op) + " " + formatExpr(*e.right) + ")";
    case ExprKind::SetCons: s = "[" + exprList(e.args) + "]"; break;
    case ExprKind::Range: s = formatExpr(*e.left) + ".." + formatExpr(*e.right); break;
    case ExprKind::WriteArg:
        s = formatExpr(*e.left) + ":" + formatExpr(*e.width);
        if (e.decimals)
            s += ":" + formatExpr(*e.decimals);
        break;
    case ExprKind::InitList: {
        const bool record = !e.args.empty() && !e.args[0]->field.name.empty();
        s = "(" + exprList(e.args, record ? "; " : ", ") + ")";
        break;
    }
    }
    return e.parenthesized && e.kind != ExprKind::InitList ? "(" + s + ")" : s;
}

std::string formatType(const TypeExpr& t) {
    std::string s = t.packed ? "packed " : "";
    switch (t.kind) {
    case TypeKind::Named: return s + (t.name.empty() ? "<missing>" : t.name);
    case TypeKind::String: return s + "string[" + std::to_string(t.length) + "]";
    case TypeKind::Subrange: return s + formatExpr(*t.low) + ".." + formatExpr(*t.high);
    case TypeKind::Enum: return s + "(" + identList(t.members) + ")";
    case TypeKind::Set: return s + "set of " + formatType(*t.elem);
    case TypeKind::Array: {
        s += "array";
        if (!t.indexes.empty()) {
            s += "[";
            for (size_t i = 0; i < t.indexes.size(); ++i)
                s += (i ? ", " : "") + formatType(*t.indexes[i]);
            s += "]";
        }
        return s + " of " + (t.isArrayOfConst ? std::string("const") : formatType(*t.elem));
    }
    case TypeKind::Record: {
        s += "record";
        for (const FieldDecl& f : t.fields)
            s += " " + identList(f.names) + ": " + formatType(*f.type) + ";";
        return s + " end";
    }
    }
    return s;
}

std::string formatRoutineHeading(const RoutineDecl& r) {
    std::string s = (r.isFunction ? "function " : "procedure ") + r.name.name;
    if (!r.params.empty()) {
        s += "(";
        for (size_t i = 0; i < r.params.size(); ++i)
            s += (i ? "; " : "") + paramText(r.params[i]);
        s += ")";
    }
    if (r.resultType)
        s += ": " + formatType(*r.resultType);
    if (r.isOverload)
        s += "; overload";
    if (r.isForward)
        s += "; forward";
    for (const std::string& d : r.directives)
        s += "; " + d;
    return s;
}

} // namespace novrix::engine
