#include "ui/win32/Tooltip.h"

// <windows.h> before the headers that build on it.
#include <commctrl.h>

namespace velmora {
namespace {

TTTOOLINFOW ToolOf(HWND owner, HWND tool, wchar_t* text) {
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    return info;
}

}  // namespace

HWND CreateTooltip(HWND owner, HWND tool, wchar_t* text) {
    const HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, owner,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW info = ToolOf(owner, tool, text);
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return tooltip;
}

void SetTooltipText(HWND tooltip, HWND owner, HWND tool, wchar_t* text) {
    TTTOOLINFOW info = ToolOf(owner, tool, text);
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace velmora
