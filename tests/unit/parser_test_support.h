#pragma once
// Shared by the lexer and parser tests: parse a text, list its errors as "row:col text", check that a
// tree keeps the promises of ast.h, and dump a tree without positions for compact expectations.
#include "engine/ast.h"
#include "engine/ast_dump.h"
#include "engine/parser.h"

#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace novrix::engine::testing {

struct Parsed {
    std::vector<SourceFile> files;
    Diagnostics diags;
    ast::Program program;
};

inline Parsed parse(std::string_view text, const NeedFileFn& needFile = {}) {
    Parsed p;
    p.files.push_back(SourceFile{"main", std::string(text)});
    p.program = parseProgram(p.files, needFile, p.diags);
    return p;
}

// "row:col text", with "[file] " in front for a position in an include file.
inline std::vector<std::string> errorLines(const Diagnostics& diags) {
    std::vector<std::string> lines;
    for (const Diagnostic& d : diags.all()) {
        std::string prefix = d.pos.file ? "[" + std::to_string(d.pos.file) + "] " : "";
        lines.push_back(prefix + std::to_string(d.pos.row) + ":" + std::to_string(d.pos.col) + " " + d.text);
    }
    return lines;
}

// Serves include files from a map and records what was asked for.
struct FakeFiles {
    std::map<std::string, std::string> files;
    std::vector<std::string> asked;
    NeedFileFn fn() {
        return [this](const std::string& name, std::string& text) {
            asked.push_back(name);
            const auto it = files.find(name);
            if (it == files.end())
                return false;
            text = it->second;
            return true;
        };
    }
};

inline std::string withoutPositions(const std::string& dump) {
    static const std::regex kPos(R"( @(\[\d+\])?\d+:\d+)");
    return std::regex_replace(dump, kPos, "");
}

// The statements of `begin <text> end.`, dumped without positions.
inline std::string statementTree(std::string_view statements) {
    Parsed p = parse("begin " + std::string(statements) + " end.");
    EXPECT_FALSE(p.diags.hasErrors()) << statements << "\n" << ::testing::PrintToString(errorLines(p.diags));
    std::string dump = withoutPositions(dumpAst(p.program));
    // Keep only what is inside the main Compound: drop "Program", "Compound", the trailing "End" line and
    // two levels of indentation.
    std::string out;
    size_t start = 0;
    while (start < dump.size()) {
        const size_t end = dump.find('\n', start);
        const std::string line = dump.substr(start, end - start);
        start = end + 1;
        if (line.rfind("    ", 0) == 0)
            out += line.substr(4) + "\n";
    }
    return out;
}

// Checks the promises of ast.h: no null where a node is promised, whatever the input was.
class TreeChecker {
public:
    std::vector<std::string> problems;

    void program(const ast::Program& p) { block(p.block); }

private:
    void fail(const std::string& what, SourcePos pos) {
        problems.push_back(what + " at " + std::to_string(pos.row) + ":" + std::to_string(pos.col));
    }
    void need(const void* node, const char* what, SourcePos pos) {
        if (!node)
            fail(std::string("missing ") + what, pos);
    }

    void block(const ast::Block& b) {
        for (const ast::Decl& d : b.decls)
            decl(d);
        if (b.body.kind != ast::StmtKind::Compound)
            fail("block body is not a Compound", b.body.pos);
        stmt(b.body);
    }

    void decl(const ast::Decl& d) {
        switch (d.kind) {
        case ast::DeclKind::Const:
            need(d.constDecl.value.get(), "const value", d.pos);
            type(d.constDecl.type.get());
            expr(d.constDecl.value.get());
            break;
        case ast::DeclKind::Type:
            need(d.typeDecl.type.get(), "type", d.pos);
            type(d.typeDecl.type.get());
            break;
        case ast::DeclKind::Var:
            need(d.varDecl.type.get(), "var type", d.pos);
            if (d.varDecl.names.empty())
                fail("var without names", d.pos);
            type(d.varDecl.type.get());
            expr(d.varDecl.init.get());
            break;
        case ast::DeclKind::Routine: {
            need(d.routine.get(), "routine", d.pos);
            if (!d.routine)
                break;
            const ast::RoutineDecl& r = *d.routine;
            for (const ast::Param& p : r.params) {
                if (p.mode == ast::ParamMode::Value)
                    need(p.type.get(), "parameter type", d.pos);
                type(p.type.get());
                expr(p.defaultValue.get());
            }
            if (r.isFunction)
                need(r.resultType.get(), "result type", d.pos);
            type(r.resultType.get());
            if (!r.isForward && !r.isExternal)
                need(r.body.get(), "routine body", d.pos);
            if (r.body)
                block(*r.body);
            break;
        }
        }
    }

    void type(const ast::TypeExpr* t) {
        if (!t)
            return;
        switch (t->kind) {
        case ast::TypeKind::Subrange:
            need(t->low.get(), "subrange low", t->pos);
            need(t->high.get(), "subrange high", t->pos);
            expr(t->low.get());
            expr(t->high.get());
            break;
        case ast::TypeKind::Set:
            need(t->elem.get(), "set element type", t->pos);
            break;
        case ast::TypeKind::Array:
            if (!t->isArrayOfConst)
                need(t->elem.get(), "array element type", t->pos);
            for (const auto& i : t->indexes) {
                need(i.get(), "array index", t->pos);
                type(i.get());
            }
            break;
        case ast::TypeKind::Record:
            for (const auto& f : t->fields) {
                need(f.type.get(), "field type", t->pos);
                type(f.type.get());
            }
            break;
        default:
            break;
        }
        if (t->kind == ast::TypeKind::Set || t->kind == ast::TypeKind::Array)
            type(t->elem.get());
    }

    void expr(const ast::Expr* e) {
        if (!e)
            return;
        using K = ast::ExprKind;
        switch (e->kind) {
        case K::Member:
        case K::Index:
        case K::Call:
        case K::Unary:
            need(e->left.get(), "operand", e->pos);
            break;
        case K::Binary:
        case K::Range:
            need(e->left.get(), "left operand", e->pos);
            need(e->right.get(), "right operand", e->pos);
            break;
        case K::WriteArg:
            need(e->left.get(), "write value", e->pos);
            need(e->width.get(), "write width", e->pos);
            break;
        default:
            break;
        }
        expr(e->left.get());
        expr(e->right.get());
        expr(e->width.get());
        expr(e->decimals.get());
        for (const auto& a : e->args) {
            need(a.get(), "argument", e->pos);
            expr(a.get());
        }
    }

    void stmts(const std::vector<ast::StmtPtr>& list, SourcePos pos) {
        for (const auto& s : list) {
            need(s.get(), "statement", pos);
            if (s)
                stmt(*s);
        }
    }

    void stmt(const ast::Stmt& s) {
        using K = ast::StmtKind;
        switch (s.kind) {
        case K::Assign:
            need(s.target.get(), "assignment target", s.pos);
            need(s.value.get(), "assigned value", s.pos);
            break;
        case K::Call:
            need(s.value.get(), "called expression", s.pos);
            break;
        case K::If:
            need(s.thenStmt.get(), "then statement", s.pos);
            [[fallthrough]];
        case K::While:
        case K::Repeat:
            need(s.cond.get(), "condition", s.pos);
            break;
        case K::Case:
            need(s.value.get(), "case selector", s.pos);
            for (const auto& b : s.branches) {
                need(b.body.get(), "case branch", s.pos);
                for (const auto& l : b.labels) {
                    need(l.low.get(), "case label", s.pos);
                    expr(l.low.get());
                    expr(l.high.get());
                }
                if (b.body)
                    stmt(*b.body);
            }
            break;
        case K::For:
            need(s.to.get(), "for limit", s.pos);
            [[fallthrough]];
        case K::ForIn:
            need(s.from.get(), "for start", s.pos);
            break;
        case K::TryExcept:
            for (const auto& h : s.handlers) {
                need(h.body.get(), "handler body", s.pos);
                if (h.body)
                    stmt(*h.body);
            }
            break;
        default:
            break;
        }
        if (s.kind == K::For || s.kind == K::ForIn || s.kind == K::While || s.kind == K::With)
            need(s.loopBody.get(), "loop body", s.pos);
        expr(s.target.get());
        expr(s.value.get());
        expr(s.cond.get());
        expr(s.from.get());
        expr(s.to.get());
        for (const auto& e : s.withExprs) {
            need(e.get(), "with expression", s.pos);
            expr(e.get());
        }
        if (s.thenStmt)
            stmt(*s.thenStmt);
        if (s.elseStmt)
            stmt(*s.elseStmt);
        if (s.loopBody)
            stmt(*s.loopBody);
        stmts(s.body, s.pos);
        stmts(s.body2, s.pos);
    }
};

inline std::vector<std::string> treeProblems(const ast::Program& p) {
    TreeChecker checker;
    checker.program(p);
    return checker.problems;
}

} // namespace novrix::engine::testing
