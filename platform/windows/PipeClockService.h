#pragma once

#include <optional>
#include <string>

#include "platform/ClockService.h"

namespace velmora {

// The service "Velmora" over its named pipe. Before a request is written, the pipe's server
// process (GetNamedPipeServerProcessId) must be the one the service manager names for the
// service: a program that took the pipe's name cannot pose as the service. The pipe is opened for
// identification only, so that the server cannot act as the user. The exchange is overlapped and
// ends within a minute, answered or not.
class PipeClockService : public ClockService {
  public:
    std::optional<std::string> Exchange(const std::string& request) override;
};

// The process id of the running service "Velmora"; nothing when it is not running or not there.
std::optional<unsigned long> ClockServiceProcessId();

}  // namespace velmora
