#pragma once

#include <cstdint>

#include "platform/ClockChangeWatch.h"
#include "platform/windows/ClockCalls.h"

namespace velmora {

// The system clock (UTC ticks) against the steady clock of ClockCalls, which no setting moves and
// which goes on through sleep. Windows tells the front end that the clock was set with
// WM_TIMECHANGE. Where the steady clock counts whole milliseconds (GetTickCount64, as under Wine)
// a measurement is good to that millisecond.
class WindowsClockChangeWatch : public ClockChangeWatch {
  public:
    explicit WindowsClockChangeWatch(const ClockCalls& calls);

    double TakeChangeSeconds() override;

  private:
    std::int64_t UtcMinusSteady() const;

    const ClockCalls& calls_;
    // UTC minus steady at the last measurement, in 100 ns ticks.
    std::int64_t utcMinusSteady_;
};

}  // namespace velmora
