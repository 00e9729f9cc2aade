#pragma once
// The seam between the host's logic and a user interface. The host (run control, the console pump, the
// debug log) calls only this; the desktop window and the headless runner each implement it. Every call
// is made on the main thread unless its comment says otherwise.
#include <string>
#include <string_view>

namespace novrix::host {

// The output console: a grid of 255 x 255 character cells with a cursor, and the keyboard's type-ahead
// buffer (at most 64 characters).
class ConsoleView {
public:
    virtual ~ConsoleView() = default;
    // Writes at the cursor: codes from 32 up fill cells (wrapping after column 255, scrolling after the
    // last row), CR to column 0, LF one row down, BS one column left blanking that cell, BEL beeps, other
    // codes below 32 are dropped.
    virtual void write(std::string_view text) = 0;
    virtual void clear() = 0;                 // the whole console; cursor to the top left cell
    virtual void clearToEndOfLine() = 0;
    virtual void gotoXY(int column, int row) = 0; // zero-based; each clamped to 0 .. 254
    virtual void showCaret(bool on) = 0;
    virtual void takeFocus() = 0;
    // Type-ahead buffer. These two may be called from the thread that runs the script.
    virtual bool keyAvailable() = 0;
    virtual bool takeKey(char& key) = 0;      // the oldest character; false when the buffer is empty
    // The headless runner's stdin may end: then no key will ever come (the GUI always answers false).
    virtual bool inputEnded() { return false; }
};

// The four lamps of the message pane: the main timer's heartbeat, the transport thread's, the debug
// window's timer's, and the one scripts switch.
enum class Led { Heartbeat, Bus, DebugWindow, Status };

class Frontend {
public:
    virtual ~Frontend() = default;

    // The status bar's panels (0 .. 2); panel 1 shows the run state ("Running", "Editor").
    virtual void setStatusText(int panel, const std::string& text) = 0;
    // The "Compiler & Debug Messages" list.
    virtual void clearMessages() = 0;
    virtual void addMessage(const std::string& line) = 0;
    // The editor: the line at which a debug run stands paused (0: none), scrolled into view.
    virtual void setActiveLine(int row) = 0;
    virtual void repaintEditor() = 0;
    // The editor's text, replaced into the engine before every compile.
    virtual std::string scriptText() = 0;
    // Run Console's layout: collapse the window to the console, and restore it exactly.
    virtual void collapseToConsole() = 0;
    virtual void restoreLayout() = 0;
    // The debug window's console (cleared before a run).
    virtual void clearDebugConsole() = 0;
    virtual void toggleLed(Led led) = 0;
    // Services pending user-interface events; with `wait`, waits for at least one first (a paused run
    // spends its time here).
    virtual void processEvents(bool wait) = 0;
    virtual ConsoleView& console() = 0;
};

} // namespace novrix::host
