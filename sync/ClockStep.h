#pragma once

#include "platform/SystemClock.h"
#include "sync/HeldTime.h"

namespace velmora {

// Seconds to add to the clock for it to show the held server time now.
double OffsetToServer(const SystemClock& clock, const HeldTime& server);

// What became of one attempt to bring the clock to the server's time.
struct StepOutcome {
    // An NTP service keeps the clock, and nothing was changed.
    bool timeServiceOn = false;
    ClockSetResult result;
};

// Brings the clock to the held server time, the offset measured right before the step. While an
// NTP service keeps the clock nothing is set, unless `stopService`: the service is turned off
// first (the user agreed to it). May wait for polkit: runs on the worker.
StepOutcome StepToServer(SystemClock& clock, const HeldTime& server, AskUser ask, bool stopService);

}  // namespace velmora
