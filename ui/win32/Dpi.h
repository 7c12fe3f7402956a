#pragma once

#include <windows.h>

namespace velmora {

// The form data are pixels at 96 dpi; a window shows them at its monitor's DPI (the manifest
// makes the program aware of each monitor's).
inline constexpr UINT kDesignDpi = 96;

// The window's DPI: GetDpiForWindow where Windows has it (10, version 1607 on), else the screen's.
UINT WindowDpi(HWND window);
// A length of the form data at `dpi`.
int Scaled(int designPixels, UINT dpi);
// The window rectangle whose client area is `client`, for that style at `dpi`.
RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace velmora
