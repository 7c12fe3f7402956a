#include "platform/linux/SettingsLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "core/Path.h"
#include "platform/linux/AtomicFile.h"

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
    return ChooseSettingsFile(besideProgram, perUser,
                              !perUser.empty() && CanReplace(besideProgram));
}

// An XDG base folder: the variable when it holds an absolute path, else `underHome` in the home
// folder.
std::string XdgDirectory(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const std::string home = HomeDirectory();
    return home.empty() ? "" : home + underHome;
}

std::string UserConfigDirectory() {
    return XdgDirectory("XDG_CONFIG_HOME", "/.config");
}

std::string UserStateDirectory() {
    return XdgDirectory("XDG_STATE_HOME", "/.local/state");
}

std::string UserCacheDirectory() {
    return XdgDirectory("XDG_CACHE_HOME", "/.cache");
}

}  // namespace velmora
