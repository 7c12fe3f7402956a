#include "platform/windows/WindowsClockChangeWatch.h"

namespace velmora {

namespace {

constexpr double kTicksPerSecond = 1e7;

}  // namespace

WindowsClockChangeWatch::WindowsClockChangeWatch(const ClockCalls& calls)
    : calls_(calls), utcMinusSteady_(UtcMinusSteady()) {}

// Steps only move it: both clocks run on, and sleep advances both. The system clock is read
// between two readings of the other.
std::int64_t WindowsClockChangeWatch::UtcMinusSteady() const {
    const auto before = static_cast<std::int64_t>(calls_.SteadyTicks());
    const auto utc = static_cast<std::int64_t>(calls_.UtcTicks());
    const auto after = static_cast<std::int64_t>(calls_.SteadyTicks());
    return utc - (before + (after - before) / 2);
}

double WindowsClockChangeWatch::TakeChangeSeconds() {
    const std::int64_t now = UtcMinusSteady();
    const std::int64_t change = now - utcMinusSteady_;
    utcMinusSteady_ = now;
    return static_cast<double>(change) / kTicksPerSecond;
}

}  // namespace velmora
