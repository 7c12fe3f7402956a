#pragma once

#include "core/DateTime.h"

namespace velmora {

// A server's UTC time held against a clock that no step of the system clock moves: a step or a
// daylight-saving change between the answer and its use does not shift it.
struct HeldTime {
    TDateTime Utc = 0;
    double Steady = 0;  // SystemClock::SteadySeconds when Utc was the server's time
};

// The held time carried forward to the steady reading `steadyNow`.
inline TDateTime HeldUtcAt(const HeldTime& held, double steadyNow) {
    return held.Utc + (steadyNow - held.Steady) / kSecondsPerDay;
}

}  // namespace velmora
