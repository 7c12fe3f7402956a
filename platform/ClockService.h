#pragma once

#include <optional>
#include <string>

namespace velmora {

// The machine's clock service, where there is one: it sets the clock by its own answer for users
// who may not, and takes only a fixed few requests (sync/ServiceProtocol).
class ClockService {
  public:
    virtual ~ClockService() = default;
    // Sends one request and returns the service's reply; nothing when there is no service running,
    // it does not answer within a bound, or whoever answers is not the service. Blocks while the
    // service works (a synchronization asks servers): runs on the worker.
    virtual std::optional<std::string> Exchange(const std::string& request) = 0;
};

}  // namespace velmora
