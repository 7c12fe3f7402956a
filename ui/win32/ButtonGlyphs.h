#pragma once

#include <windows.h>

namespace velmora {

// The pictures of the dialogs' bitmap buttons, drawn here: a green check mark for OK, a red cross
// for Cancel and Close.
enum class Glyph { Check, Cross };

// An icon of the glyph, `size` pixels square; the caller destroys it.
HICON CreateGlyphIcon(Glyph glyph, int size);

// Puts the glyph on a push button beside its caption, sized for `dpi`; the button keeps it until
// it is replaced, and the icon is released with the returned handle.
HICON SetButtonGlyph(HWND button, Glyph glyph, UINT dpi);

}  // namespace velmora
