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

// $`variable` when it is an absolute path, else `inHome` in the home folder; empty when no home
// folder is known.
std::string UserDirectory(const char* variable, const char* inHome) {
    const char* set = std::getenv(variable);
    if (set != nullptr && set[0] == '/') {
        return set;
    }
    const std::string home = HomeDirectory();
    return home.empty() ? "" : home + inHome;
}

}  // namespace

SettingsLocation LocateSettingsFile(const std::string& besideProgram, const std::string& perUser) {
    if (perUser.empty() || CanReplace(besideProgram)) {
        return {besideProgram, ""};
    }
    return {perUser, besideProgram};
}

std::string UserConfigDirectory() {
    return UserDirectory("XDG_CONFIG_HOME", "/.config");
}

std::string UserCacheDirectory() {
    return UserDirectory("XDG_CACHE_HOME", "/.cache");
}

}  // namespace velmora
