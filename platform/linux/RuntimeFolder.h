#pragma once

#include <string>

namespace velmora {

// Whether `folder` is a folder of this user's, not reached through a link, that nobody else may
// change (with `ownerOnly`, that nobody else may even enter).
bool IsPrivateFolder(const std::string& folder, bool ownerOnly);

// A folder for the program's sockets and locks that no other user can enter or change:
// $XDG_RUNTIME_DIR when it is such a folder, else `fallback`, made with mode 0700 when missing.
// Empty when neither is private: a folder of another user's, a link or one open to others is
// never used, so nobody else can put anything where the program looks.
std::string PrivateRuntimeFolder(const std::string& fallback);

// The fallback: a folder of its own for this machine in the user's cache folder (on a home shared
// between machines each machine has its own); empty when no home folder is known.
std::string UserRuntimeFallback();

}  // namespace velmora
