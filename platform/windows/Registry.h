#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The two registry roots the program writes under.
enum class RegistryRoot { LocalMachine, CurrentUser };

// The registry calls the autorun store makes, behind an interface so that a test can stand in for
// a standard user, whom Windows refuses HKLM (Wine lets everybody write there). Key paths are
// relative to the root, names and strings UTF-8; the results are Windows error codes (0 success).
class Registry {
  public:
    virtual ~Registry() = default;
    // Creates the key if it is not there and checks that values can be set in it.
    virtual long CreateKey(RegistryRoot root, const std::string& path) = 0;
    // Opens the existing key for setting and deleting values.
    virtual long OpenKey(RegistryRoot root, const std::string& path) = 0;
    virtual long SetString(RegistryRoot root, const std::string& path, const std::string& name,
                           const std::string& value) = 0;
    virtual long SetBinary(RegistryRoot root, const std::string& path, const std::string& name,
                           const std::vector<unsigned char>& value) = 0;
    virtual long DeleteValue(RegistryRoot root, const std::string& path,
                             const std::string& name) = 0;
    // The value's data as stored (a string's with its terminating NUL); nothing when it is not
    // there or cannot be read.
    virtual std::optional<std::vector<unsigned char>> ReadValue(RegistryRoot root,
                                                                const std::string& path,
                                                                const std::string& name) const = 0;
};

// The registry itself: RegCreateKeyExW, RegOpenKeyExW, RegSetValueExW, RegDeleteValueW,
// RegQueryValueExW, asking for the access each needs (not KEY_ALL_ACCESS, which a standard user's
// HKCU key would grant but an administrator's policy may not).
class WindowsRegistry : public Registry {
  public:
    long CreateKey(RegistryRoot root, const std::string& path) override;
    long OpenKey(RegistryRoot root, const std::string& path) override;
    long SetString(RegistryRoot root, const std::string& path, const std::string& name,
                   const std::string& value) override;
    long SetBinary(RegistryRoot root, const std::string& path, const std::string& name,
                   const std::vector<unsigned char>& value) override;
    long DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) override;
    std::optional<std::vector<unsigned char>> ReadValue(RegistryRoot root, const std::string& path,
                                                        const std::string& name) const override;
};

// A REG_SZ value's data read back as UTF-8 text (UTF-16LE, a terminating NUL dropped).
std::string RegistryText(const std::vector<unsigned char>& data);

}  // namespace velmora
