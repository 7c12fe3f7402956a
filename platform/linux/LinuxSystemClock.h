#pragma once

#include "platform/SystemClock.h"

namespace velmora {

// CLOCK_REALTIME read through localtime_r / gmtime_r. Stepped with clock_adjtime when the process
// holds CAP_SYS_TIME, otherwise through systemd-timedated on the system bus.
class LinuxSystemClock : public SystemClock {
  public:
    TDateTime LocalNow() const override;
    TDateTime UtcNow() const override;
    // CLOCK_BOOTTIME.
    double SteadySeconds() const override;
    ClockSetResult StepBy(double offsetSeconds, AskUser ask) override;
    TimeService ReadTimeService() override;
    ClockSetResult StopTimeService(AskUser ask) override;
};

}  // namespace velmora
