#pragma once

#include <string>

namespace velmora {

// One INI file read and written key by key, with the rules of the classic profile functions:
// section and key names compare case-insensitively, values are trimmed, lines that are not the
// key being written are left as they were.
class ProfileFile {
  public:
    // The longest value a read returns; longer values are cut.
    static constexpr std::size_t kMaxValueLength = 2047;

    virtual ~ProfileFile() = default;
    // The value of section/key, or `fallback` when the file, section or key is missing. A key that
    // is present with an empty value reads as "".
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const = 0;
    // Creates file, section or key as needed and replaces an existing value; the file is replaced
    // atomically. Throws velmora::Error("Unable to write to <full file name>") on failure, leaving
    // the old file whole.
    virtual void WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    virtual std::string FileName() const = 0;
};

}  // namespace velmora
