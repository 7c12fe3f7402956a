#pragma once

#include <string>

#include "platform/ProfileFile.h"

namespace velmora {

// An INI file on disk; every write replaces the whole file atomically and keeps its permissions.
class IniProfileFile : public ProfileFile {
  public:
    explicit IniProfileFile(std::string fileName);
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string FileName() const override { return fileName_; }

  private:
    std::string fileName_;
};

}  // namespace velmora
