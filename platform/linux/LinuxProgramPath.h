#pragma once

#include <string>

#include "platform/ProgramPath.h"

namespace velmora {

// The target of /proc/self/exe.
class LinuxProgramPath : public ProgramPath {
  public:
    std::string ExecutablePath() const override;
};

// The program file a process's exe link (/proc/<pid>/exe) names; throws velmora::Error when it
// cannot be read.
std::string ProgramFileOf(const std::string& exeLink);

}  // namespace velmora
