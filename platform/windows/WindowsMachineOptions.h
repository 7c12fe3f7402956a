#pragma once

#include <future>

#include "platform/MachineOptionsStore.h"
#include "platform/windows/ElevatedLauncher.h"
#include "platform/windows/MachineProfile.h"

namespace velmora {

// The machine's settings where the clock service reads them (MachineProfile), there while the
// service is installed; an administrator's changes are written by the elevated copy, so that
// one under UAC meets one prompt and an elevated one none.
class WindowsMachineOptions : public MachineOptionsStore {
  public:
    explicit WindowsMachineOptions(ElevatedLauncher& launcher);
    bool Present() const override;
    const ProfileFile& Settings() const override { return profile_; }
    bool MayChange() const override;
    std::string Write(const ProfileFile::KeyValues& values) override;

  private:
    ElevatedLauncher& launcher_;
    MachineProfile profile_;
    // Whether the service is installed, asked on a thread of its own as the program starts: the
    // service manager's first answer (under Wine it loads the RPC runtime too) is a wait the
    // window's making need not share. Later questions are asked anew.
    mutable std::future<bool> firstAnswer_;
};

}  // namespace velmora
