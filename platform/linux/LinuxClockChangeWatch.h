#pragma once

#include <cstdint>

#include "platform/ClockChangeWatch.h"

namespace velmora {

// CLOCK_REALTIME against CLOCK_BOOTTIME, and a timerfd that the kernel cancels whenever
// CLOCK_REALTIME is set (TFD_TIMER_CANCEL_ON_SET), for the front end to watch.
class LinuxClockChangeWatch : public ClockChangeWatch {
  public:
    LinuxClockChangeWatch();
    ~LinuxClockChangeWatch() override;
    LinuxClockChangeWatch(const LinuxClockChangeWatch&) = delete;
    LinuxClockChangeWatch& operator=(const LinuxClockChangeWatch&) = delete;

    double TakeChangeSeconds() override;

    // Turns readable when the clock has been set; -1 when the system has no such timer.
    int Descriptor() const { return fd_; }
    // Once the descriptor is readable: whether the clock was set since the last call. Never
    // blocks; the descriptor then waits for the next setting.
    bool TakeSetting();

  private:
    bool Arm();

    int fd_ = -1;
    // CLOCK_REALTIME minus CLOCK_BOOTTIME at the last measurement, in nanoseconds.
    std::int64_t realMinusBoot_ = 0;
};

}  // namespace velmora
