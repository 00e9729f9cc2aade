#pragma once
// The host: owns the script engine, the execution thread, the run-scoped lists and the shared script
// state, and carries out the run-control commands (Compile, Run, Run Console, Step Into/Over, Reset,
// Toggle Breakpoint). It reaches the user interface only through Frontend, always on the main thread:
// what happens on the execution thread is handed over as main-thread tasks and carried out in order by
// tick(), which the frontend calls every millisecond (the window's timer, or the headless pump loop).
//
// Choices where the behaviour is open:
// - A breakpoint reached in a free run (Run Console with breakpoints set, or one set while a free run
//   goes on) is passed over: pausing the execution thread would leave nobody to resume it.
// - Compile while a paused debug run is unwinding: the run is stopped and the compile is carried out as
//   soon as its Execute has returned; no command starts a run before the previous Execute has returned.
// - The paused line follows the steps: when a run pauses on a line without a breakpoint (after Step Into
//   or Step Over), that line becomes the active line as a breakpoint's would, at no cost to free runs.
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "console_queue.h"
#include "engine/engine.h"
#include "frontend.h"
#include "help_listing.h"
#include "pump.h"
#include "library/script_context.h"
#include "run_scoped.h"

namespace novrix::host {

class Host {
public:
    // Called during every compile (OnCompile) to register the vocabulary.
    using Registrar = std::function<void(engine::Engine&)>;

    explicit Host(Frontend& frontend);
    ~Host(); // stops a run still going, then the execution thread (terminate request and wait)
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    void setRegistrar(Registrar r) { registrar_ = std::move(r); }
    // Called once after a compile while the engine still holds its tables (the help listing is built here).
    void setBeforeCleanUp(std::function<void(const engine::CompileTables&)> f) { beforeCleanUp_ = std::move(f); }
    // The file the editor holds: compiler messages and breakpoints refer to its name.
    void setFileName(const std::string& nameWithoutFolder);

    // The start-up's first compile: registers the vocabulary and builds the help listing; it leaves no
    // message behind.
    void warmUpCompile();
    const HelpListing& helpListing() const { return helpListing_; }

    // --- commands (main thread)
    bool compileScript();
    void compile();
    void run();
    void runConsole();
    void stepInto();
    void stepOver();
    void reset();
    void toggleBreakpoint(int line);

    // --- the main thread's 1 ms timer: main-thread tasks, the result of a finished free run, and the
    // console pump (drain every 11th tick, heartbeat LED every 51st)
    void tick();

    bool isRunning() const { return engine_.isRunning(); }
    bool lastRunResult() const { return lastRunResult_.load(std::memory_order_acquire); }
    int breakpointCount() const { return breakpointCount_; }
    bool startRequested() const { return startRequested_.load(std::memory_order_acquire); }
    // True once every free run started so far has had its result line written.
    bool resultReported() const { return freeRunsReported_.load() >= freeRunsStarted_.load(); }
    bool resumeRequested() const { return resumeRequested_.load(std::memory_order_acquire); }
    int activeLine() const { return activeLine_; }
    bool consoleLayoutActive() const { return consoleLayoutActive_; }

    engine::Engine& engine() { return engine_; }
    library::ScriptContext& context() { return context_; }
    ConsoleQueue& consoleQueue() { return consoleQueue_; }
    ConsoleView& console() { return frontend_.console(); }
    void frontendProcessEvents() { frontend_.processEvents(false); }
    RunScopedLists& runScoped() { return runScoped_; }
    std::string& userFileName() { return userFileName_; }
    void setReleasePacing(ReleasePacing p) { pacing_ = std::move(p); }
    // Releases the run-scoped lists now (at the end of every run, and once more at shutdown).
    void releaseScriptResources();
    bool onMainThread() const { return std::this_thread::get_id() == mainThread_; }
    // Runs `task` on the main thread: at once when called there, else at the next tick, in order.
    void onMain(std::function<void()> task);

private:
    void wireEngine();
    void step(void (engine::Engine::*how)());
    void ceExecute();
    void ceAfterExecute();
    void ceBreakpoint(int row);
    void ceIdle();
    void reportRunResult();
    void executionThread(std::stop_token stop);
    void runTasks();
    bool waitForEndOfRun();

    Frontend& frontend_;
    ConsoleQueue consoleQueue_;
    Pump pump_;
    engine::Engine engine_;
    library::ScriptContext context_;
    RunScopedLists runScoped_;
    ReleasePacing pacing_;
    Registrar registrar_;
    std::function<void(const engine::CompileTables&)> beforeCleanUp_;
    std::string userFileName_;
    HelpListing helpListing_;
    std::thread::id mainThread_ = std::this_thread::get_id();

    std::atomic<bool> startRequested_{false};
    std::atomic<bool> resumeRequested_{false};
    std::atomic<bool> lastRunResult_{false};
    std::atomic<bool> reportPending_{false}; // a finished free run waits for its result line
    std::atomic<int> freeRunsStarted_{0};
    std::atomic<int> freeRunsReported_{0};
    bool pendingCompile_ = false;
    int breakpointCount_ = 0;
    int activeLine_ = 0;
    bool consoleLayoutActive_ = false;

    std::mutex tasksLock_;
    std::deque<std::function<void()>> tasks_;
    std::jthread execThread_; // last: it is stopped and joined before the members above go away
};

} // namespace novrix::host
