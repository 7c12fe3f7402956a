#pragma once

#include <string>

#include "platform/AutostartStore.h"

namespace velmora {

// Registers `command` under `valueName` in the start-up store, overwriting an entry of that name,
// or (remove) deletes the entry. Throws velmora::Error "Failed to create key <store path>" when
// no store can be created and written, and "Failed to set data for '<value name>'" when the entry
// cannot be written; removal from a store that cannot be opened, or of a missing entry, is
// passed over in silence.
void SetAutorun(AutostartStore& store, const std::string& valueName, const std::string& command,
                bool remove);

// SetAutorun that registers (`wanted`) or removes only when the store says otherwise for this
// user now: an entry that already starts the program, the user's or an administrator's, is not
// written again, and one that does not start it is neither removed nor hidden.
void UpdateAutorun(AutostartStore& store, const std::string& valueName, const std::string& command,
                   bool wanted);

}  // namespace velmora
