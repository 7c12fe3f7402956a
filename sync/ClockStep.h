#pragma once

#include <cstdint>

#include "platform/SystemClock.h"
#include "sync/HeldTime.h"

namespace velmora {

// The clock is read to the millisecond: a smaller step is never made, since it could only be the
// rounding of the readings (and would still ask timedated, perhaps for a password).
inline constexpr double kSmallestStepSeconds = 0.001;

// How far an answer's time may be from the server's: half the round trip, and never less than
// the smallest step.
double AnswerUncertainty(double delaySeconds);

// Whether a step of `offsetSeconds` keeps within `limitSeconds` (0: no limit); a step at the limit
// is within it, to the millisecond the offset is measured to.
bool WithinStepLimit(double offsetSeconds, std::int32_t limitSeconds);

// Seconds to add to the clock for it to show the held server time now.
double OffsetToServer(const SystemClock& clock, const HeldTime& server);

// What became of one attempt to bring the clock to the server's time.
struct StepOutcome {
    // An NTP service keeps the clock, and nothing was changed.
    bool timeServiceOn = false;
    ClockSetResult result;
    // How far the clock was to be moved.
    double offsetSeconds = 0;
};

// Brings the clock to the held server time, the offset measured right before the step. While an
// NTP service keeps the clock nothing is set, unless `stopService`: the service is turned off
// first (the user agreed to it). May wait for polkit: runs on the worker.
StepOutcome StepToServer(SystemClock& clock, const HeldTime& server, AskUser ask, bool stopService);

}  // namespace velmora
