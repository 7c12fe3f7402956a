#pragma once

#include <string>

#include "platform/ProgramPath.h"

namespace velmora {

// GetModuleFileNameW of the running executable, however long its path.
class WindowsProgramPath : public ProgramPath {
  public:
    // Throws velmora::Error when the system does not say.
    std::string ExecutablePath() const override;
};

}  // namespace velmora
