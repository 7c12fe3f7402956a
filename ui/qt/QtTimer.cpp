#include "ui/qt/QtTimer.h"

#include "ui/qt/Application.h"

namespace velmora {

QtTimer::QtTimer(bool enabled, std::int32_t milliseconds, QObject* parent)
    : QObject(parent), CountdownTimer(enabled, milliseconds) {
    // A late tick is delivered once, never queued up; coarse timers are fine for this purpose.
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &QtTimer::Tick);
    Restart();
}

void QtTimer::Restart() {
    timer_.stop();
    if (Fires()) {
        timer_.start(Interval());
    }
}

void QtTimer::Tick() {
    if (OnTimer) {
        // Inside the general error handler, so an error never unwinds through QTimer.
        TApplication::Guarded(OnTimer);
    }
}

}  // namespace velmora
