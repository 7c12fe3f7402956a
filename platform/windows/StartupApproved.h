#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora {

// The values Explorer's StartupApproved\Run keys hold for Run entries, one per value name, as
// Task Manager writes them: 12 bytes of REG_BINARY, a 32-bit little-endian word of flags (02 00
// 00 00 enabled, 03 00 00 00 disabled; 06 and 07 are seen too: bit 0 set means disabled) and then
// the FILETIME at which the entry was disabled (zeros while enabled). Described from Task
// Manager's own writes on superuser.com, questions 1766797 ("How entries at Run registry are
// overridden by Windows settings") and 1098450 ("Reading active/inactive status of Startup
// programs in registry").

std::vector<unsigned char> StartupApprovedValue(bool enabled, std::uint64_t disabledAt);
// A missing value, or one too short to say, leaves the entry enabled.
bool StartupApprovedEnabled(const std::optional<std::vector<unsigned char>>& value);

}  // namespace velmora
