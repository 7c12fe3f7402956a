#pragma once

#include <string>

#include "platform/AutostartStore.h"

namespace velmora {

// Registers `command` under `valueName` in the machine-wide start-up store, overwriting an entry
// of that name, or (remove) deletes the entry. Throws velmora::Error "Failed to create key <store
// path>" when the store cannot be created and "Failed to set data for '<value name>'" when the
// entry cannot be written; a store that cannot be opened, or a missing entry on removal, is
// passed over in silence.
void SetAutorun(AutostartStore& store, const std::string& valueName, const std::string& command,
                bool remove);

}  // namespace velmora
