#pragma once

#include <windows.h>

#include <string>

namespace velmora {

// A window's text as UTF-8, and set from UTF-8.
std::string TextOf(HWND window);
void SetTextOf(HWND window, const std::string& text);

}  // namespace velmora
