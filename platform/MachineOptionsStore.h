#pragma once

#include <string>

#include "platform/ProfileFile.h"

namespace velmora {

// Where the machine keeps the settings its clock service reads, and whether this user may change
// them. Only a platform with such a service has one.
class MachineOptionsStore {
  public:
    virtual ~MachineOptionsStore() = default;
    // Whether the machine keeps settings of its own now (its clock service is installed).
    virtual bool Present() const = 0;
    // The machine's settings, key by key; a read that fails throws velmora::Error saying why.
    virtual const ProfileFile& Settings() const = 0;
    // Whether this user may change them: an administrator, elevated or not yet.
    virtual bool MayChange() const = 0;
    // Writes `values` with an administrator's rights, asking the user's approval where the token
    // needs it (one prompt). "" when written; else why not, in plain words.
    virtual std::string Write(const ProfileFile::KeyValues& values) = 0;
};

}  // namespace velmora
