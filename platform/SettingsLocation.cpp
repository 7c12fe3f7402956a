#include "platform/SettingsLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "core/Path.h"
#include "platform/AtomicFile.h"

namespace velmora {
namespace {

// Whether `path` can be replaced by a rename in its folder.
bool CanReplace(const std::string& path) {
    if (access(DirectoryOf(path).c_str(), W_OK | X_OK) != 0) {
        return false;
    }
    return access(path.c_str(), F_OK) != 0 || access(path.c_str(), W_OK) == 0;
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return "";
}

}  // namespace

SettingsLocation LocateSettingsFile(const std::string& besideProgram, const std::string& perUser) {
    if (perUser.empty() || CanReplace(besideProgram)) {
        return {besideProgram, ""};
    }
    return {perUser, besideProgram};
}

std::string UserConfigDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return config;
    }
    const std::string home = HomeDirectory();
    return home.empty() ? "" : home + "/.config";
}

}  // namespace velmora
