// The debugger: steps into and over routines, breakpoints in loops, stop while paused, breakpoints that
// follow a renamed file.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/engine.h"

using novrix::engine::Engine;

namespace {

const char* kNested =
    "procedure Inner;\n"     // 1
    "begin\n"                // 2
    "  WriteLn('inner');\n"  // 3
    "end;\n"                 // 4
    "procedure Outer;\n"     // 5
    "begin\n"                // 6
    "  Inner;\n"             // 7
    "  WriteLn('outer');\n"  // 8
    "end;\n"                 // 9
    "begin\n"                // 10
    "  Outer;\n"             // 11
    "  WriteLn('main');\n"   // 12
    "end.\n";                // 13

// Runs the compiled script, answering every pause with `step` and recording the paused rows.
std::vector<int> pausesWhileStepping(Engine& e, void (Engine::*step)()) {
    std::vector<int> rows;
    e.onIdle = [&](Engine& en) {
        EXPECT_TRUE(en.isRunning());
        rows.push_back(en.pausedRow());
        (en.*step)();
    };
    (e.*step)();
    EXPECT_TRUE(e.execute());
    return rows;
}

} // namespace

TEST(EngineDebugger, StepIntoEntersRoutinesAndStepOverDoesNot) {
    Engine e;
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    ASSERT_TRUE(e.compile(kNested));
    EXPECT_EQ(pausesWhileStepping(e, &Engine::stepInto), (std::vector<int>{11, 7, 3, 4, 8, 9, 12, 13}));
    EXPECT_EQ(out, "inner\nouter\nmain\n");
    EXPECT_EQ(pausesWhileStepping(e, &Engine::stepOver), (std::vector<int>{11, 12, 13}));
}

TEST(EngineDebugger, StepOverInsideARecursiveRoutineStaysAtItsDepth) {
    const char* script =
        "function F(n: Integer): Integer;\n" // 1
        "begin\n"                            // 2
        "  if n = 0 then\n"                  // 3
        "    Result := 0\n"                  // 4
        "  else\n"                           // 5
        "    Result := F(n - 1) + 1;\n"      // 6
        "end;\n"                             // 7
        "begin\n"                            // 8
        "  WriteLn(F(3));\n"                 // 9
        "end.\n";                            // 10
    Engine e;
    ASSERT_TRUE(e.compile(script));
    std::vector<int> rows;
    int idles = 0;
    // Step into F once, then step over: the recursion runs without pausing inside the deeper calls.
    e.onIdle = [&](Engine& en) {
        rows.push_back(en.pausedRow());
        if (++idles <= 2)
            en.stepInto();
        else
            en.stepOver();
    };
    e.stepInto();
    EXPECT_TRUE(e.execute());
    EXPECT_EQ(rows, (std::vector<int>{9, 3, 6, 7, 10}));
}

TEST(EngineDebugger, BreakpointsPauseEveryTimeTheLineIsReached) {
    const char* script =
        "var i, total: Integer;\n" // 1
        "begin\n"                  // 2
        "  for i := 1 to 3 do\n"   // 3
        "  begin\n"                // 4
        "    total := total + i;\n" // 5
        "  end;\n"                 // 6
        "  WriteLn(total);\n"      // 7
        "end.\n";                  // 8
    Engine e;
    e.setMainFileName("Loop.488");
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    ASSERT_TRUE(e.compile(script));
    e.setBreakpoint("Loop.488", 5);
    e.setBreakpoint("Other.488", 7); // another file's breakpoint never fires here
    std::vector<int> hits;
    e.onBreakpoint = [&](Engine&, int row) { hits.push_back(row); };
    e.onIdle = [](Engine& en) { en.resume(); };
    EXPECT_TRUE(e.execute());
    EXPECT_EQ(hits, (std::vector<int>{5, 5, 5}));
    EXPECT_EQ(out, "6\n");

    // Cleared during a pause, the breakpoint does not fire again.
    hits.clear();
    e.onIdle = [](Engine& en) {
        en.clearBreakpoint("Loop.488", 5);
        en.resume();
    };
    EXPECT_TRUE(e.execute());
    EXPECT_EQ(hits, (std::vector<int>{5}));
}

TEST(EngineDebugger, StopWhilePausedEndsTheRunAsSuccess) {
    Engine e;
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    ASSERT_TRUE(e.compile(kNested));
    e.setBreakpoint("Unnamed", 8);
    int idles = 0;
    e.onIdle = [&](Engine& en) {
        if (++idles == 3) en.stop();
    };
    EXPECT_TRUE(e.execute());
    EXPECT_EQ(idles, 3); // the pause called OnIdle again and again until the stop
    EXPECT_EQ(out, "inner\n");
    EXPECT_FALSE(e.isRunning());
}

TEST(EngineDebugger, BreakpointSetFromAnotherThreadDuringAFreeRun) {
    Engine e;
    ASSERT_TRUE(e.compile("var n: Integer;\nbegin\n  while true do\n    n := n + 1;\nend.\n"));
    std::atomic<int> hitRow{0};
    e.onBreakpoint = [&](Engine&, int row) { hitRow = row; };
    e.onIdle = [](Engine& en) { en.stop(); };
    std::thread runner([&] { EXPECT_TRUE(e.execute()); });
    while (!e.isRunning()) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    e.setBreakpoint("Unnamed", 4);
    runner.join();
    EXPECT_EQ(hitRow.load(), 4);
}

TEST(EngineDebugger, RenamingTheFileMovesItsBreakpoints) {
    Engine e;
    e.setMainFileName("a.488");
    e.setBreakpoint("a.488", 3);
    e.setBreakpoint("a.488", 9);
    e.setBreakpoint("b.488", 5);
    e.setBreakpoint("c.488", 1);
    e.setMainFileName("b.488");
    EXPECT_TRUE(e.hasBreakpoint("b.488", 3));
    EXPECT_TRUE(e.hasBreakpoint("b.488", 9));
    EXPECT_FALSE(e.hasBreakpoint("b.488", 5)); // kept under the new name already: dropped
    EXPECT_FALSE(e.hasBreakpoint("a.488", 3));
    EXPECT_TRUE(e.hasBreakpoint("c.488", 1));
    EXPECT_EQ(e.breakpoints().size(), 3u);
}
