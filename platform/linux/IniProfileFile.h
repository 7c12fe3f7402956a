#pragma once

#include <optional>
#include <string>

#include "platform/ProfileFile.h"

namespace velmora {

// An INI file on disk; every batch of writes replaces the whole file atomically, once, and keeps
// its permissions.
// Until the file exists, reads come from `defaultsFile` (when given), and the first write starts
// from a copy of it.
class IniProfileFile : public ProfileFile {
  public:
    explicit IniProfileFile(std::string fileName, std::string defaultsFile = "");
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    void WriteStrings(const std::string& section, const KeyValues& values) override;
    std::string FileName() const override { return fileName_; }

  private:
    // The file's text, or the defaults' while the file is missing; nothing when it is unreadable.
    std::optional<std::string> ReadContent(bool& missing) const;

    std::string fileName_;
    std::string defaultsFile_;
};

}  // namespace velmora
