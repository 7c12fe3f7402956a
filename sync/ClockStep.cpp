#include "sync/ClockStep.h"

#include <algorithm>
#include <cmath>

#include "sync/ClockZone.h"

namespace velmora {

double AnswerUncertainty(double delaySeconds) {
    return std::max(delaySeconds / 2, kSmallestStepSeconds);
}

bool WithinStepLimit(double offsetSeconds, std::int32_t limitSeconds) {
    return limitSeconds == 0 || std::fabs(offsetSeconds) <= limitSeconds + kSmallestStepSeconds;
}

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
    outcome.offsetSeconds = OffsetToServer(clock, server);
    outcome.result = SetComputerClock(clock, outcome.offsetSeconds, ask);
    return outcome;
}

}  // namespace velmora
