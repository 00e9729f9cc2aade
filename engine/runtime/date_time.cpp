#include "engine/runtime/date_time.h"

#include "engine/runtime/script_error.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace novrix::rt {
namespace {

constexpr int kMSecsPerDay = 24 * 60 * 60 * 1000;
constexpr int kDateDelta = 693594; // days from 0001-01-01 (day 1) to 1899-12-30

constexpr int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Delphi's TTimeStamp: days since 0001-01-01 counted from 1, and milliseconds into the day.
struct TimeStamp {
    int64_t date;
    int64_t time;
};

TimeStamp toTimeStamp(double dt) {
    // Delphi multiplies in Extended and rounds to nearest-even; long double is that Extended on x86.
    const long double ms = std::nearbyint(static_cast<long double>(dt) * kMSecsPerDay);
    if (!(std::fabs(ms) < 9.2e18L))
        throw ScriptError(ExcClass::EInvalidOp, "Invalid Floating Point Operation");
    const auto total = static_cast<int64_t>(ms);
    if (total < 0) {
        // The fraction of a negative date counts forward from the start of its day.
        return {-(-total / kMSecsPerDay) + kDateDelta, -total % kMSecsPerDay};
    }
    return {total / kMSecsPerDay + kDateDelta, total % kMSecsPerDay};
}

struct LocalClock {
    std::tm tm{};
    int msec = 0;
};

LocalClock readLocalClock() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    LocalClock c;
    localtime_r(&ts.tv_sec, &c.tm);
    c.msec = static_cast<int>(ts.tv_nsec / 1000000);
    return c;
}

} // namespace

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month) {
    if (month < 1 || month > 12)
        throw ScriptError(ExcClass::ERangeError, "Out Of Range");
    return kMonthDays[isLeapYear(year) ? 1 : 0][month - 1];
}

double encodeDate(int year, int month, int day) {
    year &= 0xFFFF;
    month &= 0xFFFF;
    day &= 0xFFFF;
    const int* table = kMonthDays[isLeapYear(year) ? 1 : 0];
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > table[month - 1])
        throw ScriptError(ExcClass::EConvertError, "Invalid argument to date encode");
    for (int m = 1; m < month; ++m)
        day += table[m - 1];
    const int y = year - 1;
    return static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + day - kDateDelta);
}

double encodeTime(int hour, int minute, int second, int msec) {
    hour &= 0xFFFF;
    minute &= 0xFFFF;
    second &= 0xFFFF;
    msec &= 0xFFFF;
    if (hour >= 24 || minute >= 60 || second >= 60 || msec >= 1000)
        throw ScriptError(ExcClass::EConvertError, "Invalid argument to time encode");
    const int total = hour * 3600000 + minute * 60000 + second * 1000 + msec;
    // Divided in Extended and then stored, as Delphi does.
    return static_cast<double>(static_cast<long double>(total) / kMSecsPerDay);
}

void decodeDate(double dt, int& year, int& month, int& day) {
    constexpr int kD1 = 365;
    constexpr int kD4 = kD1 * 4 + 1;
    constexpr int kD100 = kD4 * 25 - 1;
    constexpr int kD400 = kD100 * 4 + 1;
    int64_t t = toTimeStamp(dt).date;
    if (t <= 0) {
        year = month = day = 0;
        return;
    }
    --t;
    int64_t y = 1;
    y += t / kD400 * 400;
    t %= kD400;
    int64_t i = t / kD100;
    int64_t d = t % kD100;
    if (i == 4) {
        --i;
        d += kD100;
    }
    y += i * 100;
    y += d / kD4 * 4;
    d %= kD4;
    i = d / kD1;
    d %= kD1;
    if (i == 4) {
        --i;
        d += kD1;
    }
    y += i;
    const int* table = kMonthDays[isLeapYear(static_cast<int>(y)) ? 1 : 0];
    int m = 1;
    while (m < 12 && d >= table[m - 1])
        d -= table[m++ - 1];
    year = static_cast<int>(y);
    month = m;
    day = static_cast<int>(d) + 1;
}

void decodeTime(double dt, int& hour, int& minute, int& second, int& msec) {
    const int64_t t = toTimeStamp(dt).time;
    const int64_t minutes = t / 60000;
    const int64_t rest = t % 60000;
    hour = static_cast<int>(minutes / 60);
    minute = static_cast<int>(minutes % 60);
    second = static_cast<int>(rest / 1000);
    msec = static_cast<int>(rest % 1000);
}

int dayOfWeek(double dt) {
    return static_cast<int>(toTimeStamp(dt).date % 7 + 1);
}

double now() {
    const LocalClock c = readLocalClock();
    const long double d = encodeDate(c.tm.tm_year + 1900, c.tm.tm_mon + 1, c.tm.tm_mday);
    // A leap second (tm_sec 60) is folded into the last second of the minute.
    const long double t = encodeTime(c.tm.tm_hour, c.tm.tm_min, c.tm.tm_sec > 59 ? 59 : c.tm.tm_sec, c.msec);
    return static_cast<double>(d + t);
}

double date() {
    const LocalClock c = readLocalClock();
    return encodeDate(c.tm.tm_year + 1900, c.tm.tm_mon + 1, c.tm.tm_mday);
}

double time() {
    const LocalClock c = readLocalClock();
    return encodeTime(c.tm.tm_hour, c.tm.tm_min, c.tm.tm_sec > 59 ? 59 : c.tm.tm_sec, c.msec);
}

uint32_t getTickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

} // namespace novrix::rt
