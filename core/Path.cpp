#include "core/Path.h"

namespace velmora {

namespace {

constexpr bool kDriveLetters = kPathSeparator == '\\';

std::size_t LastSeparator(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) {
            return i - 1;
        }
    }
    return std::string::npos;
}

// What comes before a root's separator: nothing ("/", "\"), or a drive ("C:", "\\?\C:").
bool IsRootPrefix(const std::string& prefix) {
    return prefix.empty() || (kDriveLetters && prefix.back() == ':');
}

}  // namespace

bool IsPathSeparator(char c) {
    return c == '/' || c == kPathSeparator;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t last = LastSeparator(path);
    if (last == std::string::npos) {
        return ".";
    }
    std::string folder = path.substr(0, last);
    return IsRootPrefix(folder) ? path.substr(0, last + 1) : folder;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t last = LastSeparator(path);
    return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace velmora
