#pragma once

#include <optional>
#include <string>

#include "platform/AutostartStore.h"
#include "platform/windows/Registry.h"

namespace velmora {

// The Run keys a user's logon reads, as one store: the machine-wide one (HKLM) when this process
// may write it (an administrator registers the program for every user), else the user's own
// (HKCU). The command is written in quotes, so that a path with a blank ("C:\Program Files\...")
// cannot start C:\Program.exe. Removal clears every Run value this user may; an administrator's
// value that stays is switched off for this user in their StartupApproved\Run, as Task Manager
// does.
class RegistryAutostartStore : public AutostartStore {
  public:
    static constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kApprovedKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

    // Other key paths are for tests, which must not meet each other's values.
    explicit RegistryAutostartStore(Registry& registry, std::string runKey = kRunKey,
                                    std::string approvedKey = kApprovedKey);

    // Picks HKLM when its Run key can be made and written, else HKCU's; false when neither.
    bool CreateStore() override;
    // Picks HKLM when its Run key can be written, else the user's own (theirs even before it
    // exists).
    bool OpenStore() override;
    // Writes the quoted command into the picked key and switches it on for this user; an entry of
    // the user's own beside a machine-wide one would start a second copy, so it goes, and a
    // machine-wide one this user switched off is switched on again in its place.
    bool SetValue(const std::string& name, const std::string& command) override;
    void DeleteValue(const std::string& name) override;
    // A Run value of the user's own, or the machine's, that StartupApproved does not switch off.
    bool IsRegistered(const std::string& name) const override;
    // The Run key's path, as messages name it.
    std::string StorePath() const override { return runKey_; }

  private:
    bool Enabled(RegistryRoot root, const std::string& name) const;
    bool HasRunValue(RegistryRoot root, const std::string& name) const;

    Registry& registry_;
    std::string runKey_;
    std::string approvedKey_;
    std::optional<RegistryRoot> picked_;
};

// The Run value's data for `program`: the path in double quotes.
std::string QuotedCommand(const std::string& program);

}  // namespace velmora
