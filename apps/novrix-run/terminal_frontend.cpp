#include "terminal_frontend.h"

#include <cstdio>
#include <iostream>

namespace novrix::runner {

void TerminalFrontend::addMessage(const std::string& line) {
    if (beforeMessage_) beforeMessage_();
    console_.flush();
    std::cerr << line << "\n";
}

void TerminalFrontend::processEvents(bool wait) {
    if (!wait) return;
    // Only a paused debug run waits for events: it waits for the next command.
    if (beforeMessage_) beforeMessage_();
    console_.flush();
    std::cerr << "paused at line " << (pausedRow_ ? pausedRow_() : 0) << "\n";
    std::string cmd;
    bool ended = !console_.readCommand(cmd);
    if (onPause_) onPause_(cmd, ended);
}

} // namespace novrix::runner
