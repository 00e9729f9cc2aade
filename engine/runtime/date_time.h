#pragma once
// TDateTime arithmetic of SysUtils/DateUtils: a double counting days since 1899-12-30, the fraction being
// the time of day. Before that day the fraction still counts forward: -1.25 is 1899-12-29 06:00.
#include <cstdint>

namespace novrix::rt {

// Year 1..9999, month 1..12, day within the month, else EConvertError "Invalid argument to date encode".
// The parts are Words in Delphi, so they are taken modulo 65536 first.
double encodeDate(int year, int month, int day);
// Hour < 24, minute < 60, second < 60, millisecond < 1000, else "Invalid argument to time encode".
double encodeTime(int hour, int minute, int second, int msec);

// Decodes after rounding to the nearest millisecond. Dates before 0001-01-01 decode as 0/0/0.
void decodeDate(double dt, int& year, int& month, int& day);
void decodeTime(double dt, int& hour, int& minute, int& second, int& msec);

int dayOfWeek(double dt); // 1 = Sunday .. 7 = Saturday
bool isLeapYear(int year);
int daysInMonth(int year, int month); // ERangeError "Out Of Range" for a month outside 1..12

// The local wall clock; Date has no fraction, Time no whole days.
double now();
double date();
double time();

uint32_t getTickCount(); // milliseconds of a monotonic clock; wraps after 49.7 days

} // namespace novrix::rt
