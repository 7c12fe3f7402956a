#pragma once

#include "platform/SystemClock.h"

namespace velmora {

// CLOCK_REALTIME read through localtime_r / gmtime_r. Set with clock_settime when the process
// holds CAP_SYS_TIME, otherwise through systemd-timedated on the system bus.
class LinuxSystemClock : public SystemClock {
  public:
    TDateTime LocalNow() const override;
    TDateTime UtcNow() const override;
    ClockSetResult SetUtc(TDateTime utc, AskUser ask) override;
    // CLOCK_BOOTTIME.
    double SteadySeconds() const override;
};

}  // namespace velmora
