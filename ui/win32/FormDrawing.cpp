#include "ui/win32/FormDrawing.h"

// <windows.h> before the headers that build on it.
#include <uxtheme.h>
#include <vsstyle.h>

#include <vector>

#include "ui/win32/Dpi.h"

namespace velmora {

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

void DrawFace(const DRAWITEMSTRUCT& item, bool pushed) {
    RECT face = item.rcItem;
    if (HTHEME theme = IsAppThemed() ? OpenThemeData(item.hwndItem, L"BUTTON") : nullptr) {
        const int state = (item.itemState & ODS_DISABLED) ? PBS_DISABLED
                          : pushed                        ? PBS_PRESSED
                                                          : PBS_NORMAL;
        DrawThemeParentBackground(item.hwndItem, item.hDC, &face);
        DrawThemeBackground(theme, item.hDC, BP_PUSHBUTTON, state, &face, nullptr);
        CloseThemeData(theme);
        return;
    }
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
}

void DrawPicture(const DRAWITEMSTRUCT& item, HBITMAP picture, bool pushed) {
    BITMAP size{};
    if (picture == nullptr || GetObjectW(picture, sizeof size, &size) == 0) {
        return;
    }
    const UINT dpi = WindowDpi(item.hwndItem);
    const int width = Scaled(size.bmWidth, dpi);
    const int height = Scaled(size.bmHeight, dpi);
    const int shift = pushed ? 1 : 0;
    const RECT& area = item.rcItem;
    const int left = area.left + (area.right - area.left - width) / 2 + shift;
    const int top = area.top + (area.bottom - area.top - height) / 2 + shift;
    const HDC source = CreateCompatibleDC(item.hDC);
    const HGDIOBJ previous = SelectObject(source, picture);
    // gdi32's own, which msimg32's TransparentBlt only forwards to: one DLL fewer to load at start.
    GdiTransparentBlt(item.hDC, left, top, width, height, source, 0, 0, size.bmWidth, size.bmHeight,
                      kTransparent);
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace

void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP picture) {
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    DrawFace(item, pushed);
    DrawPicture(item, picture, pushed);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        const int inset = Scaled(3, WindowDpi(item.hwndItem));
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

void DrawClockField(const DRAWITEMSTRUCT& item, COLORREF background) {
    RECT area = item.rcItem;
    const HBRUSH brush = CreateSolidBrush(background);
    FillRect(item.hDC, &area, brush);
    DeleteObject(brush);
    DrawEdge(item.hDC, &area, BDR_RAISEDOUTER | BDR_SUNKENINNER, BF_RECT | BF_SOFT | BF_ADJUST);
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(item.hwndItem)) + 1);
    GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(item.hDC, font);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOW));
    DrawTextW(item.hDC, text.data(), -1, &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(item.hDC, previous);
}

}  // namespace velmora
