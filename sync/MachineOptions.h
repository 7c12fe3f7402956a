#pragma once

#include <optional>
#include <string>

#include "platform/MachineOptionsStore.h"
#include "sync/OptionsDialog.h"
#include "sync/SettingsTable.h"

namespace velmora {

// On a machine that keeps settings of its own, the server list, "synchronize every" and the period
// are the machine's: shown from there, changed there by an administrator only, at OK.

inline constexpr const char* kMachineOwnedReason =
    "These settings are the computer's: an administrator can change them.";

// The machine's settings when it keeps its own (null or absent store: none). Throws
// velmora::Error when they cannot be read.
std::optional<TSettings> ReadMachineOptions(const MachineOptionsStore* store);

// `shown` with the machine's fields from `machine`; read-only, with why, unless `mayChange`.
void ShowMachineOptions(const TSettings& machine, bool mayChange, OptionsValues& shown);

// The machine's keys `confirmed` changes from `machine`, with their new texts.
ProfileFile::KeyValues MachineChanges(const TSettings& machine, const OptionsValues& confirmed);

// `values` when each is one of the machine's fields in the dialog and reads back as itself by the
// settings' rules; nothing otherwise. What the elevated copy writes, it writes only after this.
std::optional<ProfileFile::KeyValues> CheckedMachineValues(const ProfileFile::KeyValues& values);

// While the machine keeps settings, the program works by its server list, "synchronize every" and
// period too: the timer runs on the machine's period and "Get time" asks the machine's list. The
// user's own values for them stay what the user's file held, whatever the program saves, so that
// they are there again on a machine that keeps none.
class MachineHeldSettings {
  public:
    // Puts the machine's values over `settings`, whose fields hold the user's own, when it keeps
    // settings. Throws velmora::Error when they cannot be read: `settings` keeps the user's.
    void Hold(const MachineOptionsStore* store, TSettings& settings);
    // `settings` with the user's own values in the machine's fields: what the user's file holds.
    TSettings UsersOwn(const TSettings& settings) const;

  private:
    // What the machine's values covered; nothing while none are held.
    std::optional<TSettings> usersOwn_;
};

}  // namespace velmora
