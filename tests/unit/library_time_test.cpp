// The clock, the waits and the random generator: new seconds, waiting for a multiple of seconds on a
// scripted clock, sleeping in slices that end on Reset or the engine's stop, the reproducible generator.
#include "engine/engine.h"
#include "engine/runtime/date_time.h"
#include "library/convert_bindings.h"
#include "library/time_random.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

namespace timing = novrix::library::timing;
using novrix::library::ScriptContext;
using namespace std::chrono_literals;

constexpr double kSecond = 1.0 / 86400;

// 2025-01-01 12:00:00 plus `seconds`.
double at(double seconds) {
    return novrix::rt::encodeDate(2025, 1, 1) + 0.5 + seconds * kSecond;
}

int secondsField(double dateTime) {
    int h = 0, m = 0, s = 0, ms = 0;
    novrix::rt::decodeTime(dateTime, h, m, s, ms);
    return s;
}

// A clock that moves only when the wait sleeps, by exactly the interval asked for.
class ScriptedClock final : public timing::TimeSource {
public:
    explicit ScriptedClock(double start) : now_(start) {}
    double localNow() override {
        ++readings;
        return now_;
    }
    void sleepFor(std::chrono::milliseconds interval) override {
        sleeps.push_back(interval);
        now_ += static_cast<double>(interval.count()) / 1000 * kSecond;
    }
    double now() const { return now_; }

    int readings = 0;
    std::vector<std::chrono::milliseconds> sleeps;

private:
    double now_;
};

const timing::StopCheck kNeverStop = [] { return false; };

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ---------------------------------------------------------------------------------------------------------

TEST(LibraryTime, ClockSecondAgreesWithTheSecondsField) {
    // A reading within half a millisecond of the next second already belongs to it, in both.
    for (double s : {20.0, 20.0004, 19.9996, 29.6, 59.9999, 0.0}) {
        const double t = at(s);
        EXPECT_EQ(timing::clockSecond(t) % 60, secondsField(t)) << s;
    }
    EXPECT_EQ(timing::clockSecond(at(19.9996)), timing::clockSecond(at(20)));
    EXPECT_EQ(timing::clockSecond(at(29.6)), timing::clockSecond(at(29)));
    EXPECT_EQ(timing::clockSecond(0.5), 43200);
}

TEST(LibraryTime, NewSecondComparesTheSecondsFieldWithTheLastSeen) {
    uint16_t lastSeen = 0;
    EXPECT_FALSE(timing::newSecond(at(0.5), lastSeen)); // the initial 0 matches second 0
    EXPECT_TRUE(timing::newSecond(at(1.0), lastSeen));
    EXPECT_EQ(lastSeen, 1);
    EXPECT_FALSE(timing::newSecond(at(1.9), lastSeen));
    EXPECT_TRUE(timing::newSecond(at(2.0), lastSeen));
    EXPECT_FALSE(timing::newSecond(at(62.5), lastSeen)); // a whole minute later
    EXPECT_TRUE(timing::newSecond(at(37), lastSeen));
    EXPECT_EQ(lastSeen, 37);
}

TEST(LibraryTime, WaitForMultipleOfReturnsAtTheStartOfTheMatchingSecond) {
    ScriptContext ctx;
    ctx.lastSeenSecond = 23;
    ScriptedClock clock(at(23.705));
    timing::timeWaitForMultipleOf(10, ctx, clock, kNeverStop);
    EXPECT_EQ(secondsField(clock.now()), 30);
    EXPECT_LT(clock.now(), at(30.0105));
    EXPECT_EQ(ctx.lastSeenSecond, 30);
    for (auto interval : clock.sleeps)
        ASSERT_EQ(interval, 10ms);
}

TEST(LibraryTime, WaitForMultipleOfDoesNotTakeTheEndOfASecondForTheNext) {
    // Stale last seen second (from an earlier wait); the first reading is late in second 29. Rounding
    // that reading to the nearest second would make it 30 and return 0.4 s early.
    ScriptContext ctx;
    ctx.lastSeenSecond = 20;
    ScriptedClock clock(at(29.595));
    timing::timeWaitForMultipleOf(10, ctx, clock, kNeverStop);
    EXPECT_GE(clock.now(), at(30));
    EXPECT_LT(clock.now(), at(30.0105));
}

TEST(LibraryTime, WaitForMultipleOfCountsSecondsSinceDayZero) {
    struct Case {
        uint32_t seconds;
        double startSeconds;
    };
    for (const Case c : {Case{60, 5.2}, Case{7, 1.3}, Case{3600, 12.0}, Case{1, 0.004}}) {
        ScriptContext ctx;
        ctx.lastSeenSecond = static_cast<uint16_t>(secondsField(at(c.startSeconds)));
        ScriptedClock clock(at(c.startSeconds));
        timing::timeWaitForMultipleOf(c.seconds, ctx, clock, kNeverStop);
        EXPECT_EQ(timing::clockSecond(clock.now()) % c.seconds, 0) << c.seconds;
        EXPECT_LT(timing::clockSecond(clock.now()) - timing::clockSecond(at(c.startSeconds)),
                  int64_t(c.seconds) + 1);
    }
}

TEST(LibraryTime, WaitForMultipleOfKeepsLocalMinutesAfter2036) {
    // Seconds since 1899-12-30 pass 2^32 on 2036-02-07; a 32-bit count would no longer divide by 60 at
    // the full minute.
    const double start = novrix::rt::encodeDate(2040, 1, 1) + 55.5 * kSecond;
    ScriptContext ctx;
    ctx.lastSeenSecond = 55;
    ScriptedClock clock(start);
    timing::timeWaitForMultipleOf(60, ctx, clock, kNeverStop);
    int h = 0, m = 0, s = 0, ms = 0;
    novrix::rt::decodeTime(clock.now(), h, m, s, ms);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(s, 0);
}

TEST(LibraryTime, WaitForMultipleOfZeroReturnsAtTheFirstNewSecond) {
    ScriptContext ctx;
    ctx.lastSeenSecond = 23;
    ScriptedClock clock(at(23.705));
    timing::timeWaitForMultipleOf(0, ctx, clock, kNeverStop);
    EXPECT_EQ(secondsField(clock.now()), 24);
    EXPECT_LT(clock.now(), at(24.0105));
}

TEST(LibraryTime, WaitForMultipleOfEndsAtTheFirstPollOnResetOrStop) {
    {
        ScriptContext ctx;
        ctx.resetRequested = true;
        ScriptedClock clock(at(23.705));
        timing::timeWaitForMultipleOf(86400, ctx, clock, kNeverStop);
        EXPECT_EQ(clock.sleeps.size(), 1u);
    }
    {
        ScriptContext ctx;
        ScriptedClock clock(at(23.705));
        int polls = 0;
        timing::timeWaitForMultipleOf(86400, ctx, clock, [&polls] { return ++polls == 3; });
        EXPECT_EQ(clock.sleeps.size(), 3u);
    }
}

TEST(LibraryTime, WaitForMultipleOfOnTheRealClock) {
    ScriptContext ctx;
    timing::SystemTimeSource clock;
    const auto start = std::chrono::steady_clock::now();
    timing::timeWaitForMultipleOf(2, ctx, clock, kNeverStop);
    EXPECT_LT(secondsSince(start), 10.0);
    EXPECT_EQ(ctx.lastSeenSecond % 2, 0); // the second it returned in
}

TEST(LibraryTime, ShortSleepsBusyWaitAndIgnoreReset) {
    ScriptContext ctx;
    ctx.resetRequested = true;
    const auto start = std::chrono::steady_clock::now();
    timing::timeSleep(0.005, ctx, kNeverStop);
    const double took = secondsSince(start);
    EXPECT_GE(took, 0.005);
    EXPECT_LT(took, 2.0);
}

TEST(LibraryTime, SleepsLastAtLeastTheirTime) {
    for (double seconds : {0.0, 0.001, 0.01, 0.02, 0.15}) {
        ScriptContext ctx;
        const auto start = std::chrono::steady_clock::now();
        timing::timeSleep(seconds, ctx, kNeverStop);
        const double took = secondsSince(start);
        EXPECT_GE(took, seconds);
        EXPECT_LT(took, seconds + 2.0);
    }
}

TEST(LibraryTime, SleepsWithoutATimeReturnAtOnce) {
    for (double seconds : {-1.0, -std::numeric_limits<double>::infinity(), std::nan("")}) {
        ScriptContext ctx;
        const auto start = std::chrono::steady_clock::now();
        timing::timeSleep(seconds, ctx, kNeverStop);
        EXPECT_LT(secondsSince(start), 2.0) << seconds;
    }
}

TEST(LibraryTime, LongSleepEndsSoonAfterResetFromAnotherThread) {
    for (double seconds : {0.5, 10.0, std::numeric_limits<double>::infinity()}) {
        ScriptContext ctx;
        const auto start = std::chrono::steady_clock::now();
        std::jthread reset([&ctx] {
            std::this_thread::sleep_for(30ms);
            ctx.resetRequested = true;
        });
        timing::timeSleep(seconds, ctx, kNeverStop);
        const double took = secondsSince(start);
        EXPECT_GE(took, 0.02) << seconds; // it did wait for the reset
        EXPECT_LT(took, 5.0) << seconds;
    }
}

TEST(LibraryTime, LongSleepEndsSoonAfterStopFromAnotherThread) {
    ScriptContext ctx;
    std::atomic<bool> stop{false};
    const auto start = std::chrono::steady_clock::now();
    std::jthread stopper([&stop] {
        std::this_thread::sleep_for(30ms);
        stop = true;
    });
    timing::timeSleep(30.0, ctx, [&stop] { return stop.load(); });
    EXPECT_LT(secondsSince(start), 10.0);
    EXPECT_FALSE(ctx.resetRequested);
}

TEST(LibraryTime, EngineStopEndsTheWaitsOfARunningScript) {
    using novrix::engine::Engine;
    ScriptContext ctx;
    const auto bindings = novrix::library::conversionBindings(ctx);
    auto fn = [&bindings](std::string_view name) {
        for (const auto& b : bindings)
            if (b.name == name)
                return b.fn;
        return novrix::engine::NativeFn{};
    };
    for (const char* call : {"NOVRIX_TimeSleep(30)", "NOVRIX_TimeWaitForMultipleOf(86400)"}) {
        Engine e;
        e.onCompile = [&](Engine& en) {
            en.addDeclaration("procedure NOVRIX_TimeSleep(HowLong:double);", fn("NOVRIX_TimeSleep"));
            en.addDeclaration("procedure NOVRIX_TimeWaitForMultipleOf(Seconds:Cardinal);",
                              fn("NOVRIX_TimeWaitForMultipleOf"));
        };
        ASSERT_TRUE(e.compile(std::string("begin ") + call + "; end."));
        const auto start = std::chrono::steady_clock::now();
        std::jthread stopper([&e] {
            const auto deadline = std::chrono::steady_clock::now() + 5s;
            while (!e.isRunning() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(1ms);
            std::this_thread::sleep_for(30ms);
            e.stop();
        });
        e.execute();
        EXPECT_LT(secondsSince(start), 10.0) << call;
    }
}

// --- the random generator -------------------------------------------------------------------------------

TEST(LibraryRandom, FirstDrawsFromTheStartSeedAreAlwaysTheSame) {
    uint32_t seed = 0;
    std::vector<double> draws;
    for (int k = 0; k < 8; ++k)
        draws.push_back(timing::randomDraw(seed, 100));
    EXPECT_EQ(draws, (std::vector<double>{0, 3, 86, 20, 27, 67, 31, 16}));

    seed = 0;
    EXPECT_EQ(timing::randomDraw(seed, 6), 0);
    EXPECT_EQ(seed, 1u);
}

TEST(LibraryRandom, ZeroDrawsARealBelowOne) {
    uint32_t seed = 0;
    EXPECT_EQ(timing::randomDraw(seed, 0), std::ldexp(1.0, -32));
    EXPECT_EQ(timing::randomDraw(seed, 0), std::ldexp(134775814.0, -32));
    seed = 0xFFFFFFFFu / 134775813u; // some seed
    for (int k = 0; k < 10000; ++k) {
        const double x = timing::randomDraw(seed, 0);
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
    }
}

TEST(LibraryRandom, DrawsCoverTheRangeAndNegativeRangesAreReadSigned) {
    uint32_t seed = 0;
    std::vector<int> seen(7);
    for (int k = 0; k < 10000; ++k) {
        const double x = timing::randomDraw(seed, 7);
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 7);
        ASSERT_EQ(x, std::floor(x));
        ++seen[static_cast<size_t>(x)];
    }
    for (int n : seen)
        EXPECT_GT(n, 1000);

    // -1 is 0xFFFFFFFF: the upper half of 0xFFFFFFFF * seed is seed - 1, read as an Integer.
    seed = 134775814; // the third draw gives seed 3698175007
    EXPECT_EQ(timing::randomDraw(seed, -1), 3698175006.0 - 4294967296.0);
}

TEST(LibraryRandom, RandomizeTakesMillisecondsSinceMidnightUtc) {
    using namespace std::chrono;
    const sys_days day = year{2025} / 1 / 2;
    EXPECT_EQ(timing::randomizeSeed(day), 0u);
    EXPECT_EQ(timing::randomizeSeed(day + 3h + 4min + 5s + 678ms), 11045678u);
    EXPECT_EQ(timing::randomizeSeed(day + 23h + 59min + 59s + 999ms + 999us), 86399999u);
    EXPECT_EQ(timing::randomizeSeed(sys_days{year{1960} / 6 / 1} + 1h), 3600000u);
}

} // namespace
