#pragma once

#include <optional>
#include <string>

namespace velmora {

// A name as Windows' W functions take it; nothing for text that is not UTF-8.
std::optional<std::wstring> Utf16(const std::string& name);

}  // namespace velmora
