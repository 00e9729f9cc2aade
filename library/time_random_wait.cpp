// The clock and the waits: new-second detection, sleeping, waiting for a multiple of seconds.
#include "engine/runtime/date_time.h"
#include "library/time_random.h"

#include <cmath>
#include <thread>

namespace novrix::library::timing {
namespace {

using namespace std::chrono_literals;

constexpr long double kMsPerDay = 86400000.0L;
constexpr auto kPollInterval = 10ms;

int64_t floorMod(int64_t a, int64_t n) {
    return (a % n + n) % n;
}

} // namespace

double SystemTimeSource::localNow() {
    return rt::now();
}

void SystemTimeSource::sleepFor(std::chrono::milliseconds interval) {
    std::this_thread::sleep_for(interval);
}

int64_t clockSecond(double dateTime) {
    if (!std::isfinite(dateTime))
        return 0;
    // Both the seconds field and the count come from the same millisecond, so that they never disagree
    // about which second a reading just before a second's end belongs to.
    const long double ms = std::nearbyint(static_cast<long double>(dateTime) * kMsPerDay);
    return static_cast<int64_t>(std::floor(ms / 1000.0L));
}

bool newSecond(double dateTime, uint16_t& lastSeen) {
    const auto field = static_cast<uint16_t>(floorMod(clockSecond(dateTime), 60));
    if (field == lastSeen)
        return false;
    lastSeen = field;
    return true;
}

void timeSleep(double seconds, ScriptContext& ctx, const StopCheck& stop) {
    try {
        if (std::isnan(seconds))
            return; // would never be reached
        Stopwatch& watch = ctx.stopwatch;
        if (seconds <= 0.01) {
            watch.start();
            while (watch.elapsed() < seconds) {
            }
            return;
        }
        const auto slice = seconds < 0.1 ? 1ms : seconds < 1 ? 10ms : 100ms;
        watch.start();
        for (;;) {
            std::this_thread::sleep_for(slice);
            if (watch.elapsed() >= seconds)
                return;
            if (ctx.resetRequested.load(std::memory_order_relaxed))
                return;
            if (stop && stop())
                return;
        }
    } catch (...) {
        // A wait never fails the script.
    }
}

void timeWaitForMultipleOf(uint32_t seconds, ScriptContext& ctx, TimeSource& clock, const StopCheck& stop) {
    try {
        for (;;) {
            clock.sleepFor(kPollInterval);
            if (ctx.resetRequested.load(std::memory_order_relaxed))
                return;
            if (stop && stop())
                return;
            const double now = clock.localNow();
            if (!newSecond(now, ctx.lastSeenSecond))
                continue;
            // The clock second itself, not the reading rounded to a second: a first reading late in
            // second 29 must not pass for 30. Counted in 64 bits, so it keeps its meaning after 2036.
            if (seconds == 0 || floorMod(clockSecond(now), seconds) == 0)
                return;
        }
    } catch (...) {
        // A wait never fails the script.
    }
}

} // namespace novrix::library::timing
