#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace velmora {

// Tells when the system clock has been set, from a descriptor that turns readable then (the
// clock-change watch's timerfd), watched on the window's thread. `take` reads the descriptor and
// says whether the clock was set indeed. Without a descriptor (-1) it never tells.
class ClockSetNotifier : public QObject {
    Q_OBJECT

  public:
    ClockSetNotifier(int descriptor, std::function<bool()> take, QObject* parent = nullptr);

  signals:
    void ClockWasSet();

  private:
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<bool()> take_;
};

}  // namespace velmora
