#include "platform/windows/WindowsProgramPath.h"

#include <windows.h>

#include <vector>

#include "core/Error.h"
#include "platform/windows/WideText.h"

namespace velmora {

std::string WindowsProgramPath::ExecutablePath() const {
    // A long path (\\?\ or long paths enabled) may need up to 32767 characters.
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            break;
        }
        if (length < size) {
            return Narrow(std::wstring(buffer.data(), length));
        }
        // Filled the buffer: the name was cut, so ask again with more room.
    }
    throw Error("Unable to find the program file.");
}

}  // namespace velmora
