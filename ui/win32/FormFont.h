#pragma once

#include <windows.h>

namespace velmora {

// The font of the forms and all their controls: "MS Sans Serif", height -11 at 96 dpi (8 points).
inline constexpr const wchar_t* kFormFontName = L"MS Sans Serif";
inline constexpr int kFormFontHeight = -11;

// The forms' font at `dpi`; the caller deletes it.
HFONT CreateFormFont(UINT dpi);
// A font of `face`, `height` as a form gives it at 96 dpi (negative: the characters' height
// without the leading), at `dpi`; the caller deletes it.
HFONT CreateScaledFont(const wchar_t* face, int height, UINT dpi);

}  // namespace velmora
