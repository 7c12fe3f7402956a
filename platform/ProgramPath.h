#pragma once

#include <string>

namespace velmora {

// Where the running executable is.
class ProgramPath {
  public:
    virtual ~ProgramPath() = default;
    // Full path of the running executable (on Linux the target of /proc/self/exe).
    virtual std::string ExecutablePath() const = 0;
};

}  // namespace velmora
