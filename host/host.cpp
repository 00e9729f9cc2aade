#include "host.h"

#include <chrono>

namespace novrix::host {

namespace {
constexpr auto kPoll = std::chrono::milliseconds(10);
}

Host::Host(Frontend& frontend) : frontend_(frontend), pump_(consoleQueue_, frontend) {
    wireEngine();
    execThread_ = std::jthread([this](std::stop_token st) { executionThread(st); });
}

Host::~Host() {
    // The window cannot close while a script runs; still, a runaway run is stopped rather than waited for.
    engine_.stop();
    execThread_.request_stop();
    if (execThread_.joinable()) execThread_.join();
    runTasks();
    releaseScriptResources();
}

void Host::wireEngine() {
    // Write and WriteLn of the language go to the output console like NOVRIX_ScreenWrite; a line ends in
    // CR LF there.
    engine_.setOutput([this](std::string_view text) {
        std::string t;
        t.reserve(text.size() + 4);
        for (char c : text) {
            if (c == '\n') t += '\r';
            t += c;
        }
        consoleQueue_.append(writeRecord(t));
    });
    engine_.onCompile = [this](engine::Engine& e) {
        if (registrar_) registrar_(e);
        if (!e.hasVariable("UserFileName")) e.addVariable("UserFileName", "String");
    };
    engine_.onBeforeCleanUp = [this](engine::Engine& e) {
        helpListing_.buildOnce(e.tables());
        if (beforeCleanUp_) beforeCleanUp_(e.tables());
        return true;
    };
    engine_.onExecute = [this](engine::Engine&) { ceExecute(); };
    engine_.onAfterExecute = [this](engine::Engine&) { ceAfterExecute(); };
    engine_.onBreakpoint = [this](engine::Engine& e, int row) {
        if (!onMainThread()) {
            e.resume(); // a free run passes over breakpoints
            return;
        }
        ceBreakpoint(row);
    };
    engine_.onIdle = [this](engine::Engine& e) {
        if (!onMainThread()) {
            e.resume();
            return;
        }
        ceIdle();
    };
}

void Host::setFileName(const std::string& nameWithoutFolder) {
    engine_.setMainFileName(nameWithoutFolder.empty() ? "Unnamed" : nameWithoutFolder);
}

void Host::onMain(std::function<void()> task) {
    if (onMainThread()) {
        task();
        return;
    }
    std::lock_guard<std::mutex> lock(tasksLock_);
    tasks_.push_back(std::move(task));
}

void Host::runTasks() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(tasksLock_);
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

void Host::tick() {
    // The flag is read first: when it is set, every task the finished run posted is already queued, so
    // the result line follows them.
    bool report = reportPending_.load(std::memory_order_acquire);
    runTasks();
    if (report) reportRunResult();
    pump_.tick();
}

// ---------------------------------------------------------------------------------------------------------
// commands

bool Host::compileScript() {
    // A compile cannot happen while a run is still unwinding (a stopped debug run returns through the
    // command that started it); it is done when that run has ended.
    if (engine_.isRunning()) {
        pendingCompile_ = true;
        return false;
    }
    try {
        std::string text = frontend_.scriptText();
        bool ok = engine_.compile(text);
        frontend_.clearMessages();
        for (const std::string& line : engine_.messageLines()) frontend_.addMessage(line);
        if (ok) frontend_.addMessage("Succesfully compiled");
        return ok;
    } catch (const std::exception& e) {
        frontend_.addMessage(e.what());
        return false;
    }
}

void Host::warmUpCompile() {
    try {
        engine_.compile("Program Test;\nbegin;\nend.\n");
    } catch (const std::exception& e) {
        frontend_.addMessage(e.what());
    }
}

void Host::compile() {
    if (engine_.isRunning()) {
        engine_.stop();
        if (!waitForEndOfRun()) {
            pendingCompile_ = true;
            return;
        }
    }
    compileScript();
}

// A free run ends quickly once stopped; a debug run cannot end while we are inside its pause.
bool Host::waitForEndOfRun() {
    if (!onMainThread() || engine_.isPaused()) return false;
    for (int k = 0; k < 500 && engine_.isRunning(); ++k) {
        tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return !engine_.isRunning();
}

void Host::run() {
    context_.resetRequested.store(false, std::memory_order_release);
    if (engine_.isRunning()) {
        resumeRequested_.store(true, std::memory_order_release);
        return;
    }
    if (!compileScript()) return;
    // Prepare the consoles: one waiting key press is dropped.
    char key;
    frontend_.console().takeKey(key);
    frontend_.clearDebugConsole();
    frontend_.console().takeFocus();
    if (breakpointCount_ == 0) {
        ++freeRunsStarted_;
        startRequested_.store(true, std::memory_order_release);
        return;
    }
    bool ok = engine_.execute();
    lastRunResult_.store(ok, std::memory_order_release);
    frontend_.addMessage(ok ? "Succesfully Execute" : engine_.runtimeErrorLine());
    if (pendingCompile_) {
        pendingCompile_ = false;
        compileScript();
    }
}

void Host::runConsole() {
    context_.resetRequested.store(false, std::memory_order_release);
    if (engine_.isRunning()) {
        resumeRequested_.store(true, std::memory_order_release);
        return;
    }
    if (!compileScript()) return;
    char key;
    frontend_.console().takeKey(key);
    frontend_.collapseToConsole();
    frontend_.clearDebugConsole();
    frontend_.console().takeFocus();
    consoleLayoutActive_ = true;
    ++freeRunsStarted_;
    startRequested_.store(true, std::memory_order_release);
}

void Host::stepInto() { step(&engine::Engine::stepInto); }

void Host::stepOver() { step(&engine::Engine::stepOver); }

void Host::step(void (engine::Engine::*how)()) {
    context_.resetRequested.store(false, std::memory_order_release);
    if (engine_.isRunning()) {
        (engine_.*how)();
        return;
    }
    if (!compileScript()) return;
    (engine_.*how)();
    engine_.execute(); // a run started by a step command reports nothing and keeps LastRunResult
    if (pendingCompile_) {
        pendingCompile_ = false;
        compileScript();
    }
}

void Host::reset() {
    context_.resetRequested.store(true, std::memory_order_release);
    if (engine_.isRunning()) engine_.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void Host::toggleBreakpoint(int line) {
    const std::string& file = engine_.mainFileName();
    if (engine_.hasBreakpoint(file, line)) {
        engine_.clearBreakpoint(file, line);
        --breakpointCount_;
    } else {
        engine_.setBreakpoint(file, line);
        ++breakpointCount_;
    }
    frontend_.repaintEditor();
}

// ---------------------------------------------------------------------------------------------------------
// engine events

void Host::ceExecute() {
    engine_.bindVariable("UserFileName", &userFileName_);
    onMain([this] { frontend_.setStatusText(1, "Running"); });
}

void Host::ceAfterExecute() {
    onMain([this] {
        frontend_.setStatusText(1, "Editor");
        activeLine_ = 0;
        frontend_.setActiveLine(0);
        frontend_.repaintEditor();
    });
    // Ports and links are closed on the thread that ran the script, between the steps above and below.
    releaseScriptResources();
    onMain([this] {
        if (consoleLayoutActive_) {
            consoleLayoutActive_ = false;
            frontend_.restoreLayout();
        }
    });
}

void Host::releaseScriptResources() {
    ReleasePacing pacing = pacing_;
    // Only the main thread may let the user interface process its events.
    if (!pacing.serviceEvents)
        pacing.serviceEvents = onMainThread() ? std::function<void()>([this] { frontend_.processEvents(false); })
                                              : std::function<void()>([] {});
    host::releaseScriptResources(runScoped_, pacing);
}

void Host::ceBreakpoint(int row) {
    activeLine_ = row;
    frontend_.setActiveLine(row);
    frontend_.repaintEditor();
}

void Host::ceIdle() {
    // A step pauses on lines without a breakpoint too: the paused line is shown wherever the run stands.
    int row = engine_.pausedRow();
    if (row > 0 && row != activeLine_) ceBreakpoint(row);
    frontend_.processEvents(true);
    tick();
    if (resumeRequested_.exchange(false, std::memory_order_acq_rel)) {
        engine_.resume();
        activeLine_ = 0;
        frontend_.setActiveLine(0);
        frontend_.repaintEditor();
    }
}

void Host::reportRunResult() {
    frontend_.addMessage(lastRunResult_.load(std::memory_order_acquire) ? "Succesfully Execute"
                                                                        : engine_.runtimeErrorLine());
    ++freeRunsReported_;
    reportPending_.store(false, std::memory_order_release);
}

// ---------------------------------------------------------------------------------------------------------

void Host::executionThread(std::stop_token stop) {
    while (!stop.stop_requested()) {
        if (!startRequested_.exchange(false, std::memory_order_acq_rel)) {
            std::this_thread::sleep_for(kPoll);
            continue;
        }
        bool ok = engine_.execute();
        lastRunResult_.store(ok, std::memory_order_release);
        // The result line is written by the main thread; a new run cannot start before it stands.
        reportPending_.store(true, std::memory_order_release);
        while (reportPending_.load(std::memory_order_acquire) && !stop.stop_requested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace novrix::host
