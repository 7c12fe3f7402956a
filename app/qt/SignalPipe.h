#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace velmora {

// Turns POSIX signals into a call on the event loop: the handler only writes one byte into a
// pipe; the loop reads it and calls `action`. One instance per process and signal set.
class SignalPipe : public QObject {
    Q_OBJECT

  public:
    SignalPipe(std::initializer_list<int> signalNumbers, std::function<void()> action,
               QObject* parent = nullptr);
    ~SignalPipe() override;
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

  private:
    void Drain();

    std::vector<int> signals_;
    std::function<void()> action_;
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace velmora
