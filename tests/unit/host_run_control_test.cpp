// Run control with a recording frontend: the order of what the window is told, free and debug runs,
// stepping, Reset, breakpoints, and the release of run-scoped resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "host/host.h"
#include "host_test_frontend.h"

using novrix::host::Host;
using novrix::test::RecordingFrontend;

namespace {

// Pumps the host like the window's timer until the predicate holds (or about ten seconds pass).
template <class Pred>
bool pumpUntil(Host& host, Pred pred) {
    for (int k = 0; k < 10000; ++k) {
        host.tick();
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

size_t indexOf(const std::vector<std::string>& v, const std::string& s) {
    return size_t(std::find(v.begin(), v.end(), s) - v.begin());
}

} // namespace

TEST(HostRunControl, ScriptWithErrorsListsThemAndStartsNothing) {
    RecordingFrontend fe;
    Host host(fe);
    fe.script = "begin\n  x := 1;\nend.";
    host.run();
    EXPECT_FALSE(host.startRequested());
    EXPECT_EQ(fe.messages, (std::vector<std::string>{"[Error] Unnamed(2:3): Unknown identifier 'x'"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    host.tick();
    EXPECT_FALSE(contains(fe.events, "status1:Running"));
}

TEST(HostRunControl, FreeRunReportsAfterTheEndOfRunSteps) {
    RecordingFrontend fe;
    Host host(fe);
    fe.script = "begin end.";
    host.run();
    EXPECT_EQ(fe.messages, (std::vector<std::string>{"Succesfully compiled"}));
    ASSERT_TRUE(pumpUntil(host, [&] { return fe.messages.size() == 2; }));
    EXPECT_EQ(fe.messages.back(), "Succesfully Execute");
    EXPECT_TRUE(host.lastRunResult());
    // "Running" first; then "Editor", the cleared active line and the repaint; the result line last.
    size_t running = indexOf(fe.events, "status1:Running");
    size_t editor = indexOf(fe.events, "status1:Editor");
    size_t active = indexOf(fe.events, "active:0");
    size_t result = indexOf(fe.events, "message:Succesfully Execute");
    EXPECT_LT(running, editor);
    EXPECT_LT(editor, active);
    EXPECT_LT(active, result);
    EXPECT_EQ(result, fe.events.size() - 1);
}

TEST(HostRunControl, RuntimeErrorLineAndRunConsoleLayoutRestoredEvenAfterAFailure) {
    RecordingFrontend fe;
    Host host(fe);
    fe.script = "var i: Integer;\nbegin\n  i := 0;\n  i := 10 div i;\nend.";
    host.runConsole();
    EXPECT_TRUE(host.consoleLayoutActive());
    ASSERT_TRUE(pumpUntil(host, [&] { return fe.messages.size() == 2; }));
    EXPECT_EQ(fe.messages.back().rfind("Runtime Error: Division by Zero at [4:3] bytecode pos:0:", 0), 0u)
        << fe.messages.back();
    EXPECT_FALSE(host.lastRunResult());
    EXPECT_FALSE(host.consoleLayoutActive());
    EXPECT_LT(indexOf(fe.events, "collapse"), indexOf(fe.events, "restore"));
    EXPECT_LT(indexOf(fe.events, "restore"), fe.events.size() - 1);
}

TEST(HostRunControl, RunDuringAFreeRunOnlyAsksToResumeAndResetEndsItAsSuccess) {
    RecordingFrontend fe;
    Host host(fe);
    fe.script = "begin while true do ; end.";
    host.run();
    ASSERT_TRUE(pumpUntil(host, [&] { return host.isRunning(); }));
    host.run();
    EXPECT_TRUE(host.resumeRequested());
    EXPECT_EQ(fe.messages.size(), 1u); // no second compile
    host.reset();
    ASSERT_TRUE(pumpUntil(host, [&] { return fe.messages.size() == 2; }));
    EXPECT_EQ(fe.messages.back(), "Succesfully Execute");
    EXPECT_TRUE(host.context().resetRequested.load()); // stays set until the next run command
    fe.script = "begin end.";
    host.run();
    EXPECT_FALSE(host.context().resetRequested.load());
    ASSERT_TRUE(pumpUntil(host, [&] { return fe.messages.size() == 2 && !host.isRunning(); }));
}

TEST(HostRunControl, DebugRunPausesAtTheBreakpointAndRunResumes) {
    RecordingFrontend fe;
    Host host(fe);
    fe.script = "var i, n: Integer;\nbegin\n  for i := 1 to 2 do\n    n := n + i;\n  n := 0;\nend.";
    host.toggleBreakpoint(4);
    host.toggleBreakpoint(5);
    host.toggleBreakpoint(5); // twice: off again
    EXPECT_EQ(host.breakpointCount(), 1);
    std::vector<int> pausedAt;
    fe.onWaitingEvents = [&] {
        pausedAt.push_back(host.activeLine());
        EXPECT_TRUE(host.isRunning());
        host.run(); // Run while paused: resume
    };
    host.run(); // a debug run: on this thread, inside the command
    EXPECT_EQ(pausedAt, (std::vector<int>{4, 4}));
    EXPECT_EQ(fe.messages.back(), "Succesfully Execute");
    EXPECT_EQ(host.activeLine(), 0);
}

TEST(HostRunControl, StepIntoPausesAtTheFirstLineAndAddsNoResultLine) {
    RecordingFrontend fe;
    Host host(fe);
    fe.script = "begin\n  WriteLn(1);\n  WriteLn(2);\nend.";
    int pauses = 0;
    fe.onWaitingEvents = [&] {
        ++pauses;
        host.stepInto();
    };
    host.stepInto();
    EXPECT_EQ(pauses, 3); // lines 2, 3 and the final end
    EXPECT_EQ(fe.messages, (std::vector<std::string>{"Succesfully compiled"}));
    EXPECT_FALSE(host.lastRunResult()); // unchanged
}

TEST(HostRunControl, BreakpointsFollowTheFileName) {
    RecordingFrontend fe;
    Host host(fe);
    host.setFileName("first.488");
    host.toggleBreakpoint(3);
    host.setFileName("second.488");
    EXPECT_TRUE(host.engine().hasBreakpoint("second.488", 3));
    EXPECT_FALSE(host.engine().hasBreakpoint("first.488", 3));
    host.toggleBreakpoint(3); // now under the new name: cleared
    EXPECT_EQ(host.breakpointCount(), 0);
}

TEST(HostRunControl, UserFileNameIsBoundToTheSetting) {
    RecordingFrontend fe;
    Host host(fe);
    host.userFileName() = "/data/old.txt";
    fe.script = "begin\n  if UserFileName = '/data/old.txt' then UserFileName := '/data/new.txt';\nend.";
    host.run();
    ASSERT_TRUE(pumpUntil(host, [&] { return fe.messages.size() == 2; }));
    EXPECT_EQ(fe.messages.back(), "Succesfully Execute");
    EXPECT_EQ(host.userFileName(), "/data/new.txt");
}

namespace {
struct FakeResource : novrix::host::RunScopedResource {
    FakeResource(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    ~FakeResource() override { log.push_back("free " + name); }
    void close() override { log.push_back("close " + name); }
    std::vector<std::string>& log;
    std::string name;
};
} // namespace

TEST(HostRunControl, RunScopedResourcesAreReleasedLastToFirstWithTheirPauses) {
    std::vector<std::string> log;
    novrix::host::RunScopedLists lists;
    lists.openComPorts.push_back(std::make_unique<FakeResource>(log, "com1"));
    lists.openComPorts.push_back(std::make_unique<FakeResource>(log, "com2"));
    lists.ipLinks.push_back(std::make_unique<FakeResource>(log, "ip"));
    lists.ddeServerItems.push_back(std::make_unique<FakeResource>(log, "item"));
    novrix::host::ReleasePacing pacing;
    int services = 0;
    std::chrono::milliseconds slept{0};
    pacing.serviceEvents = [&] { ++services; };
    pacing.sleep = [&](std::chrono::milliseconds ms) { slept += ms; };
    novrix::host::releaseScriptResources(lists, pacing);
    EXPECT_EQ(log, (std::vector<std::string>{"close com2", "free com2", "close com1", "free com1", "close ip",
                                             "free ip", "free item"}));
    EXPECT_EQ(services, 6);
    EXPECT_EQ(slept.count(), 600); // 200 ms for each port or link, none for DDE objects
    EXPECT_TRUE(lists.empty());
}

#include "host/vocabulary.h"
#include "library/catalogue.h"

// Every NOVRIX_ function of the groups built so far has its implementation; only the other groups
// answer "not implemented".
TEST(HostVocabulary, ConsoleFileAndUtilityGroupsAreComplete) {
    RecordingFrontend fe;
    Host host(fe);
    novrix::host::Vocabulary vocabulary(host);
    host.setRegistrar([&](novrix::engine::Engine& e) { vocabulary.registerAll(e); });
    using novrix::library::FunctionGroup;
    int built = 0;
    for (const auto& f : novrix::library::novrixFunctions()) {
        bool done = f.group == FunctionGroup::Console || f.group == FunctionGroup::File ||
                    f.group == FunctionGroup::Utility;
        EXPECT_EQ(vocabulary.implements(f.name), done) << f.name;
        built += done;
    }
    EXPECT_EQ(built, 11 + 12 + 18); // console and keyboard, files, conversions with time and random
    // The run itself proves the bindings: a script calling a few of each group runs without
    // "not implemented".
    host.userFileName() = "/dev/null";
    fe.script =
        "var s: string;\n"
        "begin\n"
        "  s := NOVRIX_ConvertToFixed(1.25, 2);\n"
        "  NOVRIX_FileClearBuffer;\n"
        "  if NOVRIX_FileExists('/nonexistent/*.none') then s := 'x';\n"
        "  NOVRIX_ScreenWriteLn(s);\n"
        "  NOVRIX_TimeSleep(0.001);\n"
        "  NOVRIX_DebugWriteLn(NOVRIX_Random(10) >= 0);\n"
        "end.";
    host.run();
    // The debug line and the result line may come in either order: both are waited for.
    auto resultLine = [&] {
        for (const std::string& m : fe.messages)
            if (m == "Succesfully Execute" || m.rfind("Runtime Error", 0) == 0) return m;
        return std::string();
    };
    ASSERT_TRUE(pumpUntil(host, [&] { return !resultLine().empty() && fe.messages.size() >= 3; }));
    EXPECT_EQ(resultLine(), "Succesfully Execute");
    EXPECT_TRUE(std::any_of(fe.messages.begin(), fe.messages.end(),
                            [](const std::string& m) { return m.find(": True") != std::string::npos; }))
        << ::testing::PrintToString(fe.messages);
}
