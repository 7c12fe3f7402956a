#pragma once

#include <cstdint>

#include "core/DateTime.h"

namespace velmora {

// One yearly (wYear 0) or fixed-date (wYear set) transition, in the SYSTEMTIME field order.
// wMonth 0 means the zone has no daylight saving.
struct TransitionRule {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;  // 0 Sunday .. 6 Saturday
    std::uint16_t wDay = 0;        // occurrence 1..4, 5 = last; or the day of a fixed date
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;

    bool operator==(const TransitionRule&) const = default;
};

// GMT = local time + Bias (+ StandardBias or DaylightBias while in force), all in minutes.
struct TimeZoneInformation {
    std::int32_t Bias = 0;
    TransitionRule StandardDate;
    std::int32_t StandardBias = 0;
    TransitionRule DaylightDate;
    std::int32_t DaylightBias = 0;

    bool operator==(const TimeZoneInformation&) const = default;
};

// The local date and time at which `rule` takes effect in `year` (a fixed-date rule names its own
// year). Throws velmora::Error("Invalid argument to date encode") for a fixed date that does not
// exist.
TDateTime TransitionStart(const TransitionRule& rule, int year);

}  // namespace velmora
