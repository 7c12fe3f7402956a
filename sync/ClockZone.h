#pragma once

#include <cstdint>

#include "core/DateTime.h"
#include "platform/SystemClock.h"
#include "platform/TimeZoneSource.h"

namespace velmora {

// The local clock, to the millisecond.
TDateTime Now(const SystemClock& clock);

// The value that turns a local date-time into GMT by addition, in days:
// (Bias + the daylight or standard bias in force at `now`) / 1440.
double UpdateZoneBias(const TimeZoneSource& zone, TDateTime now);

// The extra bias in minutes (DaylightBias, StandardBias or 0) in force at the local time `x`.
std::int32_t DaylightBiasAt(const TimeZoneSource& zone, TDateTime x);
std::int32_t DaylightBiasAt(const TimeZoneInformation& info, TDateTime x);

// Midnight of the `occurrence`-th (1..4, 5 = last) `weekday` (0 Sunday .. 6 Saturday) of
// `month` in `year`; 0 when no such day exists (a month outside 1..12).
TDateTime TransitionDay(int year, int month, int weekday, int occurrence);

// Steps the system clock by `offsetSeconds`, measured against the clock at the moment of the step
// (fractions of a second kept); a zero offset changes nothing and asks nobody.
ClockSetResult SetComputerClock(SystemClock& clock, double offsetSeconds,
                                AskUser ask = AskUser::Yes);

}  // namespace velmora
