#pragma once

#include <optional>
#include <string>

#include "platform/ProfileFile.h"

namespace velmora {

// An INI file with the profile functions' rules (platform/IniText), read whole and replaced whole
// by each batch of writes; how a file is read and replaced is the platform's. Until the file
// exists, reads come from `defaultsFile` (when given), and the first write starts from a copy of
// it. `crlfLines` writes every line with "\r\n", as Windows programs do; otherwise a file keeps
// the line ends it has.
class IniProfile : public ProfileFile {
  public:
    IniProfile(std::string fileName, std::string defaultsFile, bool crlfLines);
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    void WriteStrings(const std::string& section, const KeyValues& values) override;
    std::string FileName() const override { return fileName_; }

  protected:
    // The whole of the file `name`; nothing when it cannot be read, with `missing` set when it is
    // not there at all.
    virtual std::optional<std::string> ReadFile(const std::string& name, bool& missing) const = 0;
    // Replaces the file with `content` in one step; false when the system refuses.
    virtual bool ReplaceFile(const std::string& content) = 0;

  private:
    // The file's text, or the defaults' while the file is missing; nothing when it is unreadable.
    std::optional<std::string> ReadContent(bool& missing) const;

    std::string fileName_;
    std::string defaultsFile_;
    bool crlfLines_;
};

}  // namespace velmora
