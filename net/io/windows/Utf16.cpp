#include "net/io/windows/Utf16.h"

#include <windows.h>

namespace velmora {

std::optional<std::wstring> Utf16(const std::string& name) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(),
                                         static_cast<int>(name.size()), nullptr, 0);
    if (size <= 0 && !name.empty()) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide.data(), size);
    return wide;
}

}  // namespace velmora
