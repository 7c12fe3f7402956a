#pragma once

#include <optional>
#include <string>

namespace velmora {

// Files on Windows, by UTF-8 names.

// Replaces `target` with `content` so that every reader sees the old file or the new one, never a
// part of either, even when the process is killed at any moment: a temporary of a name no other
// writer uses, in the same folder, written and flushed (FlushFileBuffers), then moved over the
// target in one rename (MoveFileExW, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). False
// when the system refuses any step (a read-only file is refused too); the target is then untouched
// and no temporary is left. Temporaries of `target` that killed writers left behind (their
// process is gone, or they are an hour old) are removed first.
bool ReplaceFileAtomically(const std::string& target, const std::string& content);

// Removes the temporaries of `target` that killed writers left behind.
void RemoveStaleTemporaries(const std::string& target);

// The whole file; nothing when it cannot be read, with `missing` set when it is not there.
std::optional<std::string> ReadWholeFile(const std::string& name, bool& missing);

// Creates `folder` and its missing parents; false when it is not a folder afterwards.
bool MakeFolders(const std::string& folder);

// Whether this process can create and replace files in `folder` and, when it exists, replace
// `file` there: found out by trying (a temporary made and deleted again), as Windows' access
// rules (ACLs, UAC) say no better.
bool CanReplaceIn(const std::string& file);

}  // namespace velmora
