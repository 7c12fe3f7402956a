#pragma once

#include <string>

#include "platform/ProfileFile.h"
#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/Registry.h"

namespace velmora {

// The machine's settings: one REG_SZ value per settings key, holding what the settings file
// would, under HKEY_LOCAL_MACHINE\Software\Velmora and nowhere else (not HKCU, not a file a user
// could write). Their one section is the key itself. A key that is missing or cannot be opened,
// or a value of another type, cannot be read: the read throws velmora::Error saying why, rather
// than quietly giving defaults.
class MachineProfile : public ProfileFile {
  public:
    // `keyPath` under HKLM; tests pass a key of their own, and may make the writes through a
    // `registry` of theirs (the registry itself when null).
    explicit MachineProfile(std::wstring keyPath = kMachineSettingsKey,
                            Registry* registry = nullptr);
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    // Needs an administrator's token (or the system's): throws "Unable to write to ...". All or
    // nothing: when one value cannot be set, those set before it get their old texts back (or
    // go again where there were none); the key itself stays once made.
    void WriteStrings(const std::string& section, const KeyValues& values) override;
    std::string FileName() const override;
    // Whether the key is there at all (a first install writes it).
    bool Exists() const;

  private:
    Registry& Writer() { return registry_ != nullptr ? *registry_ : windows_; }

    std::wstring keyPath_;
    Registry* registry_;
    WindowsRegistry windows_;
};

}  // namespace velmora
