#include "platform/windows/WindowsPath.h"

namespace velmora {
namespace {

constexpr const char* kSeparators = "\\/";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::string WindowsDirectoryOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos) {
        return ".";
    }
    // "C:\name": the drive's root keeps its separator.
    if (last == 2 && path[1] == ':') {
        return path.substr(0, 3);
    }
    return last == 0 ? path.substr(0, 1) : path.substr(0, last);
}

std::string WindowsFileNameOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string JoinWindowsPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsSeparator(folder.back())) {
        return folder + name;
    }
    return folder + "\\" + name;
}

}  // namespace velmora
