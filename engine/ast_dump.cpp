#include "ast_dump.h"

#include <cstdio>
#include <string_view>

namespace novrix::engine {

namespace {

using namespace ast;

const char* opText(Op op) {
    switch (op) {
    case Op::None:
        return "?";
    case Op::Minus:
        return "-";
    case Op::Plus:
        return "+";
    case Op::Not:
        return "not";
    case Op::AddrOf:
        return "@";
    case Op::Mul:
        return "*";
    case Op::RealDiv:
        return "/";
    case Op::IntDiv:
        return "div";
    case Op::Mod:
        return "mod";
    case Op::And:
        return "and";
    case Op::Shl:
        return "shl";
    case Op::Shr:
        return "shr";
    case Op::Add:
        return "+";
    case Op::Sub:
        return "-";
    case Op::Or:
        return "or";
    case Op::Xor:
        return "xor";
    case Op::Eq:
        return "=";
    case Op::Ne:
        return "<>";
    case Op::Lt:
        return "<";
    case Op::Le:
        return "<=";
    case Op::Gt:
        return ">";
    case Op::Ge:
        return ">=";
    case Op::In:
        return "in";
    case Op::Is:
        return "is";
    case Op::As:
        return "as";
    }
    return "?";
}

const char* modeText(ParamMode mode) {
    switch (mode) {
    case ParamMode::Value:
        return "";
    case ParamMode::Var:
        return "var ";
    case ParamMode::Const:
        return "const ";
    case ParamMode::Out:
        return "out ";
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
    case StmtKind::Empty:
        return "Empty";
    case StmtKind::Compound:
        return "Compound";
    case StmtKind::Assign:
        return "Assign";
    case StmtKind::Call:
        return "CallStmt";
    case StmtKind::If:
        return "If";
    case StmtKind::Case:
        return "Case";
    case StmtKind::For:
        return "For";
    case StmtKind::ForIn:
        return "ForIn";
    case StmtKind::While:
        return "While";
    case StmtKind::Repeat:
        return "Repeat";
    case StmtKind::Break:
        return "Break";
    case StmtKind::Continue:
        return "Continue";
    case StmtKind::Exit:
        return "Exit";
    case StmtKind::With:
        return "With";
    case StmtKind::TryExcept:
        return "TryExcept";
    case StmtKind::TryFinally:
        return "TryFinally";
    case StmtKind::Raise:
        return "Raise";
    }
    return "?";
}

class Dumper {
public:
    std::string take() { return std::move(out_); }

    void program(const Program& p) {
        if (p.name.name.empty())
            label("Program");
        else
            line("Program " + p.name.name, p.name.pos);
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
    void label(const char* text) { out_ += std::string(indent_ * 2, ' ') + text + "\n"; }

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
            line(std::string("Param ") + modeText(p.mode) + identList(p.names),
                 p.names.empty() ? pos : p.names[0].pos);
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

    // The recursive walks below keep their frames small (the text of a line is built in a separate,
    // non-inlined function), so a tree as deep as the parser allows dumps on a modest stack.
    [[gnu::noinline]] void typeLine(const TypeExpr& t, const char* role) {
        std::string text = std::string(role) + (t.packed ? "packed " : "");
        switch (t.kind) {
        case TypeKind::Named:
            text += "Named " + (t.name.empty() ? std::string("<missing>") : t.name);
            break;
        case TypeKind::String:
            text += "String[" + std::to_string(t.length) + "]";
            break;
        case TypeKind::Enum:
            text += "Enum (" + identList(t.members) + ")";
            break;
        case TypeKind::Subrange:
            text += "Subrange";
            break;
        case TypeKind::Set:
            text += "Set";
            break;
        case TypeKind::Array:
            text += t.isArrayOfConst ? "Array of const" : "Array";
            break;
        case TypeKind::Record:
            text += "Record";
            break;
        }
        line(text, t.pos);
    }

    void type(const TypeExpr& t, const char* role) {
        typeLine(t, role);
        ++indent_;
        switch (t.kind) {
        case TypeKind::Subrange:
            expr(*t.low, "low: ");
            expr(*t.high, "high: ");
            break;
        case TypeKind::Set:
        case TypeKind::Array:
            for (const TypeExprPtr& index : t.indexes)
                type(*index, "index: ");
            if (t.elem)
                type(*t.elem, "of: ");
            break;
        case TypeKind::Record:
            for (const FieldDecl& f : t.fields) {
                line("Field " + identList(f.names), f.names.empty() ? t.pos : f.names[0].pos);
                ++indent_;
                type(*f.type, "");
                --indent_;
            }
            break;
        default:
            break;
        }
        --indent_;
    }

    [[gnu::noinline]] void exprLine(const Expr& e, const char* role) {
        std::string text = role;
        if (!e.field.name.empty())
            text += "field " + e.field.name + posText(e.field.pos) + ": ";
        std::string tail;
        switch (e.kind) {
        case ExprKind::IntLit: {
            const std::string value = std::to_string(e.intValue);
            text += "IntLit " + (e.text == value || e.text.empty() ? value : e.text + " = " + value);
            break;
        }
        case ExprKind::RealLit:
            text += "RealLit " + e.text;
            break;
        case ExprKind::StrLit:
            text += "StrLit " + pascalString(e.strValue);
            break;
        case ExprKind::Nil:
            text += "Nil";
            break;
        case ExprKind::Name:
            text += "Name " + (e.name.empty() ? std::string("<missing>") : e.name);
            break;
        case ExprKind::Member:
            text += "Member";
            tail = " ." + e.name + posText(e.namePos);
            break;
        case ExprKind::Index:
            text += "Index";
            break;
        case ExprKind::Call:
            text += "Call";
            break;
        case ExprKind::Unary:
            text += std::string("Unary ") + opText(e.op);
            break;
        case ExprKind::Binary:
            text += std::string("Binary ") + opText(e.op);
            break;
        case ExprKind::Range:
            text += "Range";
            break;
        case ExprKind::SetCons:
            text += "SetCons";
            break;
        case ExprKind::InitList:
            text += "InitList";
            break;
        case ExprKind::WriteArg:
            text += "WriteArg";
            break;
        }
        if (e.parenthesized)
            (tail.empty() ? text : tail) += " (parenthesized)";
        line(text, e.pos, tail);
    }

    void expr(const Expr& e, const char* role) {
        exprLine(e, role);
        ++indent_;
        if (e.left)
            expr(*e.left, "");
        if (e.right)
            expr(*e.right, "");
        if (e.width)
            expr(*e.width, "width: ");
        if (e.decimals)
            expr(*e.decimals, "decimals: ");
        const bool call = e.kind == ExprKind::Index || e.kind == ExprKind::Call;
        for (const ExprPtr& a : e.args)
            expr(*a, call ? "arg: " : "");
        --indent_;
    }

    void stmts(const std::vector<StmtPtr>& list) {
        for (const StmtPtr& s : list)
            stmt(*s, "");
    }

    void section(const char* name, const std::vector<StmtPtr>& list) {
        label(name);
        ++indent_;
        stmts(list);
        --indent_;
    }

    [[gnu::noinline]] void stmtLine(const Stmt& s, const char* role) {
        std::string tail;
        if (s.kind == StmtKind::For || s.kind == StmtKind::ForIn)
            tail = " " + s.loopVar.name + posText(s.loopVar.pos);
        if (s.kind == StmtKind::For)
            tail += s.downto ? " downto" : " to";
        const bool hasEnd = s.kind == StmtKind::Compound || s.kind == StmtKind::Repeat ||
                            s.kind == StmtKind::Case || s.kind == StmtKind::TryExcept ||
                            s.kind == StmtKind::TryFinally;
        if (hasEnd)
            tail += " end" + posText(s.endPos);
        line(std::string(role) + stmtName(s.kind), s.pos, tail);
    }

    [[gnu::noinline]] void handlerLine(const ExceptHandler& h) {
        std::string text = "On ";
        if (!h.varName.name.empty())
            text += h.varName.name + ": ";
        line(text + h.typeName.name, h.typeName.pos);
    }

    void stmt(const Stmt& s, const char* role) {
        stmtLine(s, role);
        ++indent_;
        switch (s.kind) {
        case StmtKind::Empty:
        case StmtKind::Break:
        case StmtKind::Continue:
            break;
        case StmtKind::Compound:
            stmts(s.body);
            break;
        case StmtKind::Assign:
            expr(*s.target, "");
            expr(*s.value, "");
            break;
        case StmtKind::Call:
            expr(*s.value, "");
            break;
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
                    handlerLine(h);
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
    case ExprKind::RealLit:
        s = e.text.empty() ? std::to_string(e.intValue) : e.text;
        break;
    case ExprKind::StrLit:
        s = pascalString(e.strValue);
        break;
    case ExprKind::Nil:
        s = "nil";
        break;
    case ExprKind::Name:
        s = e.name.empty() ? "<missing>" : e.name;
        break;
    case ExprKind::Member:
        s = formatExpr(*e.left) + "." + e.name;
        break;
    case ExprKind::Index:
        s = formatExpr(*e.left) + "[" + exprList(e.args) + "]";
        break;
    case ExprKind::Call:
        s = formatExpr(*e.left) + "(" + exprList(e.args) + ")";
        break;
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
    case ExprKind::SetCons:
        s = "[" + exprList(e.args) + "]";
        break;
    case ExprKind::Range:
        s = formatExpr(*e.left) + ".." + formatExpr(*e.right);
        break;
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
    case TypeKind::Named:
        return s + (t.name.empty() ? "<missing>" : t.name);
    case TypeKind::String:
        return s + "string[" + std::to_string(t.length) + "]";
    case TypeKind::Subrange:
        return s + formatExpr(*t.low) + ".." + formatExpr(*t.high);
    case TypeKind::Enum:
        return s + "(" + identList(t.members) + ")";
    case TypeKind::Set:
        return s + "set of " + formatType(*t.elem);
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
