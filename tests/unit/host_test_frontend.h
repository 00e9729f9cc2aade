#pragma once
// A frontend that records what the host asks of the window, for the host's unit tests.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/frontend.h"

namespace novrix::test {

class RecordingConsole : public host::ConsoleView {
public:
    void write(std::string_view text) override { written += text; }
    void clear() override { written.clear(); }
    void clearToEndOfLine() override {}
    void gotoXY(int, int) override {}
    void showCaret(bool) override {}
    void takeFocus() override { ++focusTaken; }
    bool keyAvailable() override { return !keys.empty(); }
    bool takeKey(char& key) override {
        if (keys.empty()) return false;
        key = keys.front();
        keys.pop_front();
        return true;
    }
    std::string written;
    std::deque<char> keys;
    int focusTaken = 0;
};

class RecordingFrontend : public host::Frontend {
public:
    void setStatusText(int panel, const std::string& text) override {
        events.push_back("status" + std::to_string(panel) + ":" + text);
    }
    void clearMessages() override {
        messages.clear();
        events.push_back("clear messages");
    }
    void addMessage(const std::string& line) override {
        messages.push_back(line);
        events.push_back("message:" + line);
    }
    void setActiveLine(int row) override { events.push_back("active:" + std::to_string(row)); }
    void repaintEditor() override { events.push_back("repaint"); }
    std::string scriptText() override { return script; }
    void collapseToConsole() override { events.push_back("collapse"); }
    void restoreLayout() override { events.push_back("restore"); }
    void clearDebugConsole() override { events.push_back("clear debug console"); }
    void toggleLed(host::Led) override {}
    void processEvents(bool wait) override {
        if (wait && onWaitingEvents) onWaitingEvents();
    }
    host::ConsoleView& console() override { return consoleView; }

    std::string script;
    std::vector<std::string> messages;
    std::vector<std::string> events;
    std::function<void()> onWaitingEvents; // what the "user" does while a debug run is paused
    RecordingConsole consoleView;
};

} // namespace novrix::test
