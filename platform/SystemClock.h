#pragma once

#include <string>

#include "core/DateTime.h"

namespace velmora {

// What the platform said to a request to set the clock.
struct ClockSetResult {
    bool accepted = false;
    std::string
        reason;  // the platform's own words when not accepted, e.g. "Operation not permitted"
};

// Whether setting the clock may stop to ask the user for the right (polkit's password prompt).
enum class AskUser { Yes, No };

// The system clock: read as local time or UTC to the millisecond, set in UTC.
class SystemClock {
  public:
    virtual ~SystemClock() = default;
    virtual TDateTime LocalNow() const = 0;
    virtual TDateTime UtcNow() const = 0;
    virtual ClockSetResult SetUtc(TDateTime utc, AskUser ask) = 0;
    // Seconds on a clock that no setting of the system clock moves and that goes on through
    // suspend; only differences of two readings mean anything.
    virtual double SteadySeconds() const = 0;
};

}  // namespace velmora
