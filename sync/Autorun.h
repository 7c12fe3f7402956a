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

}  // namespace velmora
