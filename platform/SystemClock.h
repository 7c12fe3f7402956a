#pragma once

#include <string>

#include "core/DateTime.h"

namespace velmora {

// What the platform said to a request to change the clock or its time service.
struct ClockSetResult {
    bool accepted = false;
    // The platform's own words when not accepted, e.g. "Operation not permitted".
    std::string reason;
};

// Whether setting the clock may stop to ask the user for the right (polkit's password prompt).
enum class AskUser { Yes, No };

// The machine's own time service, as systemd-timedated reports it.
struct TimeService {
    bool canNtp = false;  // an NTP service is installed (timedated's CanNTP)
    bool ntp = false;     // it keeps the clock now (timedated's NTP)
};

// The system clock: read as local time or UTC to the millisecond, stepped by an offset. The calls
// that change something may wait for the user for a long while: they are made away from the
// window's thread, one at a time.
class SystemClock {
  public:
    virtual ~SystemClock() = default;
    virtual TDateTime LocalNow() const = 0;
    virtual TDateTime UtcNow() const = 0;
    // Seconds on a clock that no setting of the system clock moves and that goes on through
    // suspend; only differences of two readings mean anything.
    virtual double SteadySeconds() const = 0;
    // Moves the clock by `offsetSeconds`, added to its reading at the moment it is stepped, so that
    // a password prompt that stays open does not make the time set stale. An offset that is zero
    // to the microsecond changes nothing and asks nobody.
    virtual ClockSetResult StepBy(double offsetSeconds, AskUser ask) = 0;
    // Whether an NTP service keeps the clock; both false when there is nobody to ask.
    virtual TimeService ReadTimeService() = 0;
    // Turns the machine's NTP service off, so that the clock stays where it is set.
    virtual ClockSetResult StopTimeService(AskUser ask) = 0;
};

}  // namespace velmora
