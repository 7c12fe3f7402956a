#pragma once

#include <cstdint>
#include <optional>

#include "platform/SystemClock.h"

namespace velmora {

// systemd-timedated on the system bus. Each call waits for timedated's answer (polkit may ask the
// user for a password first; timedated gives that 25 s); the answers are timedated's or polkit's
// own words. Nothing when there is no system bus or no timedated on it.

// SetTime: `usec` microseconds since 1970, or added to the clock when `relative`.
std::optional<ClockSetResult> TimedatedSetTime(std::int64_t usec, bool relative, bool interactive);
// SetNTP: turns the NTP service on or off.
std::optional<ClockSetResult> TimedatedSetNtp(bool on, bool interactive);
// The NTP and CanNTP properties.
std::optional<TimeService> TimedatedTimeService();

}  // namespace velmora
