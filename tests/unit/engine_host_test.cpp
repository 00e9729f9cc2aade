// Registration of host types, constants, variables and routines, name resolution, and native calls.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"

using novrix::engine::Engine;
using novrix::engine::NativeCall;
using novrix::engine::RegistrationError;

namespace {

std::string run(Engine& e, const std::string& script) {
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    if (!e.compile(script)) {
        for (const auto& l : e.messageLines()) out += l + "\n";
        return out;
    }
    if (!e.execute()) out += e.runtimeErrorLine() + "\n";
    return out;
}

} // namespace

TEST(EngineHost, RegistrationOutsideTheCompileEventIsRefused) {
    Engine e;
    EXPECT_THROW(e.addDeclaration("function F: Integer;"), RegistrationError);
    EXPECT_THROW(e.addConstant("K", "Integer", int64_t(1)), RegistrationError);
    e.onCompile = [](Engine& en) { en.addDeclaration("function F(: Integer;"); };
    EXPECT_THROW(e.compile("begin end."), RegistrationError);
}

TEST(EngineHost, NativesReceiveEveryParameterKindAndWriteVarAndOut) {
    Engine e;
    std::vector<std::string> seen;
    e.onCompile = [&](Engine& en) {
        en.addType("TDateTime", "Double");
        en.addType("TMode", "( mdOff, mdSlow, mdFast )");
        en.addType("TModes", "set of TMode");
        en.addDeclaration(
            "function Probe(I: Integer; C: Cardinal; W: Word; B: Byte; L: Int64; D: Double; X: Extended; "
            "S: String; Ch: Char; Ok: Boolean; V: Variant; T: TDateTime): String;",
            [&](NativeCall& c) {
                std::string r = std::to_string(c.intArg(0)) + " " + std::to_string(c.intArg(1)) + " " +
                                std::to_string(c.intArg(2)) + " " + std::to_string(c.intArg(3)) + " " +
                                std::to_string(c.intArg(4)) + " " + std::to_string(c.realArg(5)) + " " +
                                std::to_string(c.realArg(6)) + " " + std::string(c.strArg(7)) + " " +
                                c.charArg(8) + " " + (c.boolArg(9) ? "T" : "F") + " " +
                                std::to_string(int(c.variantArg(10).tag)) + " " + std::to_string(c.realArg(11));
                c.returnStr(r);
            });
        en.addDeclaration("procedure Fill(var N: Integer; out S: String; var W: Word; out D: Double);",
                          [](NativeCall& c) {
                              c.setInt(0, c.intArg(0) * 2);
                              c.setStr(1, "filled");
                              c.setInt(2, 70000); // cut to a Word
                              c.setReal(3, 2.5);
                          });
        en.addDeclaration("function Total(const A: array of Double): Double;", [](NativeCall& c) {
            double t = 0;
            for (size_t k = 0; k < c.arrayLength(0); ++k) t += c.realElem(0, k);
            c.returnReal(t);
        });
        en.addDeclaration("function Joined(A: array of string): String;", [](NativeCall& c) {
            std::string r;
            for (size_t k = 0; k < c.arrayLength(0); ++k) r += std::string(c.strElem(0, k)) + ";";
            c.returnStr(r);
        });
        en.addDeclaration("function Count(const A: array of Integer): Integer;",
                          [](NativeCall& c) { c.returnInt(int64_t(c.arrayLength(0))); });
        en.addDeclaration("function HasFast(M: TModes): Boolean;",
                          [](NativeCall& c) { c.returnBool(c.setWord(0, 0) & 4); });
        en.addDeclaration("function Fails(Code: Integer): Integer;", [](NativeCall& c) {
            if (c.intArg(0) < 0) c.raise("negative code " + std::to_string(c.intArg(0)));
            c.returnInt(c.intArg(0));
        });
    };
    std::string out = run(e,
                          "var n: Integer; s: string; w: Word; d: Double; a: array of Double;\n"
                          "begin\n"
                          "  WriteLn(Probe(-5, 4000000000, 65535, 255, Int64(1) shl 40, 1.5, 2.25, 'txt', 'q', True, 7, 3.0));\n"
                          "  n := 21; s := 'old';\n"
                          "  Fill(n, s, w, d);\n"
                          "  WriteLn(n, ' ', s, ' ', w, ' ', d:0:1);\n"
                          "  SetLength(a, 3); a[0] := 1; a[1] := 2; a[2] := 3.5;\n"
                          "  WriteLn(Total(a):0:1, ' ', Total([1, 2.5]):0:1, ' ', Joined(['x', 'y']), ' ', Count([]));\n"
                          "  WriteLn(HasFast([mdFast]), ' ', HasFast([mdOff, mdSlow]));\n"
                          "  try\n"
                          "    Fails(-3);\n"
                          "  except\n"
                          "    on E: Exception do WriteLn('caught: ', E.Message);\n"
                          "  end;\n"
                          "  Fails(-4);\n"
                          "end.\n");
    EXPECT_EQ(out,
              "-5 4000000000 65535 255 1099511627776 1.500000 2.250000 txt q T 2 3.000000\n"
              "42 filled 4464 2.5\n"
              "6.5 3.5 x;y; 0\n"
              "TRUE FALSE\n"
              "caught: negative code -3\n"
              "Runtime Error: negative code -4 at [15:3] bytecode pos:0:" +
                  std::string(out.substr(out.rfind(':') + 1)));
}

TEST(EngineHost, NewestRegistrationWinsForTheCompilerAndTheRunTime) {
    Engine e;
    e.onCompile = [](Engine& en) {
        en.addConstant("Limit", "LongInt", int64_t(1));
        en.addConstant("Limit", "LongInt", int64_t(2));
        en.addConstant("Ratio", "Extended", 0.5);
        en.addConstant("Greeting", "String", std::string("hi"));
        en.addDeclaration("function Which: Integer;", [](NativeCall& c) { c.returnInt(1); });
        en.addDeclaration("function Which: Integer;", [](NativeCall& c) { c.returnInt(2); });
        // Declared twice, never bound: the newer declaration is the one the compiler checks against.
        en.addDeclaration("Function Lonely( const A, B, C : Word) : Integer;");
        en.addDeclaration("Function Lonely( const A, B : Word) : Integer;");
        // Declarations first, bindings by name later.
        en.addDeclaration("function Later(X: Integer): Integer;");
        EXPECT_TRUE(en.bindNative("later", [](NativeCall& c) { c.returnInt(c.intArg(0) + 100); }));
        EXPECT_FALSE(en.bindNative("NoSuchThing", [](NativeCall&) {}));
    };
    EXPECT_EQ(run(e, "begin WriteLn(Limit, ' ', Ratio:0:2, ' ', Greeting, ' ', Which, ' ', Later(1)); end."),
              "2 0.50 hi 2 101\n");
    // The three-Word form is hidden by the newer one.
    std::string out = run(e, "begin WriteLn(Lonely(1, 2, 3)); end.");
    EXPECT_NE(out.find("Invalid number of parameters"), std::string::npos) << out;
    // The two-Word form compiles, but the script cannot be loaded: nothing implements it.
    ASSERT_TRUE(e.compile("begin WriteLn(Lonely(1, 2)); end."));
    EXPECT_FALSE(e.execute());
    EXPECT_EQ(e.runtimeError().text, "Could not call proc 'Lonely'");
    // A script's own declaration hides a registered one.
    EXPECT_EQ(run(e, "function Which: Integer; begin Result := 7; end; begin WriteLn(Which); end."), "7\n");
}

TEST(EngineHost, BoundVariableReadsAndWritesTheHostString) {
    Engine e;
    std::string setting = "first.txt";
    e.onCompile = [](Engine& en) { en.addVariable("UserFileName", "String"); };
    e.onExecute = [&](Engine& en) { EXPECT_TRUE(en.bindVariable("userfilename", &setting)); };
    std::string out = run(e,
                          "begin\n"
                          "  WriteLn(UserFileName, ' ', Length(UserFileName), ' ', UserFileName[1]);\n"
                          "  UserFileName := UserFileName + '.bak';\n"
                          "  WriteLn(UserFileName);\n"
                          "end.\n");
    EXPECT_EQ(out, "first.txt 9 f\nfirst.txt.bak\n");
    EXPECT_EQ(setting, "first.txt.bak");
}

TEST(EngineHost, CompileTablesListTheRegistrations) {
    Engine e;
    bool cleanUpSeen = false;
    e.onCompile = [](Engine& en) {
        en.addType("TDateTime", "Double");
        en.addConstant("MaxChannels", "LongInt", int64_t(8));
        en.addDeclaration("function NOVRIX_ComRead(Which:integer):String;", [](NativeCall&) {});
        en.addDeclaration("procedure Tune(var Level: Double; const Name: String = 'x')", [](NativeCall&) {});
    };
    e.onBeforeCleanUp = [&](Engine& en) {
        cleanUpSeen = true;
        const auto& t = en.tables();
        EXPECT_EQ(t.types.size(), 1u);
        EXPECT_EQ(t.constants.size(), 1u);
        EXPECT_EQ(t.constants[0].name, "MaxChannels");
        EXPECT_EQ(t.routines.size(), 2u);
        EXPECT_EQ(t.routines[0].name, "NOVRIX_ComRead");
        EXPECT_TRUE(t.routines[0].isFunction);
        EXPECT_EQ(t.routines[0].resultType, "String");
        EXPECT_EQ(t.routines[0].params.at(0).name, "Which");
        EXPECT_EQ(t.routines[0].params.at(0).typeName, "integer");
        EXPECT_EQ(t.routines[1].params.at(0).mode, "var");
        EXPECT_EQ(t.routines[1].params.at(1).defaultText, "'x'");
        return true;
    };
    // Script routines are not in the registered tables.
    ASSERT_TRUE(e.compile("procedure Mine; begin end; begin Mine; end."));
    EXPECT_TRUE(cleanUpSeen);
}

TEST(EngineHost, IncludeFilesComeThroughTheHost) {
    Engine e;
    e.setNeedFile([](const std::string& name, std::string& text) {
        if (name != "common.inc") return false;
        text = "const Greeting = 'from include';\n";
        return true;
    });
    EXPECT_EQ(run(e, "{$I common.inc}\nbegin WriteLn(Greeting); end."), "from include\n");
    std::string out = run(e, "begin\n  {$I missing.inc}\nend.");
    EXPECT_NE(out.find("[Error] Unnamed(2:3): File 'missing.inc' not found"), std::string::npos) << out;
}
