#include "sync/MachineOptions.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string_view>

#include "sync/IntervalRule.h"
#include "sync/Settings.h"

namespace velmora {
namespace {

constexpr std::array<std::string_view, 4> kMachineKeys = {"GlobalTimeSrvList", "UpdateClock",
                                                          "UpdateClockInterval", "UpdateClockHour"};

bool IsMachineKey(const std::string& key) {
    return std::find(kMachineKeys.begin(), kMachineKeys.end(), key) != kMachineKeys.end();
}

// The values to check, as a settings file that holds them and nothing else.
class ValuesOnly : public ProfileFile {
  public:
    explicit ValuesOnly(const KeyValues& values) : values_(values) {}
    std::string ReadString(const std::string&, const std::string& key,
                           const std::string& fallback) const override {
        for (const auto& [k, v] : values_) {
            if (k == key) {
                return v.substr(0, kMaxValueLength);
            }
        }
        return fallback;
    }
    void WriteStrings(const std::string&, const KeyValues&) override {}
    std::string FileName() const override { return "the machine's settings"; }

  private:
    const KeyValues& values_;
};

void PutMachineFields(const TSettings& from, TSettings& to) {
    to.GlobalTimeSrvList = from.GlobalTimeSrvList;
    to.UpdateClock = from.UpdateClock;
    to.UpdateClockInterval = from.UpdateClockInterval;
    to.UpdateClockHour = from.UpdateClockHour;
}

}  // namespace

std::optional<TSettings> ReadMachineOptions(const MachineOptionsStore* store) {
    if (store == nullptr || !store->Present()) {
        return std::nullopt;
    }
    TSettings settings;
    // Out-of-range values read as their defaults, as the service reads them; the service tells.
    std::ostringstream told;
    ReadSettings(settings, store->Settings(), told);
    return settings;
}

void ShowMachineOptions(const TSettings& machine, bool mayChange, OptionsValues& shown) {
    shown.ServerList = machine.GlobalTimeSrvList;
    shown.PeriodicSync = machine.UpdateClock;
    shown.IntervalInHours = machine.UpdateClockHour;
    shown.IntervalText = IntervalText(machine.UpdateClockInterval, machine.UpdateClockHour);
    shown.MachineOwnedReason = mayChange ? "" : kMachineOwnedReason;
}

ProfileFile::KeyValues MachineChanges(const TSettings& machine, const OptionsValues& confirmed) {
    TSettings changed = machine;
    changed.GlobalTimeSrvList = confirmed.ServerList;
    changed.UpdateClock = confirmed.PeriodicSync;
    const std::optional<std::int32_t> ms =
        IntervalMilliseconds(confirmed.IntervalText, confirmed.IntervalInHours);
    // The dialog checks the interval only while synchronization is on; the old one stays else.
    if (confirmed.PeriodicSync && ms) {
        changed.UpdateClockInterval = *ms;
        changed.UpdateClockHour = confirmed.IntervalInHours;
    }
    const ProfileFile::KeyValues before = SettingsValues(machine);
    ProfileFile::KeyValues changes;
    for (const auto& value : SettingsValues(changed)) {
        if (IsMachineKey(value.first) &&
            std::find(before.begin(), before.end(), value) == before.end()) {
            changes.push_back(value);
        }
    }
    return changes;
}

std::optional<ProfileFile::KeyValues> CheckedMachineValues(const ProfileFile::KeyValues& values) {
    TSettings read;
    std::ostringstream told;
    ReadSettings(read, ValuesOnly(values), told);
    const ProfileFile::KeyValues readBack = SettingsValues(read);
    for (const auto& value : values) {
        if (!IsMachineKey(value.first) ||
            std::find(readBack.begin(), readBack.end(), value) == readBack.end()) {
            return std::nullopt;
        }
    }
    return values;
}

void MachineHeldSettings::Hold(const MachineOptionsStore* store, TSettings& settings) {
    usersOwn_.reset();
    const std::optional<TSettings> machine = ReadMachineOptions(store);
    if (!machine) {
        return;
    }
    usersOwn_ = settings;
    PutMachineFields(*machine, settings);
}

TSettings MachineHeldSettings::UsersOwn(const TSettings& settings) const {
    TSettings own = settings;
    if (usersOwn_) {
        PutMachineFields(*usersOwn_, own);
    }
    return own;
}

}  // namespace velmora
