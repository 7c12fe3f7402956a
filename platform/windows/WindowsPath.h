#pragma once

#include <string>

namespace velmora {

// Windows paths, UTF-8: either slash separates, "\" is what is written.

// The folder `path` lies in, without a trailing separator except for a drive's root ("C:\");
// "." for a bare name.
std::string WindowsDirectoryOf(const std::string& path);
// Everything after the last separator.
std::string WindowsFileNameOf(const std::string& path);
// `folder` and `name` with one "\" between them.
std::string JoinWindowsPath(const std::string& folder, const std::string& name);

}  // namespace velmora
