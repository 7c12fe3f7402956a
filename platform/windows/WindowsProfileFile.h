#pragma once

#include <optional>
#include <string>

#include "platform/IniProfile.h"

namespace velmora {

// An INI file on disk, UTF-8 names and contents, written with "\r\n" line ends (files with "\n"
// alone are read too); every batch of writes replaces the whole file in one rename. The folder of
// a file of the user's own (%APPDATA%\Velmora) is made on the first write.
class WindowsProfileFile : public IniProfile {
  public:
    explicit WindowsProfileFile(std::string fileName, std::string defaultsFile = "");

  protected:
    std::optional<std::string> ReadFile(const std::string& name, bool& missing) const override;
    bool ReplaceFile(const std::string& content) override;
};

}  // namespace velmora
