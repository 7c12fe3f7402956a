#include "sync/SettingsSnapshot.h"

#include <utility>

#include "sync/Settings.h"

namespace velmora {

void SettingsSnapshot::Keep(const TSettings& settings) {
    ProfileFile::KeyValues values = SettingsValues(settings);
    const std::lock_guard<std::mutex> lock(mutex_);
    kept_ = std::move(values);
}

std::optional<ProfileFile::KeyValues> SettingsSnapshot::Kept() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return kept_;
}

}  // namespace velmora
