#include "platform/linux/IniProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "core/Path.h"
#include "platform/linux/AtomicFile.h"

namespace velmora {
namespace {

std::optional<std::string> ReadWholeFile(const std::string& fileName, bool* missing) {
    const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            close(fd);
            return n == 0 ? std::optional<std::string>(std::move(content)) : std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

// The file that a rename must replace: the target of a symbolic link, not the link itself.
std::string RealTarget(const std::string& fileName) {
    char* resolved = realpath(fileName.c_str(), nullptr);
    if (resolved == nullptr) {
        return fileName;
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Replacing goes round the file's own permissions: a file its owner made read-only stays so.
bool ReplaceIniFile(const std::string& target, const std::string& content) {
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0) {
        return false;
    }
    // A folder of its own (the user's configuration folder) is made on the first write.
    if (!MakeDirectories(DirectoryOf(target), kPrivateFolderMode)) {
        return false;
    }
    return ReplaceFileAtomically(target, content);
}

}  // namespace

IniProfileFile::IniProfileFile(std::string fileName, std::string defaultsFile)
    : IniProfile(std::move(fileName), std::move(defaultsFile), false) {}

std::optional<std::string> IniProfileFile::ReadFile(const std::string& name, bool& missing) const {
    return ReadWholeFile(name, &missing);
}

bool IniProfileFile::ReplaceFile(const std::string& content) {
    return ReplaceIniFile(RealTarget(FileName()), content);
}

}  // namespace velmora
