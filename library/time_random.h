#pragma once
// The clock, the waits and the random generator of the script vocabulary as plain functions on the
// shared ScriptContext. The waits run on the thread that runs the script and end early when Reset is
// requested or the engine is asked to stop.
#include "library/script_context.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace novrix::library::timing {

// Asked once per slice of a wait: true ends the wait (the engine's stop request, for instance).
using StopCheck = std::function<bool()>;

// Where the waits read the local clock and how they pass a poll interval; tests substitute a clock.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual double localNow() = 0; // the local date and time as a TDateTime
    virtual void sleepFor(std::chrono::milliseconds interval) = 0;
};

// The wall clock and the thread's own sleep.
class SystemTimeSource final : public TimeSource {
public:
    double localNow() override;
    void sleepFor(std::chrono::milliseconds interval) override;
};

// The clock second a TDateTime falls in, counted from 1899-12-30 00:00 after rounding to the nearest
// millisecond (as DecodeTime reads it). Its value modulo 60 is the seconds field of that time.
int64_t clockSecond(double dateTime);

// True when the seconds field of `dateTime` differs from `lastSeen`, which then takes it. A reading a
// whole minute after the last one therefore counts as no new second.
bool newSecond(double dateTime, uint16_t& lastSeen);

// Waits `seconds`: up to 10 ms by busy-reading the context's stopwatch (deaf to Reset), longer in
// sleeps of 1, 10 or 100 ms (below 0.1 s, below 1 s, from 1 s), ending after the slice in which the
// time is up, Reset is requested or `stop` says so. A NaN or a negative time returns at once.
void timeSleep(double seconds, ScriptContext& ctx, const StopCheck& stop);

// Polls every 10 ms until a new second begins (sharing the last seen second with newSecond) whose clock
// second is a multiple of `seconds`, or Reset is requested or `stop` says so. `seconds` = 0 returns at
// the first new second. For divisors of 86400 that is the start of the matching local clock second.
void timeWaitForMultipleOf(uint32_t seconds, ScriptContext& ctx, TimeSource& clock, const StopCheck& stop);

// The generator shared by the whole program: seed = seed * 134775813 + 1 (mod 2^32) per draw. For
// which != 0 the upper half of which * seed (unsigned 32 x 32 bits) read as an Integer, so 0 .. which - 1
// for a positive `which`; for which = 0 a real seed / 2^32 in [0, 1).
double randomDraw(uint32_t& seed, int32_t which);

// The seed that Randomize takes: milliseconds since midnight UTC of `when`.
uint32_t randomizeSeed(std::chrono::system_clock::time_point when);

} // namespace novrix::library::timing
