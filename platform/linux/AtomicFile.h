#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace velmora {

// Replaces `target` with `content` so that every reader sees the old file or the new one, never a
// part of either: a file of a name no other writer uses, in the same directory, written and
// synced, then renamed over the target, and the directory synced. Two writers at once each replace
// the whole file. The new file gets `mode`, else the mode of the file it replaces, else the
// process's default for a new file; the owner of a replaced file is kept where the process may.
// False when the system refuses any step; the target is then untouched and no temporary is left.
// Temporaries of `target` that this user's killed writers left behind (their process is gone, or
// they are an hour old) are removed first.
bool ReplaceFileAtomically(const std::string& target, const std::string& content,
                           std::optional<mode_t> mode = std::nullopt);

// Removes the temporaries of `target` that this user's killed writers left behind (killed between
// making one and the rename): of the program's own name for that target, regular files, and their
// process gone or an hour old. Any other file, and the temporary of a save still under way, stays.
void RemoveStaleTemporaries(const std::string& target);

// Creates `directory` and its missing parents with `mode` (an existing one is left as it is);
// false when it is not a directory afterwards.
bool MakeDirectories(const std::string& directory, mode_t mode);

// The mode of a folder made for the user's own files: theirs alone.
inline constexpr mode_t kPrivateFolderMode = 0700;

}  // namespace velmora
