#include "platform/linux/LinuxClockChangeWatch.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace velmora {
namespace {

std::int64_t Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Steps only move it: both clocks run at the same rate, slewed alike, and a suspend advances
// both by the time slept. The real clock is read between two readings of the other.
std::int64_t RealMinusBoot() {
    const std::int64_t before = Nanoseconds(CLOCK_BOOTTIME);
    const std::int64_t real = Nanoseconds(CLOCK_REALTIME);
    const std::int64_t after = Nanoseconds(CLOCK_BOOTTIME);
    return real - (before + (after - before) / 2);
}

}  // namespace

LinuxClockChangeWatch::LinuxClockChangeWatch()
    : fd_(timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)),
      realMinusBoot_(RealMinusBoot()) {
    if (fd_ >= 0 && !Arm()) {
        close(fd_);
        fd_ = -1;
    }
    if (fd_ < 0) {
        std::fprintf(stderr, "velmora: settings of the clock by other programs go unnoticed: %s\n",
                     std::strerror(errno));
    }
}

LinuxClockChangeWatch::~LinuxClockChangeWatch() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

// A timer that never expires, cancelled by every setting of the clock.
bool LinuxClockChangeWatch::Arm() {
    itimerspec never{};
    never.it_value.tv_sec = std::numeric_limits<time_t>::max();
    return timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) == 0;
}

bool LinuxClockChangeWatch::TakeSetting() {
    std::uint64_t expirations = 0;
    if (fd_ < 0 || read(fd_, &expirations, sizeof expirations) >= 0 || errno != ECANCELED) {
        return false;
    }
    Arm();
    return true;
}

double LinuxClockChangeWatch::TakeChangeSeconds() {
    const std::int64_t now = RealMinusBoot();
    const std::int64_t change = now - realMinusBoot_;
    realMinusBoot_ = now;
    return static_cast<double>(change) / 1e9;
}

}  // namespace velmora
