#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora {

// One INI file, read key by key and written a batch of keys at a time, with the rules of the
// classic profile functions: section and key names compare case-insensitively, values are
// trimmed, lines that are not the keys being written are left as they were.
class ProfileFile {
  public:
    // The longest value a read returns; longer values are cut.
    static constexpr std::size_t kMaxValueLength = 2047;
    // Keys and their new values, in the order they are written.
    using KeyValues = std::vector<std::pair<std::string, std::string>>;

    virtual ~ProfileFile() = default;
    // The value of section/key, or `fallback` when the file, section or key is missing. A key that
    // is present with an empty value reads as "".
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const = 0;
    // Writes every key of `values` into `section` in order, each as a write of that one key would
    // (creating file, section or key as needed, replacing an existing value), and replaces the
    // file once, atomically, with all of them. Throws velmora::Error("Unable to write to <full
    // file name>") on failure, leaving the old file whole: none of the keys is written.
    virtual void WriteStrings(const std::string& section, const KeyValues& values) = 0;
    virtual std::string FileName() const = 0;

    // A batch of one key.
    void WriteString(const std::string& section, const std::string& key, const std::string& value) {
        WriteStrings(section, {{key, value}});
    }
};

}  // namespace velmora
