#include "platform/windows/WindowsPath.h"

#include "core/Path.h"

namespace velmora {

std::string JoinWindowsPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsPathSeparator(folder.back())) {
        return folder + name;
    }
    return folder + "\\" + name;
}

}  // namespace velmora
