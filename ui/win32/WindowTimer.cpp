#include "ui/win32/WindowTimer.h"

#include "ui/win32/Application.h"

namespace velmora {

WindowTimer::WindowTimer(bool enabled, std::int32_t milliseconds)
    : CountdownTimer(enabled, milliseconds) {}

WindowTimer::~WindowTimer() {
    if (running_) {
        KillTimer(window_, id_);
    }
}

void WindowTimer::Attach(HWND window, UINT_PTR id) {
    if (running_) {
        KillTimer(window_, id_);
        running_ = false;
    }
    window_ = window;
    id_ = id;
    Restart();
}

void WindowTimer::Restart() {
    if (running_) {
        KillTimer(window_, id_);
        running_ = false;
    }
    // SetTimer with the id it already has starts its countdown again.
    if (window_ != nullptr && Fires()) {
        running_ = SetTimer(window_, id_, static_cast<UINT>(Interval()), nullptr) != 0;
    }
}

void WindowTimer::Tick() {
    if (running_ && OnTimer) {
        TApplication::Guarded(OnTimer);
    }
}

}  // namespace velmora
