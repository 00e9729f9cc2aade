#include "terminal_console.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include <poll.h>
#include <unistd.h>

namespace novrix::runner {

namespace {
constexpr size_t kTypeAhead = 64;
}

TerminalConsole::TerminalConsole() : tty_(isatty(STDOUT_FILENO)) {}

TerminalConsole::~TerminalConsole() {
    reader_ = {};
    if (rawMode_) tcsetattr(STDIN_FILENO, TCSANOW, &savedTermios_);
    flush();
}

void TerminalConsole::flush() { std::fflush(stdout); }

void TerminalConsole::write(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (tty_) {
            if (c == '\r')
                out += "\r";
            else if (c == '\n')
                out += "\n";
            else if (c == '\b')
                out += "\b \b";
            else if (c == '\a')
                out += "\a";
            else if (u >= 32)
                out += c;
            continue;
        }
        // Plain output: CR LF becomes LF; a CR on its own stays.
        if (pendingCr_) {
            pendingCr_ = false;
            if (c != '\n') out += '\r';
        }
        if (c == '\r')
            pendingCr_ = true;
        else if (c == '\n' || c == '\b' || u >= 32)
            out += c;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void TerminalConsole::clear() {
    if (tty_) std::fputs("\x1b[2J\x1b[H", stdout);
}

void TerminalConsole::clearToEndOfLine() {
    if (tty_) std::fputs("\x1b[K", stdout);
}

void TerminalConsole::gotoXY(int column, int row) {
    if (!tty_) return;
    column = std::clamp(column, 0, 254);
    row = std::clamp(row, 0, 254);
    std::fprintf(stdout, "\x1b[%d;%dH", row + 1, column + 1);
}

void TerminalConsole::showCaret(bool on) {
    if (tty_) std::fputs(on ? "\x1b[?25h" : "\x1b[?25l", stdout);
}

bool TerminalConsole::keyAvailable() {
    std::lock_guard<std::mutex> lock(keysLock_);
    return !keys_.empty();
}

bool TerminalConsole::takeKey(char& key) {
    std::lock_guard<std::mutex> lock(keysLock_);
    if (keys_.empty()) return false;
    key = keys_.front();
    keys_.pop_front();
    return true;
}

bool TerminalConsole::inputEnded() {
    std::lock_guard<std::mutex> lock(keysLock_);
    return keys_.empty() && ended_.load();
}

void TerminalConsole::startKeyboard() {
    if (reader_.joinable()) return;
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &savedTermios_) == 0) {
        termios raw = savedTermios_;
        raw.c_lflag &= ~tcflag_t(ICANON | ECHO); // Ctrl+C still signals (ISIG stays)
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        rawMode_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    reader_ = std::jthread([this](std::stop_token st) { readerLoop(st); });
}

void TerminalConsole::readerLoop(std::stop_token stop) {
    while (!stop.stop_requested()) {
        // Input that is piped in waits in stdin while the type-ahead buffer is full, so none of it is lost.
        size_t room;
        {
            std::lock_guard<std::mutex> lock(keysLock_);
            room = kTypeAhead - keys_.size();
        }
        if (room == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        int r = poll(&p, 1, 20);
        if (r < 0) break;
        if (r == 0) continue;
        char buf[kTypeAhead];
        ssize_t n = read(STDIN_FILENO, buf, room);
        if (n <= 0) break;
        std::lock_guard<std::mutex> lock(keysLock_);
        for (ssize_t k = 0; k < n; ++k) keys_.push_back(buf[k] == '\n' ? '\r' : buf[k]); // Enter arrives as CR
    }
    ended_.store(true);
}

bool TerminalConsole::readCommand(std::string& line) {
    flush();
    return static_cast<bool>(std::getline(std::cin, line));
}

} // namespace novrix::runner
