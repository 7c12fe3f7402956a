#include "platform/linux/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <optional>
#include <vector>

#include "core/Path.h"
#include "platform/linux/WriteAll.h"

namespace velmora {
namespace {

// A temporary this old is abandoned even when a process of its writer's id runs: the id has been
// given to another process since. A save takes well under a second.
constexpr std::time_t kAbandonedAfterSeconds = 60 * 60;

// Built by appending: GCC 12 at -O3 warns wrongly about "." + a temporary string.
std::string TemporaryPrefix(const std::string& target) {
    std::string prefix = ".";
    prefix += FileNameOf(target);
    prefix += '.';
    return prefix;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> SplitAtDots(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '.') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The writer's process id from the name of a temporary of ours, "<prefix><pid>.<count>.<tick>.tmp";
// nothing for any other name.
std::optional<pid_t> TemporaryWriter(const std::string& name, const std::string& prefix) {
    const std::string suffix = ".tmp";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::vector<std::string> fields =
        SplitAtDots(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
    if (fields.size() != 3 || fields[0].size() > 9) {
        return std::nullopt;
    }
    for (const std::string& field : fields) {
        if (!AllDigits(field)) {
            return std::nullopt;
        }
    }
    const pid_t pid = static_cast<pid_t>(std::stol(fields[0]));
    return pid > 0 ? std::optional<pid_t>(pid) : std::nullopt;
}

bool ProcessRuns(pid_t pid) {
    return kill(pid, 0) == 0 || errno == EPERM;
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
    const std::string prefix = TemporaryPrefix(target);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const std::optional<pid_t> writer = TemporaryWriter(name, prefix);
        struct stat st {};
        if (!writer || fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
            continue;
        }
        if (std::time(nullptr) - st.st_mtime >= kAbandonedAfterSeconds || !ProcessRuns(*writer)) {
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
