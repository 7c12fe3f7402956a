#pragma once

#include <cstdint>
#include <functional>

namespace velmora {

// A window timer. Rules every implementation keeps: an interval of 0 (or less) never fires,
// whatever the enabled state; setting the enabled state or interval that the timer already has
// leaves its running countdown alone; a change of either restarts the countdown.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetInterval(std::int32_t milliseconds) = 0;
    virtual std::int32_t Interval() const = 0;
    // Called on every tick.
    std::function<void()> OnTimer;
};

}  // namespace velmora
