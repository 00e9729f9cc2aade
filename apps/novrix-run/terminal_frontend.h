#pragma once
// The headless runner's side of the frontend seam: message lines on stderr, the console on stdout, and,
// while a debug run stands paused, commands read from stdin (c continue, s step into, n step over,
// q stop).
#include <functional>
#include <string>

#include "host/frontend.h"
#include "terminal_console.h"

namespace novrix::runner {

class TerminalFrontend : public host::Frontend {
public:
    explicit TerminalFrontend(TerminalConsole& console) : console_(console) {}

    void setScript(std::string text) { script_ = std::move(text); }
    // Called before every message line, so that console output queued before it is shown first.
    void setBeforeMessage(std::function<void()> f) { beforeMessage_ = std::move(f); }
    // What to do with a command typed while paused; the host's commands, set by main.
    void setPauseHandler(std::function<void(const std::string& command, bool inputEnded)> f) {
        onPause_ = std::move(f);
    }
    void setPausedRow(std::function<int()> f) { pausedRow_ = std::move(f); }

    void setStatusText(int, const std::string&) override {}
    void clearMessages() override {}
    void addMessage(const std::string& line) override;
    void setActiveLine(int) override {}
    void repaintEditor() override {}
    std::string scriptText() override { return script_; }
    void collapseToConsole() override {}
    void restoreLayout() override {}
    void clearDebugConsole() override {}
    void toggleLed(host::Led) override {}
    void processEvents(bool wait) override;
    host::ConsoleView& console() override { return console_; }

private:
    TerminalConsole& console_;
    std::string script_;
    std::function<void()> beforeMessage_;
    std::function<void(const std::string&, bool)> onPause_;
    std::function<int()> pausedRow_;
};

} // namespace novrix::runner
