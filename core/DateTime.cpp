#include "core/DateTime.h"

#include <cmath>

#include "core/Error.h"

namespace velmora {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (the era-based algorithm: exact for every
// year, no tables, no loops).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kEpochOffsetDays = -25569;

constexpr std::int64_t kMsPerDay = 86400000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

TDateTime EncodeDate(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) {
        throw Error("Invalid argument to date encode");
    }
    const std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return static_cast<double>(days - kEpochOffsetDays);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    const std::int64_t ms =
        ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / kMillisecondsPerDay;
}

TDateTime EncodeDateTime(const DateTimeParts& p) {
    return EncodeDate(p.year, p.month, p.day) +
           EncodeTime(p.hour, p.minute, p.second, p.millisecond);
}

std::int64_t ToMilliseconds(TDateTime value) {
    return static_cast<std::int64_t>(std::llround(value * kMillisecondsPerDay));
}

TDateTime FromMilliseconds(std::int64_t milliseconds) {
    const std::int64_t days = FloorDiv(milliseconds, kMsPerDay);
    const std::int64_t rest = milliseconds - days * kMsPerDay;
    return static_cast<double>(days) + static_cast<double>(rest) / kMillisecondsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime value) {
    const std::int64_t total = ToMilliseconds(value);
    const std::int64_t days = FloorDiv(total, kMsPerDay);
    std::int64_t ms = total - days * kMsPerDay;
    const Civil c = CivilFromDays(days + kEpochOffsetDays);
    DateTimeParts p;
    p.year = static_cast<int>(c.year);
    p.month = static_cast<int>(c.month);
    p.day = static_cast<int>(c.day);
    p.hour = static_cast<int>(ms / 3600000);
    ms %= 3600000;
    p.minute = static_cast<int>(ms / 60000);
    ms %= 60000;
    p.second = static_cast<int>(ms / 1000);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

int YearOf(TDateTime value) {
    return DecodeDateTime(value).year;
}

int DayOfWeek(TDateTime value) {
    const std::int64_t days = FloorDiv(ToMilliseconds(value), kMsPerDay);
    // 1899-12-30 was a Saturday.
    const std::int64_t w = (days + 6) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

TDateTime NthWeekdayOfMonth(int year, int month, int weekday, int occurrence) {
    constexpr int kLast = 5;
    const int days = DaysInMonth(year, month);
    if (days == 0 || occurrence < 1 || occurrence > kLast) {
        return 0;
    }
    const TDateTime first = EncodeDate(year, month, 1);
    int day = 1 + ((weekday - DayOfWeek(first)) % 7 + 7) % 7;
    if (occurrence == kLast) {
        day += 7 * ((days - day) / 7);
    } else {
        day += 7 * (occurrence - 1);
    }
    return first + (day - 1);
}

TDateTime DateOf(TDateTime value) {
    return static_cast<double>(FloorDiv(ToMilliseconds(value), kMsPerDay));
}

TDateTime FromUnixSeconds(double seconds) {
    return kUnixEpoch + seconds / kSecondsPerDay;
}

double ToUnixSeconds(TDateTime value) {
    return (value - kUnixEpoch) * kSecondsPerDay;
}

}  // namespace velmora
