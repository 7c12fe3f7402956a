#pragma once

#include <optional>
#include <string>

#include "platform/IniProfile.h"

namespace velmora {

// An INI file on disk; every batch of writes replaces the whole file atomically, once, and keeps
// its permissions; a file keeps its line ends.
// Until the file exists, reads come from `defaultsFile` (when given), and the first write starts
// from a copy of it.
class IniProfileFile : public IniProfile {
  public:
    explicit IniProfileFile(std::string fileName, std::string defaultsFile = "");

  protected:
    std::optional<std::string> ReadFile(const std::string& name, bool& missing) const override;
    bool ReplaceFile(const std::string& content) override;
};

}  // namespace velmora
