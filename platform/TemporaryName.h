#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// The names of the temporaries a replace writes beside its target, on both platforms: hidden
// ("." first), the target's file name, then the writer's process id, a count and a tick, so that
// no other writer picks the same one, and a later save knows whose it was.

// A temporary this old is abandoned even when a process of its writer's id runs: the id has been
// given to another process since. A save takes well under a second.
inline constexpr std::int64_t kAbandonedAfterSeconds = 60 * 60;

// "<prefix><pid>.<count>.<tick>.tmp" for the target's file name `targetName`.
std::string TemporaryName(const std::string& targetName, std::uint64_t pid, unsigned count,
                          std::uint64_t tick);
// What every temporary of `targetName` starts with.
std::string TemporaryPrefix(const std::string& targetName);
// The writer's process id from the name of a temporary of ours for `targetName`; nothing for any
// other name.
std::optional<std::uint64_t> TemporaryWriter(const std::string& name,
                                             const std::string& targetName);

}  // namespace velmora
