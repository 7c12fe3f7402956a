#pragma once

#include "platform/MachineOptionsStore.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/MachineProfile.h"

namespace velmora {

// The machine's settings where the clock service reads them (MachineProfile), there while the
// service is installed; an administrator's changes are written by the elevated copy, so that
// one under UAC meets one prompt and an elevated one none.
class WindowsMachineOptions : public MachineOptionsStore {
  public:
    explicit WindowsMachineOptions(ElevatedLauncher& launcher) : launcher_(launcher) {}
    bool Present() const override;
    const ProfileFile& Settings() const override { return profile_; }
    bool MayChange() const override;
    std::string Write(const ProfileFile::KeyValues& values) override;

  private:
    ElevatedLauncher& launcher_;
    MachineProfile profile_;
};

}  // namespace velmora
