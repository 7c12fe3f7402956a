#include "platform/linux/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "platform/linux/AtomicFile.h"
#include "platform/linux/SettingsLocation.h"

namespace velmora {

bool IsPrivateFolder(const std::string& folder, bool ownerOnly) {
    struct stat st {};
    if (folder.empty() || folder[0] != '/' || lstat(folder.c_str(), &st) != 0) {
        return false;
    }
    const mode_t closed = ownerOnly ? (S_IRWXG | S_IRWXO) : (S_IWGRP | S_IWOTH);
    return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & closed) == 0;
}

std::string PrivateRuntimeFolder(const std::string& fallback) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && IsPrivateFolder(runtime, false)) {
        return runtime;
    }
    if (fallback.empty() || !MakeDirectories(fallback, kPrivateFolderMode)) {
        return "";
    }
    return IsPrivateFolder(fallback, true) ? fallback : "";
}

std::string UserRuntimeFallback() {
    const std::string cache = UserCacheDirectory();
    std::array<char, 256> host{};
    if (cache.empty() || gethostname(host.data(), host.size() - 1) != 0) {
        return "";
    }
    std::string name(host.data());
    for (char& c : name) {
        c = c == '/' ? '_' : c;
    }
    return cache + "/velmora/run-" + name;
}

}  // namespace velmora
