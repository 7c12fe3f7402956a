#include "platform/linux/LinuxProgramPath.h"

#include <unistd.h>

#include <string_view>
#include <vector>

#include "core/Error.h"

namespace velmora {

namespace {

constexpr std::string_view kDeletedMark = " (deleted)";

// A program file replaced while it runs (an upgrade) shows as "<path> (deleted)": the program is
// the file now at <path>. A file whose name really ends so is taken as it is.
std::string WithoutDeletedMark(const std::string& target) {
    if (target.size() <= kDeletedMark.size() ||
        target.compare(target.size() - kDeletedMark.size(), kDeletedMark.size(), kDeletedMark) !=
            0 ||
        access(target.c_str(), F_OK) == 0) {
        return target;
    }
    return target.substr(0, target.size() - kDeletedMark.size());
}

}  // namespace

std::string LinuxProgramPath::ExecutablePath() const {
    return ProgramFileOf("/proc/self/exe");
}

std::string ProgramFileOf(const std::string& exeLink) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(exeLink.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            throw Error("Unable to find the program file.");
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return WithoutDeletedMark(std::string(buffer.data(), static_cast<std::size_t>(length)));
        }
        // Filled the buffer: the name may have been cut, so read again with more room.
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace velmora
