#pragma once

#include <string>

namespace velmora {

// `folder` and `name` with one "\" between them (a drive's root, "C:\", has its own already).
std::string JoinWindowsPath(const std::string& folder, const std::string& name);

}  // namespace velmora
