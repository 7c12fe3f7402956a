#pragma once

#include <mutex>
#include <optional>

#include "platform/ProfileFile.h"
#include "sync/SettingsTable.h"

namespace velmora {

// The settings' text as the window's thread last kept it, for a save that has to come from
// another thread: the toolkit's, just before it ends the process. Safe on any thread.
class SettingsSnapshot {
  public:
    void Keep(const TSettings& settings);
    // The text kept last; nothing before the first Keep.
    std::optional<ProfileFile::KeyValues> Kept() const;

  private:
    mutable std::mutex mutex_;
    std::optional<ProfileFile::KeyValues> kept_;
};

}  // namespace velmora
