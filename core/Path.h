#pragma once

#include <string>

namespace velmora {

// The folder a path lies in, split at its last "/": "/" for a file in the root, "." for a bare
// name, otherwise everything before that "/".
std::string DirectoryOf(const std::string& path);
// Everything after the last "/" (the whole text when there is none).
std::string FileNameOf(const std::string& path);

}  // namespace velmora
