#pragma once

#include "platform/SystemClock.h"

namespace velmora {

// CLOCK_REALTIME read through localtime_r / gmtime_r and set with clock_settime.
class LinuxSystemClock : public SystemClock {
  public:
    TDateTime LocalNow() const override;
    TDateTime UtcNow() const override;
    ClockSetResult SetUtc(TDateTime utc) override;
};

}  // namespace velmora
