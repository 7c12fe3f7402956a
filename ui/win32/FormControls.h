#pragma once

#include <windows.h>

#include "ui/common/FormDescription.h"

namespace velmora {

// A form description made into Win32 controls: children of the form's window, found by their
// numbers (GetDlgItem), made in the description's order, which is the tab order; a group box's
// or panel's controls lie over it in the form's own client area.

// Makes the controls at their places scaled to `dpi`, in `font`.
void CreateFormControls(HWND window, const FormDescription& form, UINT dpi, HFONT font);
// Places the controls anew at `dpi` and gives them `font`.
void LayOutFormControls(HWND window, const FormDescription& form, UINT dpi, HFONT font);

}  // namespace velmora
