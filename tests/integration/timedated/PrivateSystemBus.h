#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// tests/fixtures/private-system-bus for the life of this object: a dbus-daemon of the test's own
// with the polkitd and (unless told otherwise) timedated mocks on it, and DBUS_SYSTEM_BUS_ADDRESS
// pointing at it until the end. Throws std::runtime_error when it does not come up.
class PrivateSystemBus {
  public:
    enum Services { kWithTimedated, kWithoutTimedated };
    explicit PrivateSystemBus(Services services = kWithTimedated);
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    struct SetTimeCall {
        std::int64_t usecUtc = 0;
        bool relative = false;
        bool interactive = false;
    };
    // Every SetTime timedated received, in order, from its log.
    std::vector<SetTimeCall> SetTimeCalls() const;

    // Whether an NTP service keeps the clock, as timedated sees it.
    void SetNtp(bool active) const;
    // Whether polkit grants the right to set the time.
    void SetAuthorized(bool authorized) const;
    // How long polkit takes to answer, as a person typing a password would.
    void SetAuthorizationDelay(double seconds) const;

  private:
    void Stop();

    std::string dir_;
    std::optional<std::string> previousAddress_;
    pid_t pid_ = -1;
};

}  // namespace velmora
