#pragma once

#include <windows.h>

namespace velmora {

// How the main window's owner-drawn controls look.

// A picture button: the button's face (the visual style's, where one is on), the picture on it
// at the control's DPI with magenta as transparent, pressed in while held, and the focus
// rectangle while it has the keyboard's focus.
void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP picture);
// A clock field: `background` with a soft edge, raised outside and lowered inside, and the text
// centred in the system's window colour.
void DrawClockField(const DRAWITEMSTRUCT& item, COLORREF background);

}  // namespace velmora
