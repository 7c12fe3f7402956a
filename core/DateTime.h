#pragma once

#include <cstdint>

namespace velmora {

// A point in time as days since 1899-12-30 00:00, the time of day as the fraction. Every layer
// does its clock arithmetic in this unit; this header is the only place that knows the calendar.
using TDateTime = double;

inline constexpr double kHoursPerDay = 24.0;
inline constexpr double kMinutesPerDay = 1440.0;
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMillisecondsPerDay = 86400000.0;

// The NTP epoch, 1900-01-01 00:00 UTC.
inline constexpr TDateTime kNtpEpoch = 2.0;

struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool operator==(const DateTimeParts&) const = default;
};

bool IsLeapYear(int year);
// 28..31; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Throws velmora::Error("Invalid argument to date encode") for a date that does not exist or
// lies outside years 1..9999.
TDateTime EncodeDate(int year, int month, int day);
// Time of day as a fraction of a day; no range check beyond what the arithmetic gives.
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(const DateTimeParts& parts);

// Splits a value into calendar parts, rounded to the nearest millisecond.
DateTimeParts DecodeDateTime(TDateTime value);
int YearOf(TDateTime value);
// 0 = Sunday .. 6 = Saturday.
int DayOfWeek(TDateTime value);
// Midnight of the day the value falls on.
TDateTime DateOf(TDateTime value);
// Midnight of the `occurrence`-th (1..4, 5 = last) `weekday` (0 Sunday .. 6 Saturday) of `month`
// in `year`; 0 when there is no such day (a month outside 1..12, an occurrence outside 1..5).
TDateTime NthWeekdayOfMonth(int year, int month, int weekday, int occurrence);

// Whole milliseconds since 1899-12-30, rounded to the nearest.
std::int64_t ToMilliseconds(TDateTime value);
TDateTime FromMilliseconds(std::int64_t milliseconds);

// Unix time (seconds since 1970-01-01 UTC) and back; 1970-01-01 is the value 25569.
inline constexpr TDateTime kUnixEpoch = 25569.0;
TDateTime FromUnixSeconds(double seconds);
double ToUnixSeconds(TDateTime value);

}  // namespace velmora
