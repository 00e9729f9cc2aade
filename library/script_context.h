#pragma once
// The process-wide state that script functions share, owned by the host for the life of the program and
// handed to each function group by reference. Only the thread that runs the script touches the plain
// members; the atomics are written by the main thread.
#include <atomic>
#include <chrono>
#include <cstdint>

#include "engine/runtime/format_settings.h"

namespace novrix::library {

// The high-resolution stopwatch shared by the waiting functions (bus waits, sleeping).
class Stopwatch {
public:
    void start() { started_ = std::chrono::steady_clock::now(); }
    double elapsed() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count(); }

private:
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

struct ScriptContext {
    // Set by Reset, cleared by Run, Run Console and the step commands; polling waits end when they see it.
    std::atomic<bool> resetRequested{false};
    Stopwatch stopwatch;
    // Seconds field (0..59) of the local time seen by the last new-second check.
    uint16_t lastSeenSecond = 0;
    // The random generator's seed, 0 at program start.
    uint32_t randSeed = 0;
    // The user's locale, for the functions that follow it.
    rt::FormatSettings locale = rt::FormatSettings::fromLocale();
};

} // namespace novrix::library
