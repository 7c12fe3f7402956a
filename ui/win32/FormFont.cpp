#include "ui/win32/FormFont.h"

#include "ui/win32/Dpi.h"

namespace velmora {

HFONT CreateFormFont(UINT dpi) {
    return CreateScaledFont(kFormFontName, kFormFontHeight, dpi);
}

HFONT CreateScaledFont(const wchar_t* face, int height, UINT dpi) {
    return CreateFontW(Scaled(height, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

}  // namespace velmora
