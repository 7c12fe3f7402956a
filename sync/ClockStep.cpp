#include "sync/ClockStep.h"

#include "sync/ClockZone.h"

namespace velmora {

double OffsetToServer(const SystemClock& clock, const HeldTime& server) {
    return (HeldUtcAt(server, clock.SteadySeconds()) - clock.UtcNow()) * kSecondsPerDay;
}

StepOutcome StepToServer(SystemClock& clock, const HeldTime& server, AskUser ask,
                         bool stopService) {
    StepOutcome outcome;
    if (stopService) {
        outcome.result = clock.StopTimeService(ask);
        if (!outcome.result.accepted) {
            return outcome;
        }
    } else if (clock.ReadTimeService().ntp) {
        outcome.timeServiceOn = true;
        return outcome;
    }
    outcome.result = SetComputerClock(clock, OffsetToServer(clock, server), ask);
    return outcome;
}

}  // namespace velmora
