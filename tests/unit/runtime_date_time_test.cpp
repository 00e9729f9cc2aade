// TDateTime arithmetic and clocks. Values come from Free Pascal (fpc -Mdelphi), which agrees with Delphi
// except for its error messages; the messages are Delphi 7's.
#include "engine/runtime/date_time.h"
#include "engine/runtime/script_error.h"

#include <array>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace novrix::rt {
namespace {

TEST(RuntimeDateTime, EncodeDate) {
    const struct {
        int y, m, d;
        double expected;
    } cases[] = {{2024, 2, 29, 45351},    {1899, 12, 30, 0},   {1, 1, 1, -693593},
                 {9999, 12, 31, 2958465}, {2024, 3, 5, 45356}, {1900, 3, 1, 61}};
    for (const auto& c : cases)
        EXPECT_EQ(encodeDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
    // Delphi takes the parts as Words.
    EXPECT_EQ(encodeDate(2024 + 65536, 3, 5), 45356);
}

TEST(RuntimeDateTime, EncodeRejectsInvalidParts) {
    const int dates[][3] = {{2023, 2, 29}, {2000, 13, 1}, {0, 1, 1},    {2024, 0, 1},
                            {2024, 4, 31}, {10000, 1, 1}, {2024, 1, -1}};
    for (const auto& d : dates) {
        try {
            encodeDate(d[0], d[1], d[2]);
            ADD_FAILURE() << d[0] << "-" << d[1] << "-" << d[2];
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, ExcClass::EConvertError);
            EXPECT_STREQ(e.what(), "Invalid argument to date encode");
        }
    }
    const int times[][4] = {{24, 0, 0, 0}, {1, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& t : times) {
        try {
            encodeTime(t[0], t[1], t[2], t[3]);
            ADD_FAILURE() << t[0] << ":" << t[1] << ":" << t[2] << "." << t[3];
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, ExcClass::EConvertError);
            EXPECT_STREQ(e.what(), "Invalid argument to time encode");
        }
    }
}

TEST(RuntimeDateTime, EncodeTime) {
    EXPECT_EQ(encodeTime(0, 0, 0, 0), 0.0);
    EXPECT_EQ(encodeTime(12, 0, 0, 0), 0.5);
    EXPECT_NEAR(encodeTime(23, 59, 59, 999), 0.999999988425926, 1e-15);
    EXPECT_NEAR(encodeTime(12, 30, 0, 500), 0.52083912037037, 1e-14);
}

TEST(RuntimeDateTime, DecodeRoundsToTheMillisecond) {
    const struct {
        double dt;
        int y, m, d, h, n, s, ms, dow;
    } cases[] = {
        {0.0, 1899, 12, 30, 0, 0, 0, 0, 7},
        {-1.25, 1899, 12, 29, 6, 0, 0, 0, 6}, // before 1899-12-30 the fraction still counts forward
        {45356.5, 2024, 3, 5, 12, 0, 0, 0, 3},
        {2.5, 1900, 1, 1, 12, 0, 0, 0, 2},
        {45000.999999, 2023, 3, 15, 23, 59, 59, 914, 4},
        {36526.0, 2000, 1, 1, 0, 0, 0, 0, 7},
        {-693593.0, 1, 1, 1, 0, 0, 0, 0, 2},
        {-693594.0, 0, 0, 0, 0, 0, 0, 0, 1}, // before year 1: all zero
        {2958465.99999, 9999, 12, 31, 23, 59, 59, 136, 6},
        {45356.123456789, 2024, 3, 5, 2, 57, 46, 667, 3},
        {0.99999999, 1899, 12, 30, 23, 59, 59, 999, 7},
        {0.999999999, 1899, 12, 31, 0, 0, 0, 0, 1}, // rounds up into the next day
    };
    for (const auto& c : cases) {
        int y, m, d, h, n, s, ms;
        decodeDate(c.dt, y, m, d);
        decodeTime(c.dt, h, n, s, ms);
        EXPECT_EQ((std::array<int, 8>{y, m, d, h, n, s, ms, dayOfWeek(c.dt)}),
                  (std::array<int, 8>{c.y, c.m, c.d, c.h, c.n, c.s, c.ms, c.dow}))
            << c.dt;
    }
    int h, n, s, ms;
    decodeTime(encodeTime(10, 20, 30, 400), h, n, s, ms);
    EXPECT_EQ((std::array<int, 4>{h, n, s, ms}), (std::array<int, 4>{10, 20, 30, 400}));
    EXPECT_THROW(decodeTime(1e300, h, n, s, ms), ScriptError);
}

TEST(RuntimeDateTime, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(isLeapYear(2024));
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_FALSE(isLeapYear(2023));
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 2), 28);
    EXPECT_EQ(daysInMonth(2023, 12), 31);
    EXPECT_EQ(daysInMonth(2023, 4), 30);
    EXPECT_THROW(daysInMonth(2023, 13), ScriptError);
}

TEST(RuntimeDateTime, ClocksFollowTheSystemClock) {
    const auto before = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const double n = now();
    const double d = date();
    const double t = time();
    std::tm local{};
    localtime_r(&before, &local);
    // Today's date, unless midnight passed between the readings.
    const double today = encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    EXPECT_TRUE(d == today || d == today + 1) << d << " " << today;
    EXPECT_EQ(std::floor(d), d);
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 1.0);
    EXPECT_GE(n, today);
    EXPECT_LT(n, today + 2);
    const double fromParts =
        today + encodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, 0);
    EXPECT_NEAR(n, fromParts, 5.0 / 86400); // within seconds of the C library's local time
}

TEST(RuntimeDateTime, TickCountIsMonotonicMilliseconds) {
    const uint32_t a = getTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint32_t b = getTickCount();
    EXPECT_GE(static_cast<uint32_t>(b - a), 15u);
    EXPECT_LT(static_cast<uint32_t>(b - a), 10000u);
}

} // namespace
} // namespace novrix::rt
