#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// The separator the platform writes between folders: "/", or "\" on Windows, where "/" separates
// folders too.
inline constexpr char kPathSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

bool IsPathSeparator(char c);
// The folder a path lies in, split at its last separator: the root itself ("/", "C:\") for a
// file in a root, "." for a bare name, otherwise everything before that separator.
std::string DirectoryOf(const std::string& path);
// Everything after the last separator (the whole text when there is none).
std::string FileNameOf(const std::string& path);

}  // namespace velmora
