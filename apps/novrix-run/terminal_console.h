#pragma once
// The output console and keyboard of the headless runner. On a terminal, cursor moves and clears become
// ANSI sequences and the keyboard is read in raw mode; otherwise the text is written as the script wrote
// it, each CR LF as LF, and moves and clears are dropped. Keys come from stdin through a reader thread
// into the 64-character type-ahead buffer.
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include <termios.h>

#include "host/frontend.h"

namespace novrix::runner {

class TerminalConsole : public host::ConsoleView {
public:
    TerminalConsole();
    ~TerminalConsole() override;

    void write(std::string_view text) override;
    void clear() override;
    void clearToEndOfLine() override;
    void gotoXY(int column, int row) override;
    void showCaret(bool on) override;
    void takeFocus() override {}
    bool keyAvailable() override;
    bool takeKey(char& key) override;
    bool inputEnded() override;

    // Starts reading stdin as keys (raw mode on a terminal). Not started: stdin stays free for debug
    // commands.
    void startKeyboard();
    // Reads one command line from stdin (for a paused debug run); false at end of input.
    bool readCommand(std::string& line);
    bool isTerminal() const { return tty_; }
    void flush();

private:
    void readerLoop(std::stop_token stop);

    bool tty_;
    bool pendingCr_ = false;
    std::mutex keysLock_;
    std::deque<char> keys_;
    std::atomic<bool> ended_{false};
    bool rawMode_ = false;
    termios savedTermios_{};
    std::jthread reader_;
};

} // namespace novrix::runner
