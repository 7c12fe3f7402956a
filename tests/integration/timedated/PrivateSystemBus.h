#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// tests/fixtures/private-system-bus for the life of this object: a dbus-daemon of the test's own
// with the polkitd mock on it and a timedated (the mock, Debian's own with its clock calls answered
// by the clock shim, or none), and DBUS_SYSTEM_BUS_ADDRESS pointing at it until the end. Throws
// std::runtime_error when it does not come up, or when this process could set the real clock.
class PrivateSystemBus {
  public:
    enum Services { kWithTimedated, kWithRealTimedated, kWithoutTimedated };
    explicit PrivateSystemBus(Services services = kWithTimedated);
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    // The changes of the clock the real timedated made, as the clock shim answered them, of one
    // kind ("set" for the system clock, "rtc" for the hardware clock) or, with none named, all:
    // to `value` seconds since 1970, when the real clock said `at`.
    struct ClockCall {
        double value = 0;
        double at = 0;
    };
    std::vector<ClockCall> ClockCalls(const std::string& kind = "") const;
    // Whether the real timedated was sent a call of `method` at all, from its log.
    bool TimedatedHeard(const std::string& method) const;
    // Whether polkit was asked to let the user answer, for each question it got, in order.
    std::vector<bool> PolkitQuestionsInteractive() const;

    // Whether an NTP service keeps the clock, as the timedated mock sees it.
    void SetNtp(bool active) const;
    // Whether polkit grants the right to set the time.
    void SetAuthorized(bool authorized) const;
    // How long polkit takes to answer, as a person typing a password would.
    void SetAuthorizationDelay(double seconds) const;
    // Whether polkit leaves its questions unanswered, as a prompt nobody attends to.
    void SetPromptUnattended(bool unattended) const;

  private:
    void Stop();

    std::string dir_;
    std::optional<std::string> previousAddress_;
    pid_t pid_ = -1;
};

}  // namespace velmora
