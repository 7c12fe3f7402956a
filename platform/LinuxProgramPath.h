#pragma once

#include "platform/ProgramPath.h"

namespace velmora {

// The target of /proc/self/exe.
class LinuxProgramPath : public ProgramPath {
  public:
    std::string ExecutablePath() const override;
};

}  // namespace velmora
