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

// The rules above, kept once: a timer of a front end only says how its countdown restarts.
class CountdownTimer : public Timer {
  public:
    void SetEnabled(bool enabled) final {
        if (enabled != enabled_) {
            enabled_ = enabled;
            Restart();
        }
    }
    bool Enabled() const final { return enabled_; }
    void SetInterval(std::int32_t milliseconds) final {
        if (milliseconds != interval_) {
            interval_ = milliseconds;
            Restart();
        }
    }
    std::int32_t Interval() const final { return interval_; }

  protected:
    CountdownTimer(bool enabled, std::int32_t milliseconds)
        : enabled_(enabled), interval_(milliseconds) {}
    // Stops the countdown, and starts it again from the full interval when it Fires.
    virtual void Restart() = 0;
    bool Fires() const { return enabled_ && interval_ > 0; }

  private:
    bool enabled_;
    std::int32_t interval_;
};

}  // namespace velmora
