#pragma once

#include <cstdint>
#include <optional>

#include "platform/SystemClock.h"

namespace velmora {

// Asks systemd-timedated on the system bus to set the clock to `usecUtc` (microseconds since
// 1970); when `interactive`, polkit may ask the user for a password, and the call waits long
// enough for a person to answer. The answer is timedated's or polkit's own; nothing when there is
// no system bus or no timedated on it.
std::optional<ClockSetResult> TimedatedSetTime(std::int64_t usecUtc, bool interactive);

}  // namespace velmora
