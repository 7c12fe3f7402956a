#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "core/Path.h"
#include "platform/WriteAll.h"

namespace velmora {
namespace {

// What every temporary of `target` is called before the process id.
std::string TemporaryPrefix(const std::string& target) {
    return "." + FileNameOf(target) + ".";
}

// A hidden name beside the target that no other process or call picks: the process id, a count
// and the clock make it unique, and O_EXCL makes sure.
int CreateTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        name = DirectoryOf(target) + "/" + TemporaryPrefix(target) + std::to_string(getpid()) +
               "." + std::to_string(counter++) + "." + std::to_string(tick % 1000000007) + ".tmp";
        const int fd =
            open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void SyncDirectory(const std::string& path) {
    const int fd = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool TakeOver(int fd, const struct stat* old, std::optional<mode_t> mode) {
    if (old != nullptr) {
        // Only root can hand the file back to another owner; anyone else keeps it as theirs.
        (void)!fchown(fd, old->st_uid, old->st_gid);
    }
    if (mode) {
        return fchmod(fd, *mode) == 0;
    }
    return old == nullptr || fchmod(fd, old->st_mode & 07777) == 0;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& target, const std::string& content,
                           std::optional<mode_t> mode) {
    struct stat old {};
    const bool existed = stat(target.c_str(), &old) == 0;
    std::string temp;
    const int fd = CreateTemporary(target, temp);
    if (fd < 0) {
        return false;
    }
    bool ok =
        TakeOver(fd, existed ? &old : nullptr, mode) && WriteAll(fd, content) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    SyncDirectory(target);
    return true;
}

void RemoveStaleTemporaries(const std::string& target) {
    const std::string prefix = TemporaryPrefix(target);
    const std::string folder = DirectoryOf(target);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) != 0 || !name.ends_with(".tmp")) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            unlink((folder + "/" + name).c_str());
        }
    }
    closedir(dir);
}

bool MakeDirectories(const std::string& directory, mode_t mode) {
    struct stat st {};
    if (stat(directory.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::string parent = DirectoryOf(directory);
    if (parent != directory && !MakeDirectories(parent, mode)) {
        return false;
    }
    if (mkdir(directory.c_str(), mode) != 0 && errno != EEXIST) {
        return false;
    }
    return stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace velmora
