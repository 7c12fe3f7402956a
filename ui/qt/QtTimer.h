#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

#include "sync/Timer.h"

namespace velmora {

// A window timer over QTimer. It keeps the rules of Timer: an interval of 0 or less never fires
// (a QTimer would fire on every pass of the event loop), and only a real change of the enabled
// state or the interval restarts the countdown.
class QtTimer : public QObject, public Timer {
    Q_OBJECT

  public:
    QtTimer(bool enabled, std::int32_t milliseconds, QObject* parent = nullptr);

    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    void SetInterval(std::int32_t milliseconds) override;
    std::int32_t Interval() const override { return interval_; }

    // Whether a countdown is running (for tests).
    bool Running() const { return timer_.isActive(); }

  private:
    void Restart();
    void Tick();

    QTimer timer_;
    bool enabled_;
    std::int32_t interval_;
};

}  // namespace velmora
