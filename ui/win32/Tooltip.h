#pragma once

#include <windows.h>

namespace velmora {

// A tooltip control of `owner`'s showing `text` over `tool`, a window of `owner`'s;
// LPSTR_TEXTCALLBACKW asks the owner each time. The control keeps the pointer, not the text.
HWND CreateTooltip(HWND owner, HWND tool, wchar_t* text);
// What `tooltip` shows over `tool` from now on.
void SetTooltipText(HWND tooltip, HWND owner, HWND tool, wchar_t* text);

}  // namespace velmora
