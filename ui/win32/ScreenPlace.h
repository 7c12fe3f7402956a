#pragma once

#include <windows.h>

namespace velmora {

// The work area of the monitor `window` is on; the primary monitor's for none.
RECT WorkAreaOf(HWND window);
// The top left corner of a window of `size` centred over `over`, kept inside `area` as far as it
// fits.
POINT CentredIn(const RECT& over, SIZE size, const RECT& area);

}  // namespace velmora
