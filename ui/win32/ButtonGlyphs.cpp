#include "ui/win32/ButtonGlyphs.h"

#include <algorithm>
#include <cstdint>

#include "ui/win32/Dpi.h"

namespace velmora {
namespace {

// Drawn in 18 pixels: the bitmap buttons' size of picture.
constexpr int kDesign = 18;
// What the strokes are not drawn on: taken out again as transparent.
constexpr COLORREF kKey = RGB(255, 0, 255);

void DrawStrokes(HDC dc, Glyph glyph, int size) {
    const auto at = [size](int v) { return MulDiv(v, size, kDesign); };
    const COLORREF colour = glyph == Glyph::Check ? RGB(0, 128, 0) : RGB(192, 0, 0);
    const HPEN pen = CreatePen(PS_SOLID, std::max(2, at(3)), colour);
    const HGDIOBJ old = SelectObject(dc, pen);
    if (glyph == Glyph::Check) {
        const POINT stroke[] = {{at(3), at(9)}, {at(7), at(13)}, {at(15), at(4)}};
        Polyline(dc, stroke, 3);
    } else {
        MoveToEx(dc, at(4), at(4), nullptr);
        LineTo(dc, at(14), at(14));
        MoveToEx(dc, at(14), at(4), nullptr);
        LineTo(dc, at(4), at(14));
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

HICON CreateGlyphIcon(Glyph glyph, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP colour = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (colour == nullptr) {
        DeleteDC(dc);
        return nullptr;
    }
    const HGDIOBJ old = SelectObject(dc, colour);
    const RECT all{0, 0, size, size};
    const HBRUSH key = CreateSolidBrush(kKey);
    FillRect(dc, &all, key);
    DeleteObject(key);
    DrawStrokes(dc, glyph, size);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    // GDI leaves the alpha at 0: every stroke pixel is made opaque, the rest clear.
    auto* pixel = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) {
        const bool clear = (pixel[i] & 0xFFFFFFu) == 0xFF00FFu;
        pixel[i] = clear ? 0 : (pixel[i] | 0xFF000000u);
    }
    const HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmColor = colour;
    icon.hbmMask = mask;
    const HICON made = CreateIconIndirect(&icon);
    DeleteObject(colour);
    DeleteObject(mask);
    return made;
}

HICON SetButtonGlyph(HWND button, Glyph glyph, UINT dpi) {
    const HICON icon = CreateGlyphIcon(glyph, Scaled(kDesign, dpi));
    SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    return icon;
}

}  // namespace velmora
