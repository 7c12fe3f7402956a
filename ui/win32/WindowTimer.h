#pragma once

#include <windows.h>

#include <cstdint>

#include "sync/Timer.h"

namespace velmora {

// A window timer over SetTimer and KillTimer, keeping the rules of Timer: an interval of 0 or less
// never fires, and only a real change of the enabled state or the interval restarts the
// countdown. Windows delivers a late tick once, never queued up. The window it belongs to hands
// it its WM_TIMER (Tick); until the timer is attached to one, it only keeps its settings.
class WindowTimer : public CountdownTimer {
  public:
    WindowTimer(bool enabled, std::int32_t milliseconds);
    ~WindowTimer() override;
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    // The window whose WM_TIMER with `id` is this timer's.
    void Attach(HWND window, UINT_PTR id);
    UINT_PTR Id() const { return id_; }

    // The window's WM_TIMER for this timer: OnTimer, inside the general error handler.
    void Tick();
    // Whether a countdown is running (for tests).
    bool Running() const { return running_; }

  private:
    void Restart() override;

    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
    bool running_ = false;
};

}  // namespace velmora
