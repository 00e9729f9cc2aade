// The engine as a host uses it: messages, run results, run-time error fields, Stop from another thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/engine.h"

using novrix::engine::Engine;

namespace {

struct RunResult {
    bool compiled = false;
    bool ok = false;
    std::string out;
};

RunResult compileAndRun(Engine& e, const std::string& text) {
    RunResult r;
    e.setOutput([&r](std::string_view s) { r.out.append(s); });
    r.compiled = e.compile(text);
    if (r.compiled) r.ok = e.execute();
    return r;
}

} // namespace

TEST(EngineApi, CompilerMessagesNameTheMainFileAndPointAtTheName) {
    Engine e;
    RunResult r = compileAndRun(e, "var\n  x: Integer;\nbegin\n  x := 1;\n  Foo := x;\nend.\n");
    EXPECT_FALSE(r.compiled);
    ASSERT_EQ(e.messageLines().size(), 1u);
    EXPECT_EQ(e.messageLines()[0], "[Error] Unnamed(5:3): Unknown identifier 'Foo'");

    e.setMainFileName("Probe.488");
    compileAndRun(e, "begin\n  WriteLn(1)\n  WriteLn(2);\nend.\n");
    ASSERT_FALSE(e.messageLines().empty());
    EXPECT_EQ(e.messageLines()[0], "[Error] Probe.488(3:3): ';' expected");
}

TEST(EngineApi, RuntimeErrorFieldsDescribeTheFailingStatement) {
    Engine e;
    RunResult r = compileAndRun(e,
                          "function Divide(a, b: Integer): Integer;\n"
                          "begin\n"
                          "  Result := a div b;\n"
                          "  Result := Result + 1 - 1;\n"
                          "end;\n"
                          "begin\n"
                          "  WriteLn(Divide(6, 3));\n"
                          "  WriteLn(Divide(1, 0));\n"
                          "end.\n");
    ASSERT_TRUE(r.compiled);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.out, "2\n");
    const auto& err = e.runtimeError();
    EXPECT_EQ(err.text, "Division by Zero");
    EXPECT_EQ(err.row, 3);
    EXPECT_EQ(err.col, 3);
    EXPECT_EQ(err.proc, 1); // the first routine after the main block
    EXPECT_EQ(err.pos, 0u); // the division is the routine's first instruction
    EXPECT_EQ(e.runtimeErrorLine().rfind("Runtime Error: Division by Zero at [3:3] bytecode pos:1:", 0), 0u);
    // A later successful run clears the error.
    ASSERT_TRUE(e.compile("begin end."));
    EXPECT_TRUE(e.execute());
    EXPECT_TRUE(e.runtimeError().text.empty());
}

TEST(EngineApi, StopFromAnotherThreadEndsAnEndlessLoopAsSuccess) {
    for (const char* script : {"begin while true do ; end.",
                               "procedure P; begin while true do begin end; end; begin P; end.",
                               "var i: Integer; begin repeat Inc(i) until false; end.",
                               "begin Sleep(100000); end."}) {
        Engine e;
        ASSERT_TRUE(e.compile(script)) << script;
        bool ok = false;
        std::thread runner([&] { ok = e.execute(); });
        while (!e.isRunning()) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_TRUE(e.isRunning());
        e.stop();
        runner.join(); // hangs (and the test times out) if Stop is not seen
        EXPECT_TRUE(ok) << script;
        EXPECT_FALSE(e.isRunning());
    }
}

TEST(EngineApi, ExecuteRunsAgainAndStartsFromFreshGlobals) {
    Engine e;
    ASSERT_TRUE(e.compile("var n: Integer; s: string; begin n := n + 1; s := s + 'x'; WriteLn(n, s); end."));
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    EXPECT_TRUE(e.execute());
    EXPECT_TRUE(e.execute());
    EXPECT_EQ(out, "1x\n1x\n");
}

TEST(EngineApi, UncaughtErrorsNeverEndTheHost) {
    struct Case {
        const char* script;
        const char* text;
    } cases[] = {
        {"procedure R(n: Integer); begin R(n + 1); end; begin R(0); end.", "Stack overflow"},
        {"var a: array of Int64; begin SetLength(a, 2000000000); end.", "Out of memory"},
        {"var v: Variant; i: Integer; begin v := 'abc'; i := v; end.", "Invalid Type"},
        {"var a: array[1..3] of Integer; i: Integer; begin i := 4; a[i] := 1; end.", "Out Of Range"},
        {"var x: Double; begin x := 0; x := 1 / x; end.", "Floating point division by zero"},
        {"var i: Integer; begin i := 0; i := 5 mod i; end.", "Division by Zero"},
    };
    for (const Case& c : cases) {
        Engine e;
        ASSERT_TRUE(e.compile(c.script)) << c.script;
        EXPECT_FALSE(e.execute()) << c.script;
        EXPECT_EQ(e.runtimeError().text, c.text) << c.script;
    }
}
