#include "platform/linux/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <optional>

#include "core/Path.h"
#include "platform/TemporaryName.h"
#include "platform/linux/WriteAll.h"

namespace velmora {
namespace {

bool ProcessRuns(pid_t pid) {
    return kill(pid, 0) == 0 || errno == EPERM;
}

// A hidden name beside the target that no other process or call picks: the process id, a count
// and the clock make it unique, and O_EXCL makes sure.
int CreateTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        name = DirectoryOf(target) + "/" +
               TemporaryName(FileNameOf(target), static_cast<std::uint64_t>(getpid()), counter++,
                             static_cast<std::uint64_t>(tick));
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
    RemoveStaleTemporaries(target);
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
    DIR* dir = opendir(DirectoryOf(target).c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string targetName = FileNameOf(target);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const std::optional<std::uint64_t> writer = TemporaryWriter(name, targetName);
        struct stat st {};
        if (!writer || fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
            continue;
        }
        if (std::time(nullptr) - st.st_mtime >= kAbandonedAfterSeconds ||
            !ProcessRuns(static_cast<pid_t>(*writer))) {
            unlinkat(dirfd(dir), name.c_str(), 0);
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
