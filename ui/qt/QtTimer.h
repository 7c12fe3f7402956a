#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

#include "sync/Timer.h"

namespace velmora {

// A window timer over QTimer. It keeps the rules of Timer: an interval of 0 or less never fires
// (a QTimer would fire on every pass of the event loop), and only a real change of the enabled
// state or the interval restarts the countdown.
class QtTimer : public QObject, public CountdownTimer {
    Q_OBJECT

  public:
    QtTimer(bool enabled, std::int32_t milliseconds, QObject* parent = nullptr);

    // Whether a countdown is running (for tests).
    bool Running() const { return timer_.isActive(); }

  private:
    void Restart() override;
    void Tick();

    QTimer timer_;
};

}  // namespace velmora
