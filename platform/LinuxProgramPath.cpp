#include "platform/LinuxProgramPath.h"

#include <unistd.h>

#include <vector>

#include "core/Error.h"

namespace velmora {

std::string LinuxProgramPath::ExecutablePath() const {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            throw Error("Unable to find the program file.");
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        // Filled the buffer: the name may have been cut, so read again with more room.
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace velmora
